#include "base/frequency.h"

#include <charconv>
#include <cmath>
#include <cstdint>

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
    // The nearest extended-precision value, the same in every locale and on every system: a
    // number of up to 19 significant digits and 27 decimals is an integer divided by a power
    // of ten, both exact in a long double, so the one rounding is the division's. (The C++
    // library of MinGW reads a long double only to double precision: "136.0125" would scale
    // to 13601249.)
    std::uint64_t digits = 0;
    int significant = 0, decimals = 0;
    bool inFraction = false;
    const std::string_view trimmed = number.find('.') == std::string_view::npos
                                         ? number
                                         : number.substr(0, number.find_last_not_of('0') + 1);
    for (char c : trimmed) {
        if (c == '.') {
            inFraction = true;
            continue;
        }
        if (significant > 0 || c != '0') ++significant;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        if (inFraction) ++decimals;
        if (significant > 19) break;
    }
    long double value = 0;
    if (significant <= 19 && decimals <= 27) {
        long double power = 1;
        for (int i = 0; i < decimals; ++i) power *= 10;
        value = static_cast<long double>(digits) / power;
    } else {
        const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::fixed);
        if (ec != std::errc() || end != number.data() + number.size()) return std::nullopt;
    }
    return number.size() < text.size() ? -value : value;
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
