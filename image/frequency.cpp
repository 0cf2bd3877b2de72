#include "image/frequency.h"

#include <cmath>
#include <cstdlib>

#include "image/hex.h"

namespace image {

std::optional<std::int64_t> ScaledDecimal(std::string_view text, long double scale) {
    int digitsSeen = 0, points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') ++digitsSeen;
        else if (c == '.') ++points;
        else return std::nullopt;
    }
    if (digitsSeen == 0 || points > 1 || text.size() > 40) return std::nullopt;
    const std::string s(text);
    const long double value = std::strtold(s.c_str(), nullptr) * scale;
    const double rounded = static_cast<double>(value);
    if (!(rounded < 9.0e18)) return std::nullopt;
    return static_cast<std::int64_t>(std::trunc(rounded));
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

}  // namespace image
