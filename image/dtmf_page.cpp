#include "image/dtmf_page.h"

#include "image/hex.h"

namespace image {
namespace {

// DTMF characters by code: 00 is "D", 01..09 the digits, 0A "0", 0B "*", 0C "#", 0D..0F A..C.
constexpr char kByCode[] = "D1234567890*#ABC";

int codeOf(char c) {
    for (int i = 0; i < 16; ++i)
        if (kByCode[i] == c) return i;
    return -1;
}

bool isDtmfChar(char c) { return codeOf(c) >= 0; }

std::string textToCode(std::string_view text, std::size_t room) {
    if (text.empty()) return "00" + std::string(2 * room, 'F');
    std::string out = hexDigits(static_cast<std::uint32_t>(text.size()), 2);
    for (std::size_t i = 0; i < room; ++i) {
        const int code = i < text.size() ? codeOf(text[i]) : -1;
        out += code < 0 ? "FF" : hexDigits(static_cast<std::uint32_t>(code), 2);
    }
    return out;
}

// Where each code lives: hidden field and digit range.
struct Slot {
    int field;
    std::size_t from, to;
};
Slot slotOf(CodeKind kind, int number) {
    if (kind == CodeKind::Dtmf) {
        const int field = 6 + (number - 1) / 2;
        const std::size_t from = (number - 1) % 2 == 0 ? 1 : 17;
        return {field, from, from + 15};
    }
    if (number <= 2) return {12, number == 1 ? 1u : 17u, number == 1 ? 16u : 32u};
    const int field = 13 + (number - 3) / 2;
    const std::size_t from = (number - 3) % 2 == 0 ? 1 : 13;
    return {field, from, from + 11};
}

std::string& textOf(EditorState& state, CodeKind kind, int number) {
    auto& texts = kind == CodeKind::Dtmf ? state.dtmf.sy : state.dtmf.sypz;
    return texts[static_cast<std::size_t>(number)];
}

}  // namespace

std::string DtmfCodeToText(std::string_view code) {
    const auto n = hexValue(digits(code, 1, 2));
    if (!n || *n == 0) return "";
    std::string text;
    for (std::uint32_t i = 0; i < *n; ++i) {
        const auto byte = digits(code, 3 + 2 * i, 4 + 2 * i);
        if (byte.size() < 2) break;  // the count asks for more than the code holds
        const auto v = hexValue(byte);
        if (v && *v < 16) text.push_back(kByCode[*v]);
        else text += std::string(byte);
    }
    return text;
}

std::string DtmfTextToCode8(std::string_view text) { return textToCode(text.substr(0, 7), 7); }
std::string DtmfTextToCode6(std::string_view text) { return textToCode(text.substr(0, 5), 5); }

void DecodeDtmfBlock(EditorState& state, std::string_view block) {
    for (int n = 1; n <= 6; ++n)
        state.dtmf.sy[static_cast<std::size_t>(n)] = DtmfCodeToText(digits(block, 16 * (n - 1) + 1, 16 * n));
}

void DecodeDtmf78Block(EditorState& state, std::string_view block) {
    state.dtmf.sy[7] = DtmfCodeToText(digits(block, 1, 16));
    state.dtmf.sy[8] = DtmfCodeToText(digits(block, 17, 32));
}

void DecodeIdCodeBlock(EditorState& state, std::string_view block) {
    state.dtmf.sypz[1] = DtmfCodeToText(digits(block, 1, 16));
    state.dtmf.sypz[2] = DtmfCodeToText(digits(block, 17, 32));
    for (int n = 3; n <= 8; ++n) {
        const std::size_t from = 33 + 12 * static_cast<std::size_t>(n - 3);
        state.dtmf.sypz[static_cast<std::size_t>(n)] = DtmfCodeToText(digits(block, from, from + 11));
    }
}

int CodeLimit(CodeKind kind, int number) { return kind == CodeKind::Identity && number >= 3 ? 5 : 7; }

KeyVerdict DtmfKeyPress(CodeKind kind, int number, std::size_t currentLength, char key) {
    constexpr char kBackspace = 8, kEnter = 13;
    if (currentLength >= static_cast<std::size_t>(CodeLimit(kind, number)) && key != kBackspace) return {false, {}};
    if (key == kBackspace || key == kEnter || isDtmfChar(key)) return {true, {}};
    return {false, kind == CodeKind::Dtmf ? "DTMF:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D"
                                           : "输入以下字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D"};
}

Message DtmfTextChanged(EditorState& state, CodeKind kind, int number) {
    std::string& text = textOf(state, kind, number);
    const std::size_t limit = static_cast<std::size_t>(CodeLimit(kind, number));
    std::string kept;
    bool stripped = false;
    for (char c : text) {
        if (!isDtmfChar(c)) stripped = true;
        else if (kept.size() < limit) kept.push_back(c);
        else stripped = true;
    }
    Message message;
    if (stripped) {
        text = kept;
        message = "只保留" + std::to_string(limit) + "个字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,C,D";
    }
    const Slot s = slotOf(kind, number);
    const std::string code = limit == 7 ? DtmfTextToCode8(text) : DtmfTextToCode6(text);
    std::string& field = state.k[static_cast<std::size_t>(s.field)];
    field = splice(field, s.from, s.to, code);
    return message;
}

}  // namespace image
