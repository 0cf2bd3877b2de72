// What a handler tells the operator: a message text for an information box, or nothing.
#pragma once

#include <cstring>
#include <string>

namespace image {
using Message = std::string;  // empty: nothing to tell

// What a key filter says of one typed character: let it in or not, and what to tell.
struct KeyVerdict {
    bool accept;
    Message message;
};

// The system's reason for a failed file operation, worded the same whatever the locale (the C
// library's strerror follows the desktop's LC_MESSAGES once the windows set the locale).
inline std::string SystemReason(int error) {
    const char* description = strerrordesc_np(error);
    return description ? description : "error " + std::to_string(error);
}

}  // namespace image
