// Frequencies and other decimal fields. Every such field reads its decimal text in extended
// precision, multiplies it, rounds the product to double and truncates it toward zero: the
// rounding through double is what makes 136.0125 MHz give 13601250 units, not 13601249.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace image {

constexpr long double kUnitsPerMHz = 100000.0L;  // memory counts units of 10 Hz

// The decimal text (digits with at most one ".", at least one digit) times `scale`; nullopt
// when the text is no such number.
std::optional<std::int64_t> ScaledDecimal(std::string_view text, long double scale = kUnitsPerMHz);

// The error text a field shows for a text that is not a number.
std::string NotAFloat(std::string_view text);  // "'%s' is not a valid floating point value"

// Units of 10 Hz shown in MHz with exactly five decimals: 14512500 -> "145.12500",
// 2500 -> "0.02500".
std::string UnitsToMHz(std::uint32_t units);

// A 32-bit frequency field of a block: "FFFFFFFF" -> "" (not set), else its MHz text.
std::string FrequencyFieldToText(std::string_view eightDigits);

}  // namespace image
