// What a handler tells the operator: a message text for an information box, or nothing.
#pragma once

#include <string>

namespace image {
using Message = std::string;  // empty: nothing to tell
}
