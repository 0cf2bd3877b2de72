#include "image/limits_page.h"

#include "image/frequency.h"
#include "image/gbk.h"
#include "image/hex.h"

namespace image {
namespace {

constexpr std::size_t kLineBytes = 7;
// The field is a signed 32-bit number: a limit read from the radio may be negative.
constexpr std::int64_t kLargestLimit = 0x7FFFFFFF;
constexpr std::int64_t kSmallestLimit = -0x7FFFFFFF - 1;

std::string& lineText(EditorState& state, int line) { return line == 1 ? state.limits.kaiji1 : state.limits.kaiji2; }

}  // namespace

std::string MessageLineToText(std::string_view code) {
    const auto n = hexValue(digits(code, 1, 2));
    if (!n || *n == 0 || *n > kLineBytes) return "";
    const auto bytes = HexToBytes(digits(code, 3, 2 + 2 * *n));
    return GbkBytesToKeptText(std::string(bytes.bytes.begin(), bytes.bytes.end()));
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

void DecodePowerOnMessage(EditorState& state, std::string_view text) {
    state.limits.kaiji1 = MessageLineToText(digits(text, 1, 16));
    state.limits.kaiji2 = MessageLineToText(digits(text, 17, 32));
}

void DecodeLimits(EditorState& state, std::string_view text) {
    for (int n = 1; n <= 4; ++n) {
        const std::size_t from = 1 + 8 * static_cast<std::size_t>(n - 1);
        state.limits.xp[static_cast<std::size_t>(n)] = LimitToText(digits(text, from, from + 7));
    }
    const auto sw = digits(text, 33, 34);
    if (sw == "00") state.limits.xp5 = 0;
    if (sw == "01") state.limits.xp5 = 1;
}

void DecodePowerOnAndLimits(EditorState& state, std::string_view text) {
    DecodePowerOnMessage(state, digits(text, 1, 32));
    DecodeLimits(state, digits(text, 33, 66));
}

bool MessageKeyAccepted(std::string_view current, char key) {
    if (key == 8) return true;
    if (GbkSize(current) >= kLineBytes) return false;
    if (key < 32 || key > 126) return false;
    if (key == ',' || key == '"' || key == '\'') return false;
    return key != '~' || !current.empty();
}

LimitKey LimitKeyPress(int number, char key) {
    if ((key >= '0' && key <= '9') || key == '.' || key == 8) return LimitKey::Accept;
    if (key == 13 && number < 4) return LimitKey::NextField;
    return LimitKey::Refuse;
}

Message MessageLineCommit(EditorState& state, int line) {
    const std::size_t from = line == 1 ? 1 : 17;
    state.k[10] = splice(state.k[10], from, from + 15, MessageLineToCode(lineText(state, line)));
    return {};
}

Message LimitCommit(EditorState& state, int number) {
    const std::string& text = state.limits.xp[static_cast<std::size_t>(number)];
    const std::size_t from = 1 + 8 * static_cast<std::size_t>(number - 1);
    if (text.empty()) {
        state.k[11] = splice(state.k[11], from, from + 7, "FFFFFFFF");
        return {};
    }
    const auto units = SignedScaledDecimal(text);
    if (!units) return NotAFloat(text);
    if (*units > kLargestLimit) return "频段限制不能大于21474.83647MHZ";
    if (*units < kSmallestLimit) return "频段限制不能小于-21474.83648MHZ";
    // Two's complement: a negative limit goes back as the digits it came in.
    const auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(*units));
    state.k[11] = splice(state.k[11], from, from + 7, hexDigits(bits, 8));
    return {};
}

Message LimitSwitchClick(EditorState& state) {
    if (state.limits.xp5 < 0 || state.limits.xp5 > 1) return {};
    state.k[11] = splice(state.k[11], 33, 34, hexDigits(static_cast<std::uint32_t>(state.limits.xp5), 2));
    return {};
}

}  // namespace image
