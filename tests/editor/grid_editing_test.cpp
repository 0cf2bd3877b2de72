#include <gtest/gtest.h>

#include <algorithm>

#include "image/code_tables.h"
#include "editor/grid_editing.h"

using namespace editor;

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

// Over a channel with both frequencies (row 1), a receive frequency only (2), a transmit
// frequency only (3) and none (4 and on): which cells have an editor, what Delete empties,
// and where Enter, Tab and Shift+Tab go.
TEST(GridEditing, EditorsDeleteAndMovesOverTheCells) {
    Grid grid;
    for (auto [row, column] : {std::pair{1, kColRxFreq}, {1, kColTxFreq}, {2, kColRxFreq}, {3, kColTxFreq}}) {
        grid.at(row, column) = "145.00000";
        SetFrequencyDefaults(grid, row, column);
    }
    grid.at(1, kColName) = grid.at(2, kColName) = "RPT";
    const std::vector<int> withEditor[] = {
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2, 3, 4, 8, 9, 10, 11, 12}, {1, 4, 5, 6, 7}, {1, 4}};
    for (int row = 1; row <= 4; ++row)
        for (int column = 0; column <= kColExtra; ++column) {
            const auto& expected = withEditor[row - 1];
            const bool has = std::find(expected.begin(), expected.end(), column) != expected.end();
            EXPECT_EQ(HasEditor(grid, column, row), has) << column << "," << row;
            EditorState s;
            s.upper = grid;
            EXPECT_EQ(SelectCell(s, Band::Upper, column, row).kind != EditorKind::None, has) << column << "," << row;
        }
    EXPECT_FALSE(HasEditor(grid, kColRxFreq, 0));
    EXPECT_FALSE(HasEditor(grid, kColRxFreq, kChannels + 1));

    // Delete on row 1: a frequency goes with its cells, a name alone, a list cell stays.
    const std::vector<int> emptied[] = {
        {}, {1, 2, 3, 8, 9, 10, 11, 12}, {}, {}, {4, 5, 6, 7}, {}, {}, {}, {}, {}, {}, {}, {12}};
    for (int column = 0; column <= kColName; ++column) {
        Grid g = grid;
        DeleteCell(g, column, 1);
        for (int c = 0; c <= kColExtra; ++c) {
            const auto& gone = emptied[column];
            const bool empty = std::find(gone.begin(), gone.end(), c) != gone.end();
            EXPECT_EQ(g.at(1, c), empty ? "" : grid.at(1, c)) << "Delete on " << column << ", cell " << c;
        }
        EXPECT_EQ(g.cells[2], grid.cells[2]);
    }

    struct Move { int column, row; Step step; CellPlace to; };
    const Move moves[] = {
        {12, 1, Step::Next, {1, 2}},     {4, 2, Step::Next, {8, 2}},      {12, 2, Step::Next, {1, 3}},
        {1, 3, Step::Next, {4, 3}},      {7, 3, Step::Next, {1, 4}},      {4, 4, Step::Next, {1, 5}},
        {4, 128, Step::Next, {4, 128}},  {1, 3, Step::Previous, {12, 2}}, {8, 2, Step::Previous, {4, 2}},
        {1, 5, Step::Previous, {4, 4}},  {1, 1, Step::Previous, {1, 1}},  {5, 3, Step::Down, {5, 4}},
        {2, 128, Step::Down, {2, 128}},
    };
    for (const Move& m : moves)
        EXPECT_EQ(NextCell(grid, m.column, m.row, m.step), m.to)
            << m.column << "," << m.row << " step " << static_cast<int>(m.step);
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

TEST(GridEditing, NameCharactersOfAnyScriptWithinSevenGbkBytes) {
    struct Case { const char* name; const char* character; KeyAction action; };
    const Case cases[] = {
        {"", "中", KeyAction::Accept},         {"中继", "3", KeyAction::Accept},
        {"中继台", "A", KeyAction::Accept},    {"中继台", "一", KeyAction::Cut},  // 6 + 2 bytes
        {"ABCDEFG", "H", KeyAction::Cut},      {"", "\U0001F600", KeyAction::Drop},  // no GBK form
        {"", "\uFFFD", KeyAction::Drop},       {"A", "\uF7FF", KeyAction::Drop},    // a kept byte is never typed
        {"A", ",", KeyAction::Drop},           {"", "~", KeyAction::Drop},
        {"A", "\r", KeyAction::Close},
    };
    for (const Case& c : cases) EXPECT_EQ(NameCharacter(c.name, c.character), c.action) << c.name << " + " << c.character;
    EXPECT_EQ(NameCutLine("中继台"), "信道名称最多7个字节(汉字每字2个字节), 已截为\"中继台\"");
}

