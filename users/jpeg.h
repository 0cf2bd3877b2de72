// JPEG pictures with libjpeg: the login window's built-in picture and its background file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/outcome.h"
#include <vector>

namespace users {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // width x height x 3, rows top to bottom
};

// The largest picture decoded, in pixels each way: a larger one is refused before decoding.
inline constexpr int kMaxPictureSide = 8192;

// The picture, or the reason it is refused: anything that is no readable JPEG, is larger than
// kMaxPictureSide either way, or needs more than a bounded amount of memory or scans. With a
// size to fit, a large picture is decoded scaled down (by 1/2, 1/4 or 1/8) as far as it still
// covers fitWidth x fitHeight; 0 decodes at full size.
base::Outcome<Picture> DecodeJpeg(std::string_view bytes, int fitWidth = 0, int fitHeight = 0);

std::string EncodeJpeg(const Picture& picture, int quality = 85);

}  // namespace users
