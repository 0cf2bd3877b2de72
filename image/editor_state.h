// What every control of the main window holds, as one value. The controls are the only store
// of the radio image: channel rows as grid cell texts, every other memory range as hex text
// in a hidden block field k1..k15, and two bytes as the selection of a drop-down list.
// A read fills this value, a write encodes from it, a file is a snapshot of it; the windows
// only show it and forward their events to the handlers over it.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace image {

constexpr int kChannels = 128;
constexpr int kGridRows = kChannels + 1;  // row 0: the column headings
constexpr int kGridCells = 14;            // column 0: channel number; 1..12 shown; 13: extra cell

constexpr int kNoSelection = -1;

// Grid columns, as the headings name them.
enum Column : int {
    kColNumber = 0,
    kColRxFreq = 1,
    kColRxTone = 2,
    kColRxMode = 3,
    kColTxFreq = 4,
    kColTxTone = 5,
    kColStartSignal = 6,
    kColEndSignal = 7,
    kColPower = 8,
    kColBandwidth = 9,
    kColCompander = 10,
    kColScrambler = 11,
    kColName = 12,
    kColExtra = 13,
};

// StringGrid1 (upper band) or StringGrid2 (lower band): cells[row][column].
struct Grid {
    std::array<std::array<std::string, kGridCells>, kGridRows> cells;
    std::string& at(int row, int column) { return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]; }
    const std::string& at(int row, int column) const {
        return cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }
    bool operator==(const Grid&) const = default;
};

enum class Band { Upper, Lower };

// A band settings page: left1..left16 or right1..right16 (there is no control 9).
// list[n] is the selected index of drop-down list n; controls 3 and 15 are edits.
struct BandPage {
    std::array<int, 17> list{};
    std::string rxFreq;   // left3 / right3
    std::string offset;   // left15 / right15
    bool operator==(const BandPage&) const = default;
};

// The general settings page: gn1..gn15; gn3 is an edit, the others lists.
struct GeneralPage {
    std::array<int, 16> list{};
    std::string radioFreq;  // gn3
    bool operator==(const GeneralPage&) const = default;
};

// The DTMF page: sy1..sy8 (DTMF codes), sypz1..sypz8 (identity codes), sypz9 (remote state).
struct DtmfPage {
    std::array<std::string, 9> sy;    // [1]..[8]
    std::array<std::string, 9> sypz;  // [1]..[8]
    int sypz9 = 0;
    bool operator==(const DtmfPage&) const = default;
};

// The limits page: kaiji1, kaiji2 (power-on message), xp1..xp4 (band limits), xp5 (switch).
struct LimitsPage {
    std::string kaiji1, kaiji2;
    std::array<std::string, 5> xp;  // [1]..[4]
    int xp5 = 1;
    bool operator==(const LimitsPage&) const = default;
};

struct EditorState {
    Grid upper;  // StringGrid1, page "上段信道"
    Grid lower;  // StringGrid2, page "下段信道"
    BandPage upperBand;  // page "上段设置"
    BandPage lowerBand;  // page "下段设置"
    GeneralPage general;
    DtmfPage dtmf;
    LimitsPage limits;
    std::array<std::string, 16> k;  // hidden block fields k[1]..k[15]
    // Position fields: the cell under edit, as decimal text (Col/Row upper, col1/row1 lower).
    std::string Col, Row, col1, row1;

    // The start-up state of the main window.
    EditorState();

    Grid& grid(Band b) { return b == Band::Upper ? upper : lower; }
    const Grid& grid(Band b) const { return b == Band::Upper ? upper : lower; }
    BandPage& band(Band b) { return b == Band::Upper ? upperBand : lowerBand; }
    const BandPage& band(Band b) const { return b == Band::Upper ? upperBand : lowerBand; }

    bool operator==(const EditorState&) const = default;
};

// The hidden block fields: length in hex digits, window-definition default, and the text set
// at start-up (k1..k11) and by New (k1..k15).
struct HiddenField {
    int number;
    int digits;
    const char* caption;        // the invisible label above the field
    const char* windowDefault;  // before start-up sets it
    const char* newText;        // start-up (k1..k11) and New (all)
};
const HiddenField& hiddenField(int number);  // 1..15

// The grid headings, columns 0..12.
extern const std::array<const char*, 13> kGridHeadings;

// What New does: both grids emptied but for numbers and headings, every control reset,
// k1..k15 set to their New texts.
EditorState NewState();

// The channel names and power-on lines that hold bytes which are no GBK text (kept as
// base/gbk.h describes), each as the operator is told of it after a read:
// "上段信道 第3信道 信道名称: 非GBK字节 FF".
std::vector<std::string> NonGbkFields(const EditorState& state);

}  // namespace image
