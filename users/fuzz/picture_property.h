// What must hold for any bytes given as the login background: the decoder never faults, and
// a picture it gives is within the bound with all its pixels.
#pragma once

#include <string>
#include <string_view>

#include "users/jpeg.h"
#include "users/login_picture.h"

namespace users::fuzz {

inline std::string CheckPicture(std::string_view bytes) {
    const auto decoded = DecodeJpeg(bytes, kWindowWidth, kWindowHeight);
    if (!decoded.ok()) return {};
    const Picture* picture = &decoded.value;
    if (picture->width <= 0 || picture->height <= 0 || picture->width > kMaxPictureSide ||
        picture->height > kMaxPictureSide)
        return "a picture of " + std::to_string(picture->width) + " x " + std::to_string(picture->height);
    if (picture->rgb.size() != static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) * 3)
        return "the pixels do not fill the picture";
    return {};
}

}  // namespace users::fuzz
