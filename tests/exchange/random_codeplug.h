// Codeplugs as an operator makes them: every channel entered through the grid editors.
#pragma once

#include <random>
#include <string>

#include "image/code_tables.h"
#include "image/editor_state.h"
#include "image/grid_editing.h"

namespace exchange_test {

inline std::string RasterFrequency(std::mt19937& rng) {
    const bool uhf = rng() % 2;
    const long low = (uhf ? 400 : 136) * 100000L, high = (uhf ? 490 : 176) * 100000L;
    const long step = rng() % 3 == 0 ? 625 : 250;
    const long units = low + static_cast<long>(rng() % static_cast<unsigned>((high - low) / step + 1)) * step;
    std::string d = std::to_string(units);
    return d.substr(0, d.size() - 5) + "." + d.substr(d.size() - 5);
}

template <class List>
std::string Pick(std::mt19937& rng, const List& list) {
    return list[rng() % list.size()];
}

inline void RandomChannel(image::EditorState& s, image::Band band, int row, std::mt19937& rng) {
    using namespace image;
    const auto& tones = ToneList(ToneSpelling::Grid);
    auto choose = [&](int column, const std::string& item) {
        if (SelectCell(s, band, column, row).kind == EditorKind::List) ChooseItem(s, band, item);
    };
    const bool rx = rng() % 20 != 0;  // a few channels transmit only
    if (rx) {
        SelectCell(s, band, kColRxFreq, row);
        CommitFrequency(s, band, RasterFrequency(rng));
    }
    if (!rx || rng() % 5 != 0) {
        SelectCell(s, band, kColTxFreq, row);
        CommitFrequency(s, band, rng() % 3 == 0 ? s.grid(band).at(row, kColRxFreq) : RasterFrequency(rng));
        if (s.grid(band).at(row, kColTxFreq).empty()) CommitFrequency(s, band, RasterFrequency(rng));
    }
    const std::string rxTone = Pick(rng, tones);
    std::string txTone = Pick(rng, tones);
    if (rng() % 3 == 0) txTone = rxTone;  // TSQL and DTCS happen
    if (rng() % 6 == 0 && rxTone.size() == 5) txTone = rxTone.substr(0, 4) + (rxTone[4] == 'N' ? "I" : "N");
    if (rng() % 4) choose(kColRxTone, rxTone);
    if (rng() % 4) choose(kColTxTone, txTone);
    choose(kColRxMode, Pick(rng, ReceiveModeList()));
    choose(kColStartSignal, Pick(rng, SignallingList()));
    choose(kColEndSignal, Pick(rng, SignallingList()));
    choose(kColPower, Pick(rng, PowerList()));
    choose(kColBandwidth, Pick(rng, BandwidthList()));
    choose(kColCompander, Pick(rng, OffOnList()));
    choose(kColScrambler, Pick(rng, OffOnList()));
    if (SelectCell(s, band, kColName, row).kind == EditorKind::NameEdit) {
        std::string name;
        const std::size_t length = rng() % 8;
        while (name.size() < length) {
            const char c = static_cast<char>(32 + rng() % 95);
            if (NameKey(name, c) == KeyAction::Accept) name += c;
        }
        CommitName(s, band, name);
    }
}

inline image::EditorState RandomCodeplug(unsigned seed) {
    std::mt19937 rng(seed);
    image::EditorState s = image::NewState();
    for (image::Band band : {image::Band::Upper, image::Band::Lower})
        for (int row = 1; row <= image::kChannels; ++row)
            if (rng() % 3 != 0) RandomChannel(s, band, row, rng);
    return s;
}

}  // namespace exchange_test