// The defaults a new frequency brings are told only where they replace what was set.
TEST(GridEditing, DefaultsThatReplaceSetValuesAreTold) {
    Row r;
    std::string told = "?";
    auto enter = [&](int column, const char* text) {
        told.clear();
        SelectCell(r.state, r.band, column, 5);
        return CommitFrequency(r.state, r.band, text, &told);
    };
    enter(kColRxFreq, "145");
    EXPECT_EQ(told, "");  // an empty channel: nothing was set
    r.cell(kColRxTone) = "OFF";  // the list's spelling of the default
    enter(kColRxFreq, "145.5");
    EXPECT_EQ(told, "");
    r.cell(kColRxTone) = "67.0HZ";
    r.cell(kColPower) = "低";
    r.cell(kColName) = "中继3";
    enter(kColRxFreq, "145.5");  // the same frequency resets nothing
    EXPECT_EQ(told, "");
    enter(kColRxFreq, "145.6");
    EXPECT_EQ(told, "第5信道接收频率改为145.60000, 恢复默认: 接收亚音频 67.0HZ→0FF, 功率 低→高");
    EXPECT_EQ(r.cell(kColName), "中继3");
    enter(kColTxFreq, "150");
    r.cell(kColEndSignal) = "双音1";
    enter(kColTxFreq, "150.1");
    EXPECT_EQ(told, "第5信道发射频率改为150.10000, 恢复默认: 发射结束信令 双音1→关");
}

// A value pasted on one cell goes in as typing it there would, or changes nothing.
TEST(GridEditing, OneValuePastedOnACell) {
    struct Case {
        int column;
        const char* value;
        const char* cell;     // what the cell holds afterwards
        const char* refused;  // how the refusal begins ("" when pasted)
    };
    const Case cases[] = {
        {kColTxFreq, "150.0875", "150.08750", ""},
        {kColTxFreq, "150.126", "150.12750", ""},               // the raster
        {kColTxFreq, "176.1", "145.00000", "发射频率在136~176MHZ"}, // out of range: the old one stays
        {kColTxFreq, "150 MHz", "145.00000", "\"150 MHz\"不是发射频率"},
        {kColTxFreq, "150.087500", "145.00000", "\"150.087500\"不是"},  // more than the editor takes
        {kColRxTone, "88.5HZ", "88.5HZ", ""},
        {kColRxTone, "0FF", "0FF", ""},
        {kColRxTone, "88.5", "67.0HZ", "\"88.5\"不是接收亚音频的选项"},
        {kColPower, "低", "低", ""},
        {kColName, "中继3", "中继3", ""},
        {kColName, "中继台一号", "中继台", ""},  // cut, and told
        {kColName, "JOE'S", "RPT", "信道名称: 字符'''不能用在名称中, 没有粘贴"},
        {kColName, "\U0001F600", "RPT", "信道名称: 字符'\U0001F600'没有GBK编码"},
    };
    for (const Case& c : cases) {
        Grid g;
        for (int column : {kColRxFreq, kColTxFreq}) {
            g.at(2, column) = "145.00000";
            SetFrequencyDefaults(g, 2, column);
        }
        g.at(2, kColRxTone) = "67.0HZ";
        g.at(2, kColTxTone) = "D023N";
        g.at(2, kColName) = "RPT";
        const Grid before = g;
        std::string told;
        const Message m = PasteValue(g, c.column, 2, c.value, &told);
        EXPECT_EQ(m.rfind(c.refused, 0), 0u) << c.value << ": " << m;
        EXPECT_EQ(g.at(2, c.column), c.cell) << c.value;
        if (*c.refused) {
            EXPECT_EQ(g, before) << c.value;
        }
        EXPECT_EQ(!told.empty(), std::string(c.value) == "中继台一号" || std::string(c.value) == "150.0875" ||
                                     std::string(c.value) == "150.126")
            << c.value << ": " << told;
        // Nothing but the cell and, for a frequency, its defaults.
        for (int column = kColRxFreq; column <= kColName; ++column) {
            if (column == c.column || NeededColumn(column) == c.column) continue;
            EXPECT_EQ(g.at(2, column), before.at(2, column)) << c.value << " column " << column;
        }
    }
    // No editor opens on the cell: nothing is pasted.
    Grid g;
    EXPECT_EQ(PasteValue(g, kColName, 1, "A", nullptr), "接收频率为空, 不能粘贴信道名称");
    EXPECT_EQ(PasteValue(g, kColTxTone, 1, "88.5HZ", nullptr), "发射频率为空, 不能粘贴发射亚音频");
    EXPECT_EQ(g, Grid());
}

TEST(GridEditing, TypeAheadMatchesFromTheListsStart) {
    const std::vector<std::string> items = {"OFF", "600", "60", "10", "1", "D023N"};
    struct Case { const char* typed; int index; };
    for (const Case& c : {Case{"6", 1}, Case{"60", 1}, Case{"600", 1}, Case{"1", 3}, Case{"d0", 5}, Case{"x", -1}, Case{"", -1}})
        EXPECT_EQ(TypeAhead(items, c.typed), c.index) << c.typed;
    EXPECT_EQ(TypeAhead(ColumnItems(kColRxTone), "1"), IndexOf(ColumnItems(kColRxTone), "100.0HZ"));
}
