// The system's GBK conversion under base/gbk.cpp's rules: glibc's iconv, or code page 936 on
// Windows. Both give the same bytes for the same text (tests/windows checks a table of them).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace base {

// UTF-8 to GBK; nullopt when the input is no UTF-8 or a character has no GBK form.
std::optional<std::string> ConvertToGbk(std::string_view utf8);
// GBK to UTF-8; nullopt when the bytes are no valid GBK.
std::optional<std::string> ConvertFromGbk(std::string_view gbk);

}  // namespace base
