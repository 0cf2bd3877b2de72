// Random editor states for the round trips, from one generator. Each reach holds the one
// before it:
//   Typed    channels as an operator types them through the grid editors (CSV, diff);
//   Encoded  and block fields k1..k15 of random hex with an identity list the write takes:
//            every byte a write sends (the image through the decoders and encoders);
//   Held     and everything else the controls can hold: cells as a file or a read brings them,
//            every list and edit of the settings pages, the position fields (Save and Open).
// The draws are the Mersenne twister's numbers taken modulo, never a distribution of the
// standard library, whose results differ between libraries: a seed gives the same state
// everywhere.
#pragma once

#include <array>
#include <random>
#include <string>
#include <vector>

#include "image/code_tables.h"
#include "image/editor_state.h"
#include "editor/grid_editing.h"
#include "image/page_tables.h"

namespace random_state {
using namespace editor;

class Draw {
public:
    explicit Draw(unsigned seed) : rng_(seed) {}

    // 0 .. n-1.
    int below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool oneIn(int n) { return below(n) == 0; }
    bool chance(int percent) { return below(100) < percent; }
    const std::string& pick(const std::vector<std::string>& list) { return list[rng_() % list.size()]; }
    // A list's selection: -1 (none) or one of its items.
    int selection(std::size_t items) { return below(static_cast<int>(items) + 1) - 1; }
    std::string hex(int digits) {
        std::string s;
        while (digits-- > 0) s.push_back("0123456789ABCDEF"[below(16)]);
        return s;
    }
    // What an edit can hold: printable ASCII but the comma and the quotes (every way text comes
    // in refuses them), and Chinese (texts decoded from the radio's GBK bytes).
    std::string text(int maxLength) {
        static const std::vector<std::string> chinese = {"信", "令", "关", "宽", "中", "频", "遥", "晕"};
        std::string s;
        for (int i = below(maxLength + 1); i > 0; --i) {
            const char c = static_cast<char>(32 + below(95));
            if (chance(20))
                s += pick(chinese);
            else if (c != ',' && c != '\'' && c != '"')
                s.push_back(c);
        }
        return s;
    }
    // A frequency cell as a file or a read may bring it: five decimals, off the raster too, up
    // to a megahertz past a band's top.
    std::string frequency() {
        return std::to_string(chance(50) ? 136 + below(41) : 400 + below(91)) + "." + std::to_string(10000 + below(90000));
    }
    // A frequency as typed: within a band, on the 2.5 kHz or the 6.25 kHz raster.
    std::string rasterFrequency() {
        const bool uhf = below(2);
        const int low = uhf ? 40000000 : 13600000, high = uhf ? 49000000 : 17600000;
        const int step = oneIn(3) ? 625 : 250;
        const std::string d = std::to_string(low + below((high - low) / step + 1) * step);
        return d.substr(0, d.size() - 5) + "." + d.substr(d.size() - 5);
    }

private:
    std::mt19937 rng_;
};

// A channel entered through the grid editors: a few transmit only, transmit frequencies of
// their own or the receive one, tone pairs as TSQL and DTCS make them, list items and
// defaults, a name through the name filter.
inline void TypedChannel(Draw& d, image::EditorState& s, image::Band band, int row) {
    using namespace image;
    const auto& tones = ToneList(ToneSpelling::Grid);
    auto choose = [&](int column, const std::string& item) {
        if (SelectCell(s, band, column, row).kind == EditorKind::List) ChooseItem(s, band, item);
    };
    const bool rx = !d.oneIn(20);
    if (rx) {
        SelectCell(s, band, kColRxFreq, row);
        CommitFrequency(s, band, d.rasterFrequency());
    }
    if (!rx || !d.oneIn(5)) {
        SelectCell(s, band, kColTxFreq, row);
        CommitFrequency(s, band, d.oneIn(3) ? s.grid(band).at(row, kColRxFreq) : d.rasterFrequency());
        if (s.grid(band).at(row, kColTxFreq).empty()) CommitFrequency(s, band, d.rasterFrequency());
    }
    const std::string rxTone = d.pick(tones);
    std::string txTone = d.pick(tones);
    if (d.oneIn(3)) txTone = rxTone;
    if (d.oneIn(6) && rxTone.size() == 5) txTone = rxTone.substr(0, 4) + (rxTone[4] == 'N' ? "I" : "N");
    if (!d.oneIn(4)) choose(kColRxTone, rxTone);
    if (!d.oneIn(4)) choose(kColTxTone, txTone);
    choose(kColRxMode, d.pick(ReceiveModeList()));
    choose(kColStartSignal, d.pick(SignallingList()));
    choose(kColEndSignal, d.pick(SignallingList()));
    choose(kColPower, d.pick(PowerList()));
    choose(kColBandwidth, d.pick(BandwidthList()));
    choose(kColCompander, d.pick(OffOnList()));
    choose(kColScrambler, d.pick(OffOnList()));
    if (SelectCell(s, band, kColName, row).kind == EditorKind::NameEdit) {
        std::string name;
        const auto length = static_cast<std::size_t>(d.below(8));
        while (name.size() < length) {
            const char c = static_cast<char>(32 + d.below(95));
            if (NameKey(name, c) == KeyAction::Accept) name += c;
        }
        CommitName(s, band, name);
    }
}

// A row as its cells can hold it after Open: any frequency, a name of up to seven characters
// with Chinese, a number cell and a cell past the name of its own.
inline void HeldRow(Draw& d, std::array<std::string, image::kGridCells>& cells) {
    using namespace image;
    const auto& tones = ToneList(ToneSpelling::Grid);
    cells = {"#" + d.text(3),           d.frequency(),          d.pick(tones),       d.pick(ReceiveModeList()),
             "",                        "",                     "",                  "",
             d.pick(PowerList()),       d.pick(BandwidthList()), d.pick(OffOnList()), d.pick(OffOnList()),
             d.text(7),                 d.chance(2) ? "x" + d.text(5) : ""};
    if (d.chance(70))
        for (const auto& [c, v] : {std::pair{kColTxFreq, d.frequency()}, {kColTxTone, d.pick(tones)},
                                   {kColStartSignal, d.pick(SignallingList())}, {kColEndSignal, d.pick(SignallingList())}})
            cells[static_cast<std::size_t>(c)] = v;
}

enum class Reach { Typed, Encoded, Held };

// From the start-up state: two channels in three are set, typed (in Held half of them as
// HeldRow fills them); then what the reach adds.
inline image::EditorState RandomState(Draw& d, Reach reach = Reach::Typed) {
    using namespace image;
    EditorState s = NewState();
    for (Band band : {Band::Upper, Band::Lower})
        for (int row = 1; row <= kChannels; ++row) {
            if (d.oneIn(3)) continue;
            auto& cells = s.grid(band).cells[static_cast<std::size_t>(row)];
            if (reach != Reach::Held) {
                TypedChannel(d, s, band, row);
                continue;
            }
            if (d.chance(50))
                HeldRow(d, cells);
            else
                TypedChannel(d, s, band, row);
            // A name of one space is saved as an empty cell, with a note: the file cannot tell
            // them apart.
            if (cells[kColName] == " ") cells[kColName] = "  ";
        }
    if (reach == Reach::Typed) return s;
    for (int n = 1; n <= 15; ++n) s.k[static_cast<std::size_t>(n)] = d.hex(hiddenField(n).digits);
    s.dtmf.sypz9 = d.below(3);  // a write sends it beside the block fields
    if (reach == Reach::Encoded) return s;

    for (BandPage* page : {&s.upperBand, &s.lowerBand}) {
        for (const auto& c : BandControls())
            if (c.kind == ControlKind::List) page->list[static_cast<std::size_t>(c.number)] = d.selection(c.items.size());
        page->rxFreq = d.chance(50) ? d.frequency() : d.text(12);
        page->offset = d.text(10);
    }
    for (const auto& c : GeneralControls())
        if (c.kind == ControlKind::List) s.general.list[static_cast<std::size_t>(c.number)] = d.selection(c.items.size());
    s.general.radioFreq = d.text(6);
    s.limits.kaiji1 = "A" + d.text(8);  // a "~" opening its record would be dropped
    s.limits.kaiji2 = d.text(9);
    for (int n = 1; n <= 4; ++n) s.limits.xp[static_cast<std::size_t>(n)] = d.text(10);
    s.limits.xp5 = d.selection(2);
    for (int n = 1; n <= 8; ++n) {
        s.dtmf.sy[static_cast<std::size_t>(n)] = d.text(8);
        s.dtmf.sypz[static_cast<std::size_t>(n)] = n == 1 ? "1" + d.text(7) : d.text(8);
    }
    s.dtmf.sypz9 = d.selection(3);
    s.Col = std::to_string(d.below(13));
    s.Row = std::to_string(d.below(129));
    s.col1 = std::to_string(d.below(13));
    s.row1 = std::to_string(d.below(129));
    return s;
}

inline image::EditorState RandomState(unsigned seed, Reach reach = Reach::Typed) {
    Draw d(seed);
    return RandomState(d, reach);
}

}  // namespace random_state
