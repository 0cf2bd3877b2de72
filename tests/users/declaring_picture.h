// An 8 x 8 JPEG whose frame header declares another size, as a hostile file would: what the
// decoder must refuse or scale before it trusts the data.
#pragma once

#include <string>

#include "users/jpeg.h"

namespace userstest {

inline std::string DeclaringPicture(int width, int height) {
    users::Picture p;
    p.width = p.height = 8;
    p.rgb.assign(8 * 8 * 3, 200);
    std::string jpeg = users::EncodeJpeg(p);
    const auto sof = jpeg.find("\xFF\xC0");
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xFF);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

}  // namespace userstest
