#include <gtest/gtest.h>

#include "image/grid_editing.h"

using namespace image;

namespace {

struct Row {
    EditorState state;
    Band band = Band::Upper;
    std::string& cell(int c) { return state.grid(band).at(5, c); }
    Message enter(int column, const char* text) {
        SelectCell(state, band, column, 5);
        return CommitFrequency(state, band, text);
    }
};

}  // namespace

TEST(GridEditing, ReceiveFrequencyBringsItsDefaults) {
    Row r;
    EXPECT_EQ(r.enter(kColRxFreq, "145"), "");
    EXPECT_EQ(r.cell(kColRxFreq), "145.00000");
    const char* expected[] = {"0FF", "关", "", "", "", "", "高", "宽带", "关", "关", ""};
    for (int c = kColRxTone; c <= kColName; ++c) EXPECT_EQ(r.cell(c), expected[c - 2]) << c;

    r.cell(kColRxTone) = "67.0HZ";
    EXPECT_EQ(r.enter(kColRxFreq, "145.0"), "");  // the same frequency changes nothing
    EXPECT_EQ(r.cell(kColRxTone), "67.0HZ");
    EXPECT_EQ(r.enter(kColRxFreq, "145.12"), "");
    EXPECT_EQ(r.cell(kColRxFreq), "145.12000");
    EXPECT_EQ(r.cell(kColRxTone), "0FF");

    EXPECT_EQ(r.enter(kColTxFreq, "438.0125"), "");
    EXPECT_EQ(r.cell(kColTxFreq), "438.01250");
    EXPECT_EQ(r.cell(kColTxTone), "0FF");
    EXPECT_EQ(r.cell(kColStartSignal), "关");
    EXPECT_EQ(r.cell(kColRxFreq), "145.12000");  // neither frequency is derived from the other
}

TEST(GridEditing, RasterAndRanges) {
    Row r;
    struct Case { const char* typed; const char* stored; };
    for (const Case& c : {Case{"146.00625", "146.00625"}, Case{"146.001", "146.00250"}, Case{"145.126", "145.12750"},
                          Case{"175.99999", "176.00000"}, Case{"490", "490.00000"}, Case{"136", "136.00000"},
                          Case{"0145", "145.00000"}}) {
        EXPECT_EQ(r.enter(kColRxFreq, c.typed), "") << c.typed;
        EXPECT_EQ(r.cell(kColRxFreq), c.stored) << c.typed;
    }
    r.cell(kColName) = "NAME";
    r.enter(kColTxFreq, "440");
    for (const char* bad : {"176.1", "399.99999", "1", ".", "1.2.3"}) {
        r.enter(kColRxFreq, "145");
        r.cell(kColName) = "NAME";
        EXPECT_EQ(r.enter(kColRxFreq, bad), "接收频率在136~176MHZ 400~490MHZ ") << bad;
        for (int c : {1, 2, 3, 8, 9, 10, 11, 12}) EXPECT_EQ(r.cell(c), "") << bad << " column " << c;
        EXPECT_EQ(r.cell(kColTxFreq), "440.00000");  // the transmit cells stay
        EXPECT_EQ(r.cell(kColTxTone), "0FF");
    }
    r.band = Band::Lower;
    EXPECT_EQ(r.enter(kColTxFreq, "500"), "发射频率在136~176MHZ 400~490MHZ");  // no extra blank below
    r.enter(kColTxFreq, "440");
    EXPECT_EQ(r.enter(kColTxFreq, ""), "");
    for (int c : {4, 5, 6, 7}) EXPECT_EQ(r.cell(c), "");
}

TEST(GridEditing, WhichEditorShows) {
    EditorState s;
    EXPECT_EQ(SelectCell(s, Band::Upper, kColRxTone, 3).kind, EditorKind::None);
    EXPECT_EQ(s.Col, "2");
    EXPECT_EQ(s.Row, "3");
    EXPECT_EQ(SelectCell(s, Band::Upper, kColName, 3).kind, EditorKind::None);
    EXPECT_EQ(SelectCell(s, Band::Upper, kColRxFreq, 3).kind, EditorKind::FrequencyEdit);
    CommitFrequency(s, Band::Upper, "145");
    auto e = SelectCell(s, Band::Upper, kColRxTone, 3);
    EXPECT_EQ(e.kind, EditorKind::List);
    EXPECT_EQ(e.editor, 2);
    EXPECT_EQ(e.items.size(), 206u);
    EXPECT_EQ(e.selected, 0);  // the cell's "0FF" is the list's "OFF"
    EXPECT_EQ(SelectCell(s, Band::Upper, kColTxTone, 3).kind, EditorKind::None);  // no transmit frequency
    e = SelectCell(s, Band::Upper, kColPower, 3);
    EXPECT_EQ(e.editor, 9);
    EXPECT_EQ(e.selected, 1);  // "高"
    ChooseItem(s, Band::Upper, "低");
    EXPECT_EQ(s.upper.at(3, kColPower), "低");
    EXPECT_EQ(SelectCell(s, Band::Upper, kColName, 3).kind, EditorKind::NameEdit);
    CommitName(s, Band::Upper, "CALL");
    EXPECT_EQ(s.upper.at(3, kColName), "CALL");
    EXPECT_EQ(s.lower.at(3, kColName), "");
    // The lower grid has its own position fields.
    SelectCell(s, Band::Lower, kColTxFreq, 9);
    EXPECT_EQ(s.col1, "4");
    EXPECT_EQ(s.Row, "3");
}

TEST(GridEditing, KeyFilters) {
    EXPECT_EQ(FrequencyKey("145.12500", '1'), KeyAction::Drop);
    EXPECT_EQ(FrequencyKey("145.12500", 8), KeyAction::Accept);
    EXPECT_EQ(FrequencyKey("145.12500", 13), KeyAction::Close);
    EXPECT_EQ(FrequencyKey("14", '.'), KeyAction::Accept);
    EXPECT_EQ(FrequencyKey("14", 'a'), KeyAction::Drop);
    EXPECT_EQ(NameKey("ABCDEFG", 'H'), KeyAction::Drop);
    EXPECT_EQ(NameKey("AB", ' '), KeyAction::Accept);
    EXPECT_EQ(NameKey("AB", ','), KeyAction::Drop);
    EXPECT_EQ(NameKey("AB", '"'), KeyAction::Drop);
    EXPECT_EQ(NameKey("", '~'), KeyAction::Drop);
    EXPECT_EQ(NameKey("A", '~'), KeyAction::Accept);
    EXPECT_EQ(NameKey("A", 127), KeyAction::Drop);
}
