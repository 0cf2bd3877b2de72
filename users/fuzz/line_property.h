// What must hold for any bytes found in a user text file (password, company name): the first
// line is taken or refused with a reason, and a line taken is written and read back unchanged.
#pragma once

#include <string>
#include <string_view>

#include "image/gbk.h"
#include "users/user_files.h"

namespace users::fuzz {

inline std::string CheckLine(std::string_view bytes) {
    std::string error;
    const auto line = FirstLine(bytes, error);
    if (!line) return error.empty() ? "a refused line gives no reason" : "";
    const auto gbk = image::Utf8ToGbk(*line);
    if (!gbk) return "a line read cannot be written back";
    const auto again = FirstLine(*gbk + "\r\n", error);
    if (!again || *again != *line) return "a line written does not read back";
    return {};
}

}  // namespace users::fuzz
