// What a handler tells the operator: a message text for an information box, or nothing.
#pragma once

#include <string>

namespace image {
using Message = std::string;  // empty: nothing to tell

// The keys a key filter is offered besides printable characters, as the toolkit's key events
// carry them; any character outside ASCII comes as kNonAscii, which no filter lets through.
constexpr char kBackspace = 8;
constexpr char kEnter = 13;
constexpr char kNonAscii = 127;

// What a key filter says of one typed character: let it in or not, and what to tell.
struct KeyVerdict {
    bool accept;
    Message message;
};

}  // namespace image
