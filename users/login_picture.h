// The login window's built-in 640 x 480 picture: a dusk sky over a line of hills with a
// radio mast, drawn here and kept as JPEG.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "users/jpeg.h"

namespace users {

inline constexpr int kWindowWidth = 640, kWindowHeight = 480;

std::string_view BuiltInPicture();

// A background picture file, read (at most kMaxPictureFileBytes) and decoded to cover the
// window: the file's bytes (what is copied over the background file) and the picture.
struct Background {
    std::string bytes;
    Picture picture;
};
// The background, or the operator's message naming the file when it is refused.
base::Outcome<Background> LoadBackground(const std::string& path);

}  // namespace users
