// Hex text: two uppercase hexadecimal digits per byte, first byte first, no separators.
// Every memory range the editor holds, and the receive buffer, is such a text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"

namespace base {

using Bytes = std::vector<std::uint8_t>;

// Each byte as exactly two uppercase digits (0x06 -> "06"); empty input gives "".
std::string BytesToHex(const std::uint8_t* data, std::size_t length);
std::string BytesToHex(const Bytes& bytes);
std::string BytesToHex(std::string_view raw);

// Pair by pair, upper and lower case accepted; a trailing lone digit is ignored.
// A character that is no hex digit is an error naming it and its position (from 1).
base::Outcome<Bytes> HexToBytes(std::string_view hex);

// True when every character is an uppercase hex digit ("0"-"9", "A"-"F").
bool IsUpperHex(std::string_view text);

// Positions in hex text are counted from 1, inclusive at both ends, as the tables give
// them: digits(text, 5, 12) is the receive frequency of a band block.
std::string_view digits(std::string_view text, std::size_t from, std::size_t to);

// The text with digits from..to (counted from 1) replaced by the new digits, which must be
// exactly as many: a hidden field keeps its length whatever a handler writes into it.
std::string splice(std::string_view text, std::size_t from, std::size_t to, std::string_view replacement);

// The digits read as one hexadecimal number, most significant first; nullopt if any
// character is no hex digit or the text is empty.
std::optional<std::uint32_t> hexValue(std::string_view text);

// value as exactly `width` uppercase digits, zero-padded on the left.
std::string hexDigits(std::uint32_t value, int width);

}  // namespace base
