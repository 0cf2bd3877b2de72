#include "base/gbk.h"
#include "base/gbk_conversion.h"

#include <algorithm>
#include <cerrno>

namespace base {
namespace {

std::size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
}

// U+F780..U+F7FF in UTF-8: EF 9E 80 .. EF 9F BF. The byte it keeps, or -1.
int keptByteAt(std::string_view s, std::size_t i) {
    if (i + 3 > s.size()) return -1;
    const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]),
               c = static_cast<unsigned char>(s[i + 2]);
    if (a != 0xEF || (b != 0x9E && b != 0x9F) || (c & 0xC0) != 0x80) return -1;
    return ((b & 0x03) << 6) | (c & 0x3F);  // U+F700 + byte: the low eight bits
}

std::string keptChar(unsigned char byte) {
    const char32_t cp = kRawByteBase + byte;
    return {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
            static_cast<char>(0x80 | (cp & 0x3F))};
}

// GBK bytes to text; `bad` gives what an unconvertible byte becomes.
template <class Bad>
std::string decode(std::string_view gbk, Bad bad, bool checkBack) {
    if (auto whole = GbkToUtf8(gbk)) {
        if (!checkBack || ConvertToGbk(*whole) == std::string(gbk)) return *whole;
    }
    std::string out;
    for (std::size_t i = 0; i < gbk.size();) {
        const auto c = static_cast<unsigned char>(gbk[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        // A one-byte character (0x80 is the euro sign) or a pair, converted back unchanged.
        bool done = false;
        for (std::size_t n = 1; n <= 2 && !done && i + n <= gbk.size(); ++n) {
            const std::string_view piece = gbk.substr(i, n);
            const auto text = GbkToUtf8(piece);
            if (!text || (checkBack && ConvertToGbk(*text) != std::string(piece))) continue;
            out += *text;
            i += n;
            done = true;
        }
        if (done) continue;
        out += bad(c);
        ++i;
    }
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const int byte = keptByteAt(utf8, i);
        if (byte < 0) {
            ++i;
            continue;
        }
        const auto part = ConvertToGbk(utf8.substr(from, i - from));
        if (!part) return std::nullopt;
        out += *part;
        out.push_back(static_cast<char>(byte));
        i += 3;
        from = i;
    }
    if (from == 0) return ConvertToGbk(utf8);
    const auto rest = ConvertToGbk(utf8.substr(from));
    if (!rest) return std::nullopt;
    return out + *rest;
}

std::optional<std::string> GbkToUtf8(std::string_view gbk) { return ConvertFromGbk(gbk); }

std::string GbkBytesToKeptText(std::string_view gbk) {
    return decode(gbk, [](unsigned char c) { return keptChar(c); }, true);
}

std::string GbkBytesToText(std::string_view gbk) {
    return decode(gbk, [](unsigned char) { return std::string("?"); }, false);
}

namespace {

// Walks the text character by character with each one's GBK form ("?" when it has none);
// stops when `take` returns false.
template <class Take>
void walkGbk(std::string_view utf8, Take take) {
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = std::min(utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        const auto encoded = Utf8ToGbk(utf8.substr(i, n));
        if (!take(i, n, encoded ? *encoded : std::string("?"))) return;
        i += n;
    }
}

}  // namespace

std::string GbkPrefix(std::string_view utf8, std::size_t maxBytes) {
    std::string out;
    walkGbk(utf8, [&](std::size_t, std::size_t, const std::string& piece) {
        if (out.size() + piece.size() > maxBytes) return false;
        out += piece;
        return true;
    });
    return out;
}

std::string Utf8PrefixWithin(std::string_view utf8, std::size_t maxGbkBytes) {
    std::size_t bytes = 0, end = 0;
    walkGbk(utf8, [&](std::size_t i, std::size_t n, const std::string& piece) {
        if (bytes + piece.size() > maxGbkBytes) return false;
        bytes += piece.size();
        end = i + n;
        return true;
    });
    return std::string(utf8.substr(0, end));
}

std::size_t GbkSize(std::string_view utf8) {
    std::size_t bytes = 0;
    walkGbk(utf8, [&](std::size_t, std::size_t, const std::string& piece) {
        bytes += piece.size();
        return true;
    });
    return bytes;
}

std::vector<unsigned char> KeptBytes(std::string_view utf8) {
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const int byte = keptByteAt(utf8, i);
        if (byte >= 0) out.push_back(static_cast<unsigned char>(byte));
    }
    return out;
}

std::string ShownText(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        if (keptByteAt(utf8, i) >= 0) {
            out += "\xEF\xBF\xBD";  // U+FFFD
            i += 3;
        } else {
            out.push_back(utf8[i++]);
        }
    }
    return out;
}

std::string TextBehindShown(std::string_view before, std::string_view edited) {
    const std::string shown = ShownText(before);
    if (shown == edited) return std::string(before);
    const std::size_t most = std::min(shown.size(), edited.size());
    std::size_t head = 0;
    while (head < most && shown[head] == edited[head]) ++head;
    std::size_t tail = 0;
    while (tail < most - head && shown[shown.size() - 1 - tail] == edited[edited.size() - 1 - tail]) ++tail;
    // Back to character boundaries: never keep half of a character from either side.
    auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    auto splitsAt = [&](std::string_view text, std::size_t i) { return i < text.size() && continuation(text[i]); };
    while (head > 0 && (splitsAt(shown, head) || splitsAt(edited, head))) --head;
    while (tail > 0 && (splitsAt(shown, shown.size() - tail) || splitsAt(edited, edited.size() - tail))) --tail;
    return std::string(before.substr(0, head)) + std::string(edited.substr(head, edited.size() - head - tail)) +
           std::string(before.substr(before.size() - tail));
}

}  // namespace base
