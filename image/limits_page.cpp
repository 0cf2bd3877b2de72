#include "image/limits_page.h"

#include <stdexcept>

#include "image/file_characters.h"
#include "base/frequency.h"
#include "base/gbk.h"
#include "base/hex.h"
#include "image/transfer.h"
#include "base/text.h"

namespace image {
using namespace base;
namespace {

constexpr std::size_t kLineBytes = 7;
// The field is a signed 32-bit number: a limit read from the radio may be negative.
constexpr std::int64_t kLargestLimit = 0x7FFFFFFF;
constexpr std::int64_t kSmallestLimit = -0x7FFFFFFF - 1;

std::string& lineText(EditorState& state, int line) { return line == 1 ? state.limits.kaiji1 : state.limits.kaiji2; }

// The block at 0x02D0 as its two hidden fields hold it: the message lines in k10, the limits
// and their switch in k11.
enum class Holds { Line, Limit, Switch };
struct Place {
    int field;
    std::size_t from, to;
    Holds holds;
    int number;  // kaiji<n> or xp<n>
};
constexpr Place kPlaces[] = {
    {10, 1, 16, Holds::Line, 1},   {10, 17, 32, Holds::Line, 2},  {11, 1, 8, Holds::Limit, 1},
    {11, 9, 16, Holds::Limit, 2},  {11, 17, 24, Holds::Limit, 3}, {11, 25, 32, Holds::Limit, 4},
    {11, 33, 34, Holds::Switch, 5},
};

const Place& placeOf(Holds holds, int number) {
    for (const Place& p : kPlaces)
        if (p.holds == holds && p.number == number) return p;
    throw std::out_of_range("no such field on the limits page");
}

void put(EditorState& state, const Place& p, std::string_view newDigits) {
    std::string& field = state.k[static_cast<std::size_t>(p.field)];
    field = splice(field, p.from, p.to, newDigits);
}

// Fills the controls held in hidden field k<field> from that field's digits.
void decodeField(EditorState& state, int field, std::string_view text) {
    for (const Place& p : kPlaces) {
        if (p.field != field) continue;
        const auto code = digits(text, p.from, p.to);
        switch (p.holds) {
            case Holds::Line: lineText(state, p.number) = MessageLineToText(code); break;
            case Holds::Limit: state.limits.xp[static_cast<std::size_t>(p.number)] = LimitToText(code); break;
            case Holds::Switch:
                if (code == "00") state.limits.xp5 = 0;
                if (code == "01") state.limits.xp5 = 1;
                break;
        }
    }
}

}  // namespace

std::string MessageLineToText(std::string_view code) {
    const auto n = hexValue(digits(code, 1, 2));
    if (!n || *n == 0 || *n > kLineBytes) return "";
    const auto bytes = HexToBytes(digits(code, 3, 2 + 2 * *n));
    return GbkBytesToKeptText(std::string(bytes.value.begin(), bytes.value.end()));
}

std::string MessageLineToCode(std::string_view text) {
    const std::string bytes = GbkPrefix(text, kLineBytes);
    std::string out = hexDigits(static_cast<std::uint32_t>(bytes.size()), 2) + BytesToHex(bytes);
    for (std::size_t i = bytes.size(); i < kLineBytes; ++i) out += "FF";
    return out;
}

std::string LimitToText(std::string_view code) {
    if (code == "FFFFFFFF") return "";
    const auto v = hexValue(code);
    if (!v) return "";
    const auto value = static_cast<std::int32_t>(*v);
    return FormatDecimal(static_cast<double>(value) / 100000.0);
}

void DecodePowerOnMessage(EditorState& state, std::string_view text) { decodeField(state, 10, text); }

void DecodeLimits(EditorState& state, std::string_view text) { decodeField(state, 11, text); }

void DecodePowerOnAndLimits(EditorState& state, std::string_view text) {
    const TransferBlock& b = BlockOf(BlockKind::PowerOnLimits);
    for (int i = 0; i < b.sliceCount; ++i) {
        const FieldSlice& slice = b.slices[static_cast<std::size_t>(i)];
        decodeField(state, slice.field,
                    digits(text, static_cast<std::size_t>(slice.from), static_cast<std::size_t>(slice.to)));
    }
}

bool MessageKeyAccepted(std::string_view current, char key) {
    if (key == kBackspace) return true;
    if (GbkSize(current) >= kLineBytes) return false;
    if (key < 32 || key > 126) return false;
    return !BreaksFileField(key) && !(current.empty() && BreaksFileAtStart(key));
}

LimitKey LimitKeyPress(int number, char key) {
    if ((key >= '0' && key <= '9') || key == '.' || key == kBackspace) return LimitKey::Accept;
    if (key == kEnter && number < 4) return LimitKey::NextField;
    return LimitKey::Refuse;
}

Message MessageLineCommit(EditorState& state, int line) {
    put(state, placeOf(Holds::Line, line), MessageLineToCode(lineText(state, line)));
    return {};
}

Message LimitCommit(EditorState& state, int number) {
    const std::string& text = state.limits.xp[static_cast<std::size_t>(number)];
    const Place& place = placeOf(Holds::Limit, number);
    if (text.empty()) {
        put(state, place, "FFFFFFFF");
        return {};
    }
    const auto units = SignedScaledDecimal(text);
    if (!units) return NotAFloat(text);
    if (*units > kLargestLimit) return Tr("频段限制不能大于21474.83647MHZ");
    if (*units < kSmallestLimit) return Tr("频段限制不能小于-21474.83648MHZ");
    // Two's complement: a negative limit goes back as the digits it came in.
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(*units));
    put(state, place, hexDigits(bits, 8));
    return {};
}

Message LimitSwitchClick(EditorState& state) {
    if (state.limits.xp5 < 0 || state.limits.xp5 > 1) return {};
    put(state, placeOf(Holds::Switch, 5), hexDigits(static_cast<std::uint32_t>(state.limits.xp5), 2));
    return {};
}

}  // namespace image
