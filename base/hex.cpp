#include "base/hex.h"

#include <stdexcept>

namespace base {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string BytesToHex(const std::uint8_t* data, std::size_t length) {
    std::string out;
    out.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0x0F]);
    }
    return out;
}

std::string BytesToHex(const Bytes& bytes) { return BytesToHex(bytes.data(), bytes.size()); }

std::string BytesToHex(std::string_view raw) {
    return BytesToHex(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
}

base::Outcome<Bytes> HexToBytes(std::string_view hex) {
    base::Outcome<Bytes> result;
    const std::size_t count = hex.size() / 2;
    result.value.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        const int high = digitValue(hex[2 * k]);
        const int low = digitValue(hex[2 * k + 1]);
        if (high < 0 || low < 0) {
            const std::size_t at = high < 0 ? 2 * k : 2 * k + 1;
            return base::Failure<Bytes>("'" + std::string(1, hex[at]) + "' at position " + std::to_string(at + 1) +
                                  " is no hexadecimal digit");
        }
        result.value.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return result;
}

bool IsUpperHex(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

std::string_view digits(std::string_view text, std::size_t from, std::size_t to) {
    if (from < 1 || from > text.size()) return {};
    const std::size_t last = to < text.size() ? to : text.size();
    if (last < from) return {};
    return text.substr(from - 1, last - from + 1);
}

std::string splice(std::string_view text, std::size_t from, std::size_t to, std::string_view replacement) {
    if (from < 1 || to < from || to > text.size() || replacement.size() != to - from + 1)
        throw std::logic_error("splice outside the field or of the wrong width");
    std::string out(text);
    out.replace(from - 1, replacement.size(), replacement);
    return out;
}

std::optional<std::uint32_t> hexValue(std::string_view text) {
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        const int d = digitValue(c);
        if (d < 0) return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return value;
}

std::string hexDigits(std::uint32_t value, int width) {
    std::string out(static_cast<std::size_t>(width), '0');
    for (int i = width - 1; i >= 0 && value != 0; --i) {
        out[static_cast<std::size_t>(i)] = kDigits[value & 0x0F];
        value >>= 4;
    }
    return out;
}

}  // namespace base
