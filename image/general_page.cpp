#include "image/general_page.h"

#include "image/block_layout.h"
#include "base/frequency.h"
#include "base/hex.h"
#include "image/page_tables.h"
#include "base/text.h"

namespace image {
using base::NotAFloat;
using base::ScaledDecimal;
using base::hexDigits;
using base::hexValue;
using base::splice;
namespace {

using enum Coding;

// Byte 0x00: "上段" is 00, "下段" is 01, in both directions.
constexpr const char* kMainBand[] = {"00", "01"};
// gn12 and gn13 store a value, not an index.
constexpr const char* kToneCodes[] = {"03E8", "05AA", "06D6", "0834"};  // 1000 .. 2100 Hz
constexpr const char* kDtmfTimes[] = {"0032", "0064", "0096", "00C8"};  // 50 .. 200 ms

// The general settings block in k5, field by field. An index field's read limit is the
// largest value a read takes as an index: past the list's end it leaves no selection, above
// the limit the list stays as it was.
constexpr BlockField kGeneralBlock[] = {
    {0, 1, 2, 1, Codes, 0, Beyond::Keep, kMainBand},    // main band
    {0, 3, 4, 2, Index, 20},                            // volume
    {0, 5, 8, 3, Tenths},                               // broadcast radio frequency
    {0, 9, 10, 4, Index, 7},                            // standby backlight
    {0, 11, 12, 5, Index, 7},                           // receive backlight
    {0, 13, 14, 6, Index, 7},                           // transmit backlight
    {0, 15, 16, 7, Index, 1},                           // backlight mode
    {0, 17, 18, 8, Index, 1},                           // prompt tone
    {0, 19, 20, 9, Index, 9},                           // ring tone
    {0, 21, 22, 10, Index, 9},                          // busy lock-out
    {0, 23, 24, 11, Index, 20},                         // transmit time-out
    {0, 25, 28, 12, Codes, 0, Beyond::Keep, kToneCodes},  // single tone
    {0, 29, 32, 13, Codes, 0, Beyond::Keep, kDtmfTimes},  // DTMF time
    {0, 33, 34, 14, Index, 9},                          // squelch level
    {0, 35, 36, 15, Index, 1},                          // relay mode
};

void put(EditorState& state, int control, std::string_view newDigits) {
    const BlockField& f = FieldOf(kGeneralBlock, control);
    state.k[5] = splice(state.k[5], f.from, f.to, newDigits);
}

}  // namespace

void DecodeGeneralBlock(EditorState& state, std::string_view block) {
    GeneralPage& page = state.general;
    for (const BlockField& f : kGeneralBlock) {
        const auto code = FieldDigits(block, f, 0);
        if (f.coding == Tenths) {
            if (code == "FFFF") {
                page.radioFreq.clear();
            } else if (const auto v = hexValue(code)) {
                std::string s = std::to_string(*v);
                if (s.size() < 2) s.insert(0, "0");
                s.insert(s.size() - 1, ".");
                page.radioFreq = s;
            }
        } else if (const auto s = ReadSelection(f, code, GeneralItems(f.control).size())) {
            page.list[static_cast<std::size_t>(f.control)] = *s;
        }
    }
}

Message GeneralListClick(EditorState& state, int control) {
    const int index = state.general.list[static_cast<std::size_t>(control)];
    if (index < 0 || index >= static_cast<int>(GeneralItems(control).size())) return {};
    if (const auto code = SelectionDigits(FieldOf(kGeneralBlock, control), index)) put(state, control, *code);
    return {};
}

Message GeneralRadioCommit(EditorState& state) {
    std::string& text = state.general.radioFreq;
    if (text.empty()) {
        put(state, 3, "FFFF");
        return {};
    }
    const auto tenths = ScaledDecimal(text, 10.0L);
    if (!tenths) return NotAFloat(text);
    if (*tenths < 880 || *tenths > 1080) {
        text.clear();
        put(state, 3, "FFFF");
        return base::Tr("收音频率 88~108MHz");
    }
    put(state, 3, hexDigits(static_cast<std::uint32_t>(*tenths), 4));
    return {};
}

}  // namespace image
