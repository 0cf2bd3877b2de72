// GBK conversions with glibc's iconv.
#include "base/gbk_conversion.h"

#include <iconv.h>

namespace base {
namespace {

// One conversion. nullopt on any invalid or unconvertible input.
std::optional<std::string> convert(const char* to, const char* from, std::string_view in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string input(in);
    std::string out(in.size() * 4 + 16, '\0');
    char* src = input.data();
    std::size_t srcLeft = input.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1) || srcLeft != 0) return std::nullopt;
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace

std::optional<std::string> ConvertToGbk(std::string_view utf8) { return convert("GBK", "UTF-8", utf8); }
std::optional<std::string> ConvertFromGbk(std::string_view gbk) { return convert("UTF-8", "GBK", gbk); }

}  // namespace base
