// What must hold for any bytes found in a user text file (password, company name): the first
// line is taken or refused with a reason, and a line taken is written and read back unchanged.
#pragma once

#include <string>
#include <string_view>

#include "base/gbk.h"
#include "users/user_files.h"

namespace users::fuzz {

inline std::string CheckLine(std::string_view bytes) {
    const auto line = FirstLine(bytes);
    if (!line.ok()) return {};
    const auto gbk = base::Utf8ToGbk(line.value);
    if (!gbk) return "a line read cannot be written back";
    const auto again = FirstLine(*gbk + "\r\n");
    if (!again.ok() || again.value != line.value) return "a line written does not read back";
    return {};
}

}  // namespace users::fuzz
