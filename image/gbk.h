// GBK (code page 936) at the edges: the codeplug file, the user files, and the name and
// message bytes that come from the radio. Inside, text is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace image {

// UTF-8 to GBK bytes; nullopt when a character has no GBK form or the input is no UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// GBK bytes to UTF-8; nullopt when the bytes are no valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// GBK bytes as shown in a cell or edit: valid GBK is converted; a byte that starts no valid
// character is shown as "?".
std::string GbkBytesToText(std::string_view gbk);

// The longest prefix of the UTF-8 text whose GBK form has at most maxBytes bytes, as GBK;
// a character is never cut in half.
std::string GbkPrefix(std::string_view utf8, std::size_t maxBytes);

}  // namespace image
