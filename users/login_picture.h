// The login window's built-in 640 x 480 picture: a dusk sky over a line of hills with a
// radio mast, drawn here and kept as JPEG.
#pragma once

#include <string_view>

namespace users {
std::string_view BuiltInPicture();
}
