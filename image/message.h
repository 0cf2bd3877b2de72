// What a handler tells the operator: a message text for an information box, or nothing.
#pragma once

#include <string>

namespace image {
using Message = std::string;  // empty: nothing to tell

// What a key filter says of one typed character: let it in or not, and what to tell.
struct KeyVerdict {
    bool accept;
    Message message;
};

}  // namespace image
