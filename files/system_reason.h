// The system's reason for a failed file or device operation, worded the same whatever the
// locale (the C library's strerror follows the desktop's LC_MESSAGES once the windows set the
// locale).
#pragma once

#include <cerrno>
#include <cstring>
#include <string>

#include "image/outcome.h"

namespace files {

inline std::string SystemReason(int error) {
#ifdef _WIN32
    const char* description = std::strerror(error);
#else
    const char* description = strerrordesc_np(error);
#endif
    return description ? description : "error " + std::to_string(error);
}

// What a caller may act on in the system's errno.
inline image::ErrorKind KindOf(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENXIO:
        case ENODEV: return image::ErrorKind::NotFound;
        case EACCES:
        case EPERM:
        case EROFS: return image::ErrorKind::Permission;
        case EISDIR: return image::ErrorKind::Folder;
        case EBUSY: return image::ErrorKind::Busy;
        default: return image::ErrorKind::System;
    }
}

// A failure with the system's reason and its kind.
template <class T = image::Nothing>
image::Outcome<T> SystemFailure(int error) {
    return image::Failure<T>(SystemReason(error), KindOf(error));
}

}  // namespace files
