#include "image/band_page.h"

#include <stdexcept>

#include "image/band_edges.h"
#include "image/code_tables.h"
#include "image/frequency.h"
#include "image/hex.h"
#include "image/page_tables.h"

namespace image {
namespace {

// Where each control's digits lie: field 0 is the block's first half (k1/k3), 1 its second.
struct Slot {
    int control;
    int half;
    std::size_t from, to;
};
constexpr Slot kSlots[] = {
    {1, 0, 1, 2},    {2, 0, 3, 4},    {3, 0, 5, 12},   {4, 0, 13, 16},  {6, 0, 17, 18},
    {7, 0, 21, 24},  {8, 0, 25, 26},  {5, 0, 27, 28},  {10, 0, 29, 30}, {11, 0, 31, 32},
    {12, 1, 1, 2},   {13, 1, 3, 4},   {14, 1, 5, 6},   {15, 1, 7, 14},  {16, 1, 15, 18},
};

const Slot& slotOf(int control) {
    for (const Slot& s : kSlots)
        if (s.control == control) return s;
    throw std::out_of_range("no band control " + std::to_string(control));
}

std::string& fieldOf(EditorState& state, Band band, int half) {
    const int first = band == Band::Upper ? 1 : 3;
    return state.k[static_cast<std::size_t>(first + half)];
}

void put(EditorState& state, Band band, int control, std::string_view newDigits) {
    const Slot& s = slotOf(control);
    std::string& field = fieldOf(state, band, s.half);
    field = splice(field, s.from, s.to, newDigits);
}

// The tone list item whose text matches the code's text; the last item when none does.
int toneIndex(std::string_view code) {
    const auto& list = ToneList(ToneSpelling::BandPage);
    const std::string text = ToneCodeToText(code);
    const int index = IndexOf(list, text.empty() ? "0FF" : text);
    return index < 0 ? static_cast<int>(list.size()) - 1 : index;
}

// The value of a one-byte field; a value of `limit` or more (or no number) returns -1.
int byteBelow(std::string_view code, std::uint32_t limit) {
    const auto v = hexValue(code);
    return v && *v < limit ? static_cast<int>(*v) : -1;
}

}  // namespace

void DecodeBandBlock(EditorState& state, Band band, std::string_view block) {
    BandPage& page = state.band(band);
    auto at = [&](std::size_t from, std::size_t to) { return digits(block, from, to); };
    auto setIfBelow = [&](int control, std::string_view code, std::uint32_t limit) {
        const int v = byteBelow(code, limit);
        if (v >= 0) page.list[static_cast<std::size_t>(control)] = v;
    };

    // Work mode: 0..3 is the index (2 and 3 leave the two-item list without a selection).
    const auto mode = hexValue(at(1, 2));
    if (mode) page.list[1] = *mode <= 3 ? (*mode <= 1 ? static_cast<int>(*mode) : kNoSelection) : 0;
    // Channel number: above 127 selects "1".
    const auto channel = hexValue(at(3, 4));
    if (channel) page.list[2] = *channel > 127 ? 0 : static_cast<int>(*channel);
    page.rxFreq = FrequencyFieldToText(at(5, 12));
    page.list[4] = toneIndex(at(13, 16));
    setIfBelow(6, at(17, 18), 2);
    page.list[7] = toneIndex(at(21, 24));
    setIfBelow(8, at(25, 26), 18);
    setIfBelow(5, at(27, 28), 18);
    setIfBelow(10, at(29, 30), 2);
    setIfBelow(11, at(31, 32), 2);
    setIfBelow(12, at(33, 34), 2);
    setIfBelow(13, at(35, 36), 2);
    setIfBelow(14, at(37, 38), 3);
    page.offset = FrequencyFieldToText(at(39, 46));
    const auto step = at(47, 50);
    for (std::size_t i = 0; i < kSteps.size(); ++i)
        if (step == kSteps[i].code) page.list[16] = static_cast<int>(i);
}

Message BandListClick(EditorState& state, Band band, int control) {
    const int index = state.band(band).list[static_cast<std::size_t>(control)];
    if (index < 0) return {};
    switch (control) {
        case 4:
        case 7: {
            const auto& list = ToneList(ToneSpelling::BandPage);
            if (index >= static_cast<int>(list.size())) return {};
            put(state, band, control, *ToneTextToCode(list[static_cast<std::size_t>(index)]));
            break;
        }
        case 16:
            if (index >= static_cast<int>(kSteps.size())) return {};
            put(state, band, control, kSteps[static_cast<std::size_t>(index)].code);
            break;
        default:  // the index itself, two digits; for the channel list that is the number minus 1
            put(state, band, control, hexDigits(static_cast<std::uint32_t>(index), 2));
    }
    return {};
}

Message BandEditCommit(EditorState& state, Band band, int control, Trigger trigger) {
    BandPage& page = state.band(band);
    std::string& text = control == 3 ? page.rxFreq : page.offset;
    if (text.empty()) {
        put(state, band, control, "FFFFFFFF");
        return {};
    }
    const auto units = ScaledDecimal(text);
    if (!units) return NotAFloat(text);
    if (control == 3 && !InBand(*units, kVhfLowMHz, kVhfHighMHz)) {
        const bool chinese = band == Band::Upper && trigger == Trigger::Exit;
        const std::string limits = std::to_string(kVhfLowMHz) + "MHZ~" + std::to_string(kVhfHighMHz) + "MHZ";
        text.clear();
        put(state, band, control, "FFFFFFFF");
        return (chinese ? "接收频率在" : "Receive Frequency in ") + limits;
    }
    // The field has eight digits; a larger offset cannot be stored.
    if (*units > 0xFFFFFFFELL) return "发射频差'" + text + "'超出范围";
    put(state, band, control, hexDigits(static_cast<std::uint32_t>(*units), 8));
    return {};
}

}  // namespace image
