// The system's reason for a failed file or device operation, worded the same whatever the
// locale (the C library's strerror follows the desktop's LC_MESSAGES once the windows set the
// locale).
#pragma once

#include <cstring>
#include <string>

namespace files {

inline std::string SystemReason(int error) {
    const char* description = strerrordesc_np(error);
    return description ? description : "error " + std::to_string(error);
}

}  // namespace files
