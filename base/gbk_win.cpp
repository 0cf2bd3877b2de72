// GBK conversions with the system's code page 936, held to what glibc's GBK converts: the
// private-use characters that code page 936 gives its user-defined areas are no GBK text
// here, so both systems turn the same bytes into the same text.
#include "base/gbk_conversion.h"

#include <windows.h>

namespace base {
namespace {

constexpr UINT kGbk = 936;

bool privateUse(wchar_t c) { return c >= 0xE000 && c <= 0xF8FF; }

std::optional<std::wstring> widen(UINT codePage, std::string_view in) {
    if (in.empty()) return std::wstring();
    const int size = static_cast<int>(in.size());
    const int n = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, nullptr, 0);
    if (n <= 0) return std::nullopt;
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    if (::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, out.data(), n) != n) return std::nullopt;
    return out;
}

// For GBK, a character without a form there fails instead of becoming "?" or a look-alike.
std::optional<std::string> narrow(UINT codePage, const std::wstring& in) {
    if (in.empty()) return std::string();
    const int size = static_cast<int>(in.size());
    BOOL usedDefault = FALSE;
    BOOL* const check = codePage == CP_UTF8 ? nullptr : &usedDefault;
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int n = ::WideCharToMultiByte(codePage, flags, in.data(), size, nullptr, 0, nullptr, check);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string out(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(codePage, flags, in.data(), size, out.data(), n, nullptr, check) != n || usedDefault)
        return std::nullopt;
    return out;
}

// Text from one code page to the other through UTF-16. Private-use characters are refused both
// ways: code page 936 maps its unassigned bytes there, which GBK text must not hold.
std::optional<std::string> convert(UINT from, UINT to, std::string_view text) {
    const auto wide = widen(from, text);
    if (!wide) return std::nullopt;
    for (wchar_t c : *wide)
        if (privateUse(c)) return std::nullopt;
    return narrow(to, *wide);
}

}  // namespace

std::optional<std::string> ConvertToGbk(std::string_view utf8) { return convert(CP_UTF8, kGbk, utf8); }

std::optional<std::string> ConvertFromGbk(std::string_view gbk) { return convert(kGbk, CP_UTF8, gbk); }

}  // namespace base
