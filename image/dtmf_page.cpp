#include "image/dtmf_page.h"

#include <stdexcept>

#include "base/hex.h"
#include "image/transfer.h"
#include "base/text.h"

namespace image {
using base::digits;
using base::hexDigits;
using base::hexValue;
using base::splice;
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

using enum CodeKind;

// Where each code lives: its hidden field and digits there. A long code is 8 bytes (a count
// and 7 characters), a short one 6 (a count and 5).
struct CodeSlot {
    CodeKind kind;
    int number;
    int field;
    std::size_t from, to;
    int limit() const { return static_cast<int>((to - from + 1) / 2) - 1; }
};
constexpr CodeSlot kCodeSlots[] = {
    {Dtmf, 1, 6, 1, 16},      {Dtmf, 2, 6, 17, 32},     {Dtmf, 3, 7, 1, 16},      {Dtmf, 4, 7, 17, 32},
    {Dtmf, 5, 8, 1, 16},      {Dtmf, 6, 8, 17, 32},     {Dtmf, 7, 9, 1, 16},      {Dtmf, 8, 9, 17, 32},
    {Identity, 1, 12, 1, 16}, {Identity, 2, 12, 17, 32}, {Identity, 3, 13, 1, 12}, {Identity, 4, 13, 13, 24},
    {Identity, 5, 14, 1, 12}, {Identity, 6, 14, 13, 24}, {Identity, 7, 15, 1, 12}, {Identity, 8, 15, 13, 24},
};

const CodeSlot& slotOf(CodeKind kind, int number) {
    for (const CodeSlot& s : kCodeSlots)
        if (s.kind == kind && s.number == number) return s;
    throw std::out_of_range("no code slot " + std::to_string(number));
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

namespace {

// Fills the codes that lie in the hidden fields a block of this kind carries, from the block.
void decodeCodes(EditorState& state, BlockKind kind, std::string_view block) {
    const TransferBlock& b = BlockOf(kind);
    for (int i = 0; i < b.sliceCount; ++i) {
        const FieldSlice& slice = b.slices[static_cast<std::size_t>(i)];
        const auto at = static_cast<std::size_t>(slice.from) - 1;
        for (const CodeSlot& s : kCodeSlots)
            if (s.field == slice.field)
                textOf(state, s.kind, s.number) = DtmfCodeToText(digits(block, at + s.from, at + s.to));
    }
}

}  // namespace

void DecodeDtmfBlock(EditorState& state, std::string_view block) { decodeCodes(state, BlockKind::Dtmf, block); }
void DecodeDtmf78Block(EditorState& state, std::string_view block) { decodeCodes(state, BlockKind::Dtmf78, block); }
void DecodeIdCodeBlock(EditorState& state, std::string_view block) { decodeCodes(state, BlockKind::IdCodes, block); }

int CodeLimit(CodeKind kind, int number) { return slotOf(kind, number).limit(); }

KeyVerdict DtmfKeyPress(CodeKind kind, int number, std::size_t currentLength, char key) {
    if (currentLength >= static_cast<std::size_t>(CodeLimit(kind, number)) && key != kBackspace) return {false, {}};
    if (key == kBackspace || key == kEnter || isDtmfChar(key)) return {true, {}};
    return {false, kind == CodeKind::Dtmf ? "DTMF:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D"
                                           : base::Tr("输入以下字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D")};
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
        message = base::Tr("只保留%1个字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,C,D", limit);
    }
    const CodeSlot& s = slotOf(kind, number);
    const std::string code = textToCode(std::string_view(text).substr(0, limit), limit);
    std::string& field = state.k[static_cast<std::size_t>(s.field)];
    field = splice(field, s.from, s.to, code);
    return message;
}

}  // namespace image
