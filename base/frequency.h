// Frequencies and other decimal fields. Every such field reads its decimal text in extended
// precision, multiplies it, rounds the product to double and truncates it toward zero: the
// rounding through double is what makes 136.0125 MHz give 13601250 units, not 13601249.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace base {

constexpr long double kUnitsPerMHz = 100000.0L;  // memory counts units of 10 Hz

// Every decimal text the program reads or writes has "." as its decimal point, whatever the
// locale the user's desktop sets (the C library's strtold and printf follow that locale).

// The text as an extended-precision number: an optional "-" (only when `allowMinus`), digits
// with at most one ".", at least one digit, nothing else. nullopt for any other text: a text
// that does not convert completely is no number.
std::optional<long double> ParseDecimal(std::string_view text, bool allowMinus = false);

// The value in plain decimal form with up to 15 significant digits, no trailing zeros and no
// decimal point for whole numbers: 136.0125 -> "136.0125", 136 -> "136", -21474.83648 ->
// "-21474.83648".
std::string FormatDecimal(double value);

// The decimal text times `scale` in extended precision, rounded to double and truncated toward
// zero; nullopt when the text is no number (a "-" is no part of one here).
std::optional<std::int64_t> ScaledDecimal(std::string_view text, long double scale = kUnitsPerMHz);
// The same for a field that may hold a negative number.
std::optional<std::int64_t> SignedScaledDecimal(std::string_view text, long double scale = kUnitsPerMHz);

// The error text a field shows for a text that is not a number.
std::string NotAFloat(std::string_view text);  // "'%s' is not a valid floating point value"

// Units of 10 Hz shown in MHz with exactly five decimals: 14512500 -> "145.12500",
// 2500 -> "0.02500".
std::string UnitsToMHz(std::uint32_t units);

// A 32-bit frequency field of a block: "FFFFFFFF" -> "" (not set), else its MHz text.
std::string FrequencyFieldToText(std::string_view eightDigits);

}  // namespace base
