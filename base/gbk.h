// GBK (code page 936) at the edges: the codeplug file, the user files, and the name and
// message bytes that come from the radio. Inside, text is UTF-8.
//
// Bytes that are no GBK text (an 0xFF inside a name, a lead byte with no trail byte) must still
// go back to the radio as they came. Inside, each such byte b (0x80..0xFF; a byte below 0x80 is
// always ASCII) is the private-use character U+F700 + b, which no keyboard, file or GBK text
// produces. The windows show it as the replacement mark U+FFFD; every conversion to GBK turns
// it back into the byte b, so a name survives a read, a write, Save and Open (the ".bc" file
// carries the byte itself, and reading the file maps it back the same way).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace base {

constexpr char32_t kRawByteBase = 0xF700;  // U+F780..U+F7FF stand for the bytes 0x80..0xFF

// UTF-8 to GBK bytes, a kept byte (U+F780..U+F7FF) as itself; nullopt when a character has no
// GBK form or the input is no UTF-8.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// GBK bytes to UTF-8; nullopt when the bytes are no valid GBK.
std::optional<std::string> GbkToUtf8(std::string_view gbk);

// GBK bytes as text that gives the same bytes back: every character that converts both ways
// unchanged is converted, every other byte becomes its kept character U+F700 + byte.
std::string GbkBytesToKeptText(std::string_view gbk);

// GBK bytes as shown in a window title or a message: valid GBK is converted; a byte that
// starts no valid character is shown as "?".
std::string GbkBytesToText(std::string_view gbk);

// The longest prefix of the UTF-8 text whose GBK form has at most maxBytes bytes, as GBK;
// a character is never cut in half. A character without a GBK form counts as "?".
std::string GbkPrefix(std::string_view utf8, std::size_t maxBytes);
// The same prefix as UTF-8.
std::string Utf8PrefixWithin(std::string_view utf8, std::size_t maxGbkBytes);
// The number of bytes the text takes in GBK (a character without a GBK form counts 1).
std::size_t GbkSize(std::string_view utf8);

// The kept bytes in a text, in order (empty when it holds none).
std::vector<unsigned char> KeptBytes(std::string_view utf8);
// The text with each kept byte shown as the replacement mark U+FFFD.
std::string ShownText(std::string_view utf8);
// What an edit that showed ShownText(before) and now shows `edited` holds: the start and the
// end the operator left alone come back from `before`, kept bytes included; what changed in
// between is taken as it is. (A kept character and U+FFFD both take three UTF-8 bytes, so
// the shown text and the text line up byte for byte.)
std::string TextBehindShown(std::string_view before, std::string_view edited);

}  // namespace base
