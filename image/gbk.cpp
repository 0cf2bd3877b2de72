#include "image/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace image {
namespace {

// One conversion with glibc's iconv. nullopt on any invalid or unconvertible input.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string input(in);
    std::vector<char> out(in.size() * 4 + 16);
    char* src = input.data();
    std::size_t srcLeft = input.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || srcLeft != 0) return std::nullopt;
    return std::string(out.data(), out.size() - dstLeft);
}

std::size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) { return convert("GBK", "UTF-8", utf8); }

std::optional<std::string> GbkToUtf8(std::string_view gbk) { return convert("UTF-8", "GBK", gbk); }

std::string GbkBytesToText(std::string_view gbk) {
    if (auto whole = GbkToUtf8(gbk)) return *whole;
    std::string out;
    for (std::size_t i = 0; i < gbk.size();) {
        const auto c = static_cast<unsigned char>(gbk[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (i + 1 < gbk.size()) {
            if (auto pair = GbkToUtf8(gbk.substr(i, 2))) {
                out += *pair;
                i += 2;
                continue;
            }
        }
        out.push_back('?');
        ++i;
    }
    return out;
}

std::string GbkPrefix(std::string_view utf8, std::size_t maxBytes) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = utf8Length(static_cast<unsigned char>(utf8[i]));
        const auto encoded = Utf8ToGbk(utf8.substr(i, n));
        const std::string piece = encoded ? *encoded : "?";
        if (out.size() + piece.size() > maxBytes) break;
        out += piece;
        i += n;
    }
    return out;
}

}  // namespace image
