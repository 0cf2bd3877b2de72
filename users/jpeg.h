// JPEG pictures with libjpeg: the login window's built-in picture and its background file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace users {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // width x height x 3, rows top to bottom
};

// nullopt with libjpeg's reason in `error` for anything that is no readable JPEG.
std::optional<Picture> DecodeJpeg(std::string_view bytes, std::string& error);

std::string EncodeJpeg(const Picture& picture, int quality = 85);

}  // namespace users
