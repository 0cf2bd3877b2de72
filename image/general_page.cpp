#include "image/general_page.h"

#include "image/frequency.h"
#include "image/hex.h"

namespace image {
namespace {

// Each list's two digits in k5, and the largest value the decoder takes as an index: a value
// up to `decodeLimit` but past the list's end leaves the list without a selection, a larger
// one leaves it as it was.
struct Slot {
    int control;
    std::size_t from, to;
    int decodeLimit;
};
constexpr Slot kSlots[] = {
    {2, 3, 4, 20},   {4, 9, 10, 7},   {5, 11, 12, 7},  {6, 13, 14, 7},  {7, 15, 16, 1},  {8, 17, 18, 1},
    {9, 19, 20, 9},  {10, 21, 22, 9}, {11, 23, 24, 20}, {14, 33, 34, 9}, {15, 35, 36, 1},
};
constexpr int kListSizes[16] = {0, 2, 21, 0, 4, 4, 4, 2, 2, 10, 2, 21, 4, 4, 10, 2};

// gn12 and gn13 store a value, not an index.
constexpr const char* kToneCodes[] = {"03E8", "05AA", "06D6", "0834"};   // 1000 .. 2100 Hz
constexpr const char* kDtmfTimes[] = {"0032", "0064", "0096", "00C8"};   // 50 .. 200 ms

// Byte 0x00: "上段" is 00, "下段" is 01, in both directions.
constexpr const char* kMainBand[] = {"00", "01"};

void put(EditorState& state, std::size_t from, std::size_t to, std::string_view newDigits) {
    state.k[5] = splice(state.k[5], from, to, newDigits);
}

}  // namespace

void DecodeGeneralBlock(EditorState& state, std::string_view block) {
    auto& list = state.general.list;
    auto at = [&](std::size_t from, std::size_t to) { return digits(block, from, to); };

    for (int i = 0; i < 2; ++i)
        if (at(1, 2) == kMainBand[i]) list[1] = i;
    const auto radio = at(5, 8);
    if (radio == "FFFF") {
        state.general.radioFreq.clear();
    } else if (const auto v = hexValue(radio)) {
        std::string s = std::to_string(*v);
        if (s.size() < 2) s.insert(0, "0");
        s.insert(s.size() - 1, ".");
        state.general.radioFreq = s;
    }
    for (const Slot& s : kSlots) {
        const auto v = hexValue(at(s.from, s.to));
        if (!v || *v > static_cast<std::uint32_t>(s.decodeLimit)) continue;
        const int index = static_cast<int>(*v);
        list[static_cast<std::size_t>(s.control)] = index < kListSizes[s.control] ? index : kNoSelection;
    }
    for (int i = 0; i < 4; ++i) {
        if (at(25, 28) == kToneCodes[i]) list[12] = i;
        if (at(29, 32) == kDtmfTimes[i]) list[13] = i;
    }
}

Message GeneralListClick(EditorState& state, int control) {
    const int index = state.general.list[static_cast<std::size_t>(control)];
    if (index < 0 || index >= kListSizes[control]) return {};
    const auto i = static_cast<std::size_t>(index);
    switch (control) {
        case 1: put(state, 1, 2, kMainBand[i]); break;
        case 12: put(state, 25, 28, kToneCodes[i]); break;
        case 13: put(state, 29, 32, kDtmfTimes[i]); break;
        default:
            for (const Slot& s : kSlots)
                if (s.control == control) put(state, s.from, s.to, hexDigits(static_cast<std::uint32_t>(index), 2));
    }
    return {};
}

Message GeneralRadioCommit(EditorState& state) {
    std::string& text = state.general.radioFreq;
    if (text.empty()) {
        put(state, 5, 8, "FFFF");
        return {};
    }
    const auto tenths = ScaledDecimal(text, 10.0L);
    if (!tenths) return NotAFloat(text);
    if (*tenths < 880 || *tenths > 1080) {
        text.clear();
        put(state, 5, 8, "FFFF");
        return "收音频率 88~108MHz";
    }
    put(state, 5, 8, hexDigits(static_cast<std::uint32_t>(*tenths), 4));
    return {};
}

}  // namespace image
