#include "base/frequency.h"

#include <charconv>
#include <cmath>

#include "base/hex.h"

namespace base {

std::optional<long double> ParseDecimal(std::string_view text, bool allowMinus) {
    std::string_view number = text;
    if (allowMinus && !number.empty() && number.front() == '-') number.remove_prefix(1);
    int digitsSeen = 0, points = 0;
    for (char c : number) {
        if (c >= '0' && c <= '9') ++digitsSeen;
        else if (c == '.') ++points;
        else return std::nullopt;
    }
    if (digitsSeen == 0 || points > 1 || text.size() > 40) return std::nullopt;
    // from_chars reads the same in every locale, to the nearest extended-precision value.
    long double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string FormatDecimal(double value) {
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string s(buffer, r.ptr);
    if (s.find('e') == std::string::npos) return s;
    r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 5);
    s.assign(buffer, r.ptr);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

namespace {

std::optional<std::int64_t> scaled(std::string_view text, long double scale, bool allowMinus) {
    const auto number = ParseDecimal(text, allowMinus);
    if (!number) return std::nullopt;
    const double rounded = static_cast<double>(*number * scale);
    if (!(rounded < 9.0e18) || !(rounded > -9.0e18)) return std::nullopt;
    return static_cast<std::int64_t>(std::trunc(rounded));
}

}  // namespace

std::optional<std::int64_t> ScaledDecimal(std::string_view text, long double scale) {
    return scaled(text, scale, false);
}

std::optional<std::int64_t> SignedScaledDecimal(std::string_view text, long double scale) {
    return scaled(text, scale, true);
}

std::string NotAFloat(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid floating point value";
}

std::string UnitsToMHz(std::uint32_t units) {
    std::string s = std::to_string(units);
    if (s.size() < 6) s.insert(0, 6 - s.size(), '0');
    s.insert(s.size() - 5, ".");
    return s;
}

std::string FrequencyFieldToText(std::string_view eightDigits) {
    if (eightDigits == "FFFFFFFF") return "";
    const auto value = hexValue(eightDigits);
    return value ? UnitsToMHz(*value) : "";
}

}  // namespace base
