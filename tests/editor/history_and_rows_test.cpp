// The undo history over whole editor states, and the row operations of a channel grid.
#include <functional>

#include <gtest/gtest.h>

#include "base/text.h"
#include "codeplug/codeplug.h"
#include "editor/grid_editing.h"
#include "editor/history.h"
#include "editor/row_operations.h"

using namespace editor;

using namespace image;

namespace {

// A channel typed as the operator would: the receive frequency, then the others.
void channel(EditorState& s, Band band, int row, const char* rx, const char* tx = "", const char* name = "") {
    SelectCell(s, band, kColRxFreq, row);
    EXPECT_EQ(CommitFrequency(s, band, rx), "");
    if (*tx) {
        SelectCell(s, band, kColTxFreq, row);
        EXPECT_EQ(CommitFrequency(s, band, tx), "");
    }
    if (*name) {
        SelectCell(s, band, kColName, row);
        CommitName(s, band, name);
    }
}

std::vector<std::string> rxColumn(const Grid& g, int from, int to) {
    std::vector<std::string> out;
    for (int r = from; r <= to; ++r) out.push_back(g.at(r, kColRxFreq));
    return out;
}

}  // namespace

TEST(History, EachContentChangeIsOneStepAndUndoGivesTheStateBeforeIt) {
    EditorState s;
    History h(s);
    SelectCell(s, Band::Upper, kColRxFreq, 5);
    EXPECT_FALSE(h.record(s)) << "a selection alone is no step";
    const EditorState beforeCell = s;
    CommitFrequency(s, Band::Upper, "145");
    EXPECT_TRUE(h.record(s));
    SelectCell(s, Band::Lower, kColName, 1);
    h.record(s);
    const EditorState beforeSetting = s;
    s.general.list[3] = 4;
    s.k[5] = "FFFF";
    EXPECT_TRUE(h.record(s));
    const EditorState last = s;

    s = h.undo(s);
    EXPECT_EQ(s, beforeSetting);
    s = h.undo(s);
    EXPECT_EQ(s, beforeCell) << "the positions are those from just before the step";
    EXPECT_FALSE(h.canUndo());
    EXPECT_EQ(h.undo(s), s);
    s = h.redo(s);
    s = h.redo(s);
    EXPECT_EQ(s, last);
    EXPECT_FALSE(h.canRedo());

    // A new step after an undo drops what could be redone.
    s = h.undo(s);
    s.dtmf.sy[1] = "123";
    h.record(s);
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(h.undoSteps(), 2u);
}

TEST(History, KeysIntoOneEditMergeAndTheDepthIsKept) {
    EditorState s;
    History h(s);
    const EditorState start = s;
    for (const char* typed : {"1", "12", "123"}) {
        s.dtmf.sy[2] = typed;
        h.record(s, "sy2");
    }
    s.dtmf.sy[3] = "9";
    h.record(s, "sy3");
    EXPECT_EQ(h.undoSteps(), 2u);
    s = h.undo(s);
    s = h.undo(s);
    EXPECT_EQ(s, start);

    History deep(s);
    for (int i = 0; i < 150; ++i) {
        s.limits.kaiji1 = std::to_string(i);
        deep.record(s);
    }
    EXPECT_EQ(deep.undoSteps(), 150u);
    History shallow(s, 100);
    for (int i = 0; i < 150; ++i) {
        s.limits.kaiji2 = std::to_string(i);
        shallow.record(s);
    }
    EXPECT_EQ(shallow.undoSteps(), 100u);
    for (int i = 0; i < 100; ++i) s = shallow.undo(s);
    EXPECT_EQ(s.limits.kaiji2, "49");
}

TEST(GridRules, FrequencyCellIsTheEditorsRule) {
    EXPECT_EQ(FrequencyCell("145"), "145.00000");
    EXPECT_EQ(FrequencyCell("146.001"), "146.00250");
    EXPECT_EQ(FrequencyCell("175.99999"), "176.00000");
    EXPECT_EQ(FrequencyCell("176.1"), std::nullopt);
    EXPECT_EQ(FrequencyCell("1.2.3"), std::nullopt);
    EXPECT_EQ(FrequencyUnits("12.5"), 1250000);
    EXPECT_EQ(FrequencyUnits("0.00625"), 625);
    EXPECT_EQ(FrequencyUnits("0.000001"), std::nullopt);
    EXPECT_EQ(FrequencyUnits("."), std::nullopt);
    EXPECT_EQ(FrequencyUnits("1a"), std::nullopt);
}

TEST(RowOperations, CopyAndPasteBetweenTheBandsAndTheEdges) {
    EditorState s;
    channel(s, Band::Upper, 1, "145.5", "145.0", "RPT1");
    SelectCell(s, Band::Upper, kColRxTone, 1);
    ChooseItem(s, Band::Upper, "88.5HZ");
    channel(s, Band::Upper, 2, "438.0125");
    const std::string text = CopyRows(s.upper, {1, 2, 3});
    EXPECT_EQ(text,
              "145.50000\t88.5HZ\t关\t145.00000\t0FF\t关\t关\t高\t宽带\t关\t关\tRPT1\n"
              "438.01250\t0FF\t关\t\t\t\t\t高\t宽带\t关\t关\t\n"
              "\t\t\t\t\t\t\t\t\t\t\t\n");

    // Into the other band at its last rows; the empty third line clears channel 128.
    s.lower.at(128, kColName) = "X";
    std::vector<int> pasted;
    EXPECT_EQ(PasteRows(s.lower, 126, text, &pasted), "");
    EXPECT_EQ(pasted, (std::vector<int>{126, 127, 128}));
    for (int c = 1; c <= 12; ++c) {
        EXPECT_EQ(s.lower.at(126, c), s.upper.at(1, c)) << c;
        EXPECT_EQ(s.lower.at(127, c), s.upper.at(2, c)) << c;
    }
    EXPECT_FALSE(RowSet(s.lower, 128));
    EXPECT_EQ(s.lower.at(126, kColNumber), "126");

    // A line too many for the grid: nothing is pasted.
    const Grid before = s.lower;
    EXPECT_EQ(PasteRows(s.lower, 127, text), "以下行不能粘贴, 没有粘贴任何信道:\n第3行: 超出第128信道");
    EXPECT_EQ(s.lower, before);
}

// A line of twelve cells, the ones not given empty.
std::string line(std::initializer_list<const char*> cells) {
    std::string out;
    std::size_t n = 0;
    for (const char* c : cells) out += (n++ ? "\t" : "") + std::string(c);
    for (; n < 12; ++n) out += "\t";
    return out + "\n";
}

TEST(RowOperations, PastedCellsPassTheEditorsRules) {
    Grid g = EditorState().upper;
    // A spreadsheet's lines: CRLF, a channel-number column, frequencies alone, off-raster.
    EXPECT_EQ(PasteRows(g, 1, "7\t145.001\t\t\t\t\t\t\t\t\t\t\t\r\n146\t\t\t147\t\t\t\t\t\t\t\t\r\n"), "");
    EXPECT_EQ(g.at(1, kColRxFreq), "145.00250");
    EXPECT_EQ(g.at(1, kColPower), "高");
    EXPECT_EQ(g.at(2, kColTxFreq), "147.00000");
    EXPECT_EQ(g.at(2, kColTxTone), "0FF");

    const Grid before = g;
    const std::string bad = line({"145", "", "", "", "", "", "", "", "", "", "", "JOE'S"}) +   // 1: a quote
                            line({"176.1"}) +                                                 // 2: out of range
                            line({"145", "77.7"}) +                                           // 3: no such tone
                            line({"", "88.5HZ"}) +                                            // 4: no frequency
                            line({"145", "", "", "", "", "", "", "", "", "", "", "中继3"}) +  // 5: good
                            "a\tb\tc\td\te\tf\tg\th\ti\tj\tk\tl\tm\n" +                       // 6: 13, no number
                            "145\t\t\t147\n" +                                                // 7: four cells
                            line({"145", "", "", "", "", "", "", "", "", "", "", "A\U0001F600"});  // 8: no GBK
    const Message m = PasteRows(g, 1, bad);
    EXPECT_EQ(g, before);
    for (const char* part : {"第1行: 信道名称 'JOE'S': 字符'''不能用在名称中", "第2行: 接收频率 '176.1'",
                             "第3行: 接收亚音频 '77.7'", "第4行: 接收亚音频 '88.5HZ' (接收频率为空)", "第6行: 多于12列",
                             "第7行: 少于12列", "第8行: 信道名称 'A\U0001F600': 字符'\U0001F600'没有GBK编码"})
        EXPECT_NE(m.find(part), std::string::npos) << part << "\n" << m;
    EXPECT_EQ(m.find("第5行"), std::string::npos) << m;
    EXPECT_EQ(PasteRows(g, 1, ""), "剪贴板中没有信道");
}

// Chinese names go out with the rows and come back; a name too long is cut and told.
TEST(RowOperations, ChineseNamesBothWaysAndLongNamesCut) {
    EditorState s;
    channel(s, Band::Upper, 1, "145.5", "", "工地1");
    channel(s, Band::Upper, 2, "438.5", "430", "中继3");
    const std::string copied = CopyRows(s.upper, {1, 2});
    std::string told;
    EXPECT_EQ(PasteRows(s.lower, 10, copied, nullptr, &told), "");
    EXPECT_EQ(told, "");
    for (int c = 1; c <= 12; ++c) {
        EXPECT_EQ(s.lower.at(10, c), s.upper.at(1, c)) << c;
        EXPECT_EQ(s.lower.at(11, c), s.upper.at(2, c)) << c;
    }
    const std::string longNames = line({"145", "", "", "", "", "", "", "", "", "", "", "中继台一号"}) +
                                  line({"145", "", "", "", "", "", "", "", "", "", "", "ABCDEFGH"});
    EXPECT_EQ(PasteRows(s.lower, 20, longNames, nullptr, &told), "");
    EXPECT_EQ(s.lower.at(20, kColName), "中继台");
    EXPECT_EQ(s.lower.at(21, kColName), "ABCDEFG");
    EXPECT_EQ(told, "信道名称最多7个字节(汉字每字2个字节), 已截断: 第20信道\"中继台\", 第21信道\"ABCDEFG\"");
}

// Ctrl+V: whole rows replace rows, one value goes into the one cell selected, anything else
// changes nothing and says why.
TEST(RowOperations, WhatAPasteReplacesDependsOnTheClipboard) {
    struct Case {
        std::string text;
        int column;             // the single cell selected; 0: more is selected
        const char* told;       // how the status line begins
        std::vector<int> rows;  // rows replaced
        const char* rx;         // channel 3's receive frequency afterwards
        const char* tx;         // its transmit frequency
    };
    const Case cases[] = {
        {"150.0875", kColTxFreq, "第3信道发射频率改为150.08750", {}, "145.00000", "150.08750"},
        {"150.0875\r\n", kColTxFreq, "第3信道发射频率改为150.08750", {}, "145.00000", "150.08750"},
        {"150.0875", 0, "剪贴板中是一个值: 请只选中一个单元格再粘贴", {}, "145.00000", "145.00000"},
        {line({"146"}) + line({"147"}), kColTxFreq, "", {3, 4}, "146.00000", ""},
        {"146\t\t\t147\n", kColTxFreq, "剪贴板中不是整行信道(每行12列, 以Tab分隔), 也不是一个值: 第1行有4列", {},
         "145.00000", "145.00000"},
        {"146\n147\n", kColRxFreq, "剪贴板中不是整行信道", {}, "145.00000", "145.00000"},
        {" \r\n", kColRxFreq, "剪贴板是空的", {}, "145.00000", "145.00000"},
        {"abc", kColRxFreq, "\"abc\"不是接收频率", {}, "145.00000", "145.00000"},
    };
    for (const Case& c : cases) {
        Grid g;
        for (int column : {kColRxFreq, kColTxFreq}) {
            g.at(3, column) = "145.00000";
            SetFrequencyDefaults(g, 3, column);
        }
        g.at(3, kColTxTone) = "D023N";
        const Pasted p = Paste(g, 3, c.column, 3, c.text);
        EXPECT_EQ(p.refused, "") << c.text;
        EXPECT_EQ(p.told.rfind(c.told, 0), 0u) << c.text << ": " << p.told;
        EXPECT_EQ(p.rows, c.rows) << c.text;
        EXPECT_EQ(g.at(3, kColRxFreq), c.rx) << c.text;
        EXPECT_EQ(g.at(3, kColTxFreq), c.tx) << c.text;
        EXPECT_EQ(p.changed, std::string(c.rx) != "145.00000" || std::string(c.tx) != "145.00000") << c.text;
    }
}

TEST(RowOperations, InsertDeleteAndMoveAtTheEdges) {
    EditorState s;
    for (int r : {1, 2, 127, 128}) channel(s, Band::Lower, r, std::to_string(140 + r % 10).c_str());
    Grid g = s.lower;
    InsertRow(g, 1);
    EXPECT_EQ(rxColumn(g, 1, 3), (std::vector<std::string>{"", "141.00000", "142.00000"}));
    EXPECT_EQ(g.at(128, kColRxFreq), "147.00000") << "channel 128 dropped out";
    EXPECT_EQ(g.at(1, kColNumber), "1");

    g = s.lower;
    InsertRow(g, 128);
    EXPECT_FALSE(RowSet(g, 128));
    EXPECT_EQ(g.at(127, kColRxFreq), "147.00000");

    g = s.lower;
    DeleteRows(g, {1, 128});
    EXPECT_EQ(g.at(1, kColRxFreq), "142.00000");
    EXPECT_EQ(g.at(126, kColRxFreq), "147.00000");
    EXPECT_FALSE(RowSet(g, 127));
    EXPECT_FALSE(RowSet(g, 128));
    EXPECT_EQ(g.at(128, kColNumber), "128");

    g = s.lower;
    EXPECT_EQ(MoveRows(g, {1, 2}, -1), (std::vector<int>{1, 2}));
    EXPECT_EQ(g, s.lower) << "row 1 cannot move up";
    EXPECT_EQ(MoveRows(g, {127, 128}, 1), (std::vector<int>{127, 128}));
    EXPECT_EQ(g, s.lower);
    EXPECT_EQ(MoveRows(g, {1, 2}, 1), (std::vector<int>{2, 3}));
    EXPECT_EQ(rxColumn(g, 1, 3), (std::vector<std::string>{"", "141.00000", "142.00000"}));
    EXPECT_EQ(MoveRows(g, {127, 128}, -1), (std::vector<int>{126, 127}));
    EXPECT_EQ(rxColumn(g, 126, 128), (std::vector<std::string>{"147.00000", "148.00000", ""}));
    for (int r = 1; r <= kChannels; ++r) EXPECT_EQ(g.at(r, kColNumber), std::to_string(r));
}

TEST(RowOperations, SortAndFill) {
    EditorState s;
    channel(s, Band::Upper, 1, "438.5");
    channel(s, Band::Upper, 3, "145", "", "B");
    s.upper.at(4, kColTxFreq) = "150.00000";  // a transmit frequency alone: no sort key
    channel(s, Band::Upper, 128, "145", "", "A");
    Grid g = s.upper;
    SortByFrequency(g);
    EXPECT_EQ(rxColumn(g, 1, 3), (std::vector<std::string>{"145.00000", "145.00000", "438.50000"}));
    EXPECT_EQ(g.at(1, kColName), "B") << "equal frequencies keep their order";
    EXPECT_EQ(g.at(2, kColName), "A");
    EXPECT_EQ(g.at(5, kColTxFreq), "150.00000") << "the others follow in their order";

    channel(s, Band::Upper, 2, "145", "145.6");
    g = s.upper;
    EXPECT_EQ(FillFrequencies(g, {1, 2, 127}, "146", "0.0125"), "");
    EXPECT_EQ(g.at(1, kColRxFreq), "146.00000");
    EXPECT_EQ(g.at(2, kColRxFreq), "146.01250");
    EXPECT_EQ(g.at(2, kColTxFreq), "146.61250") << "the offset stays";
    EXPECT_EQ(g.at(127, kColRxFreq), "146.02500");
    EXPECT_EQ(g.at(127, kColPower), "高") << "an empty channel gets the defaults";

    g = s.upper;
    EXPECT_EQ(FillFrequencies(g, {1}, "145.001", "0"), "");
    EXPECT_EQ(g.at(1, kColRxFreq), "145.00250");
    const Grid before = s.upper;
    g = before;
    const Message m = FillFrequencies(g, {126, 127, 128}, "175.99", "0.01");
    EXPECT_EQ(g, before);
    EXPECT_NE(m.find("第128信道: 176.01000"), std::string::npos) << m;
    EXPECT_EQ(m.find("第127信道"), std::string::npos) << m;
    EXPECT_EQ(FillFrequencies(g, {1}, "abc", "1"), "起始频率或步进不是频率");
}

// Messages made of pieces come out whole in the chosen language, their numbers in place;
// Chinese, the default, is as it always was.
TEST(Messages, ComposedInTheChosenLanguage) {
    struct Case {
        std::function<std::string()> make;
        const char* chinese;
        const char* english;
    };
    const std::vector<Case> cases = {
        {[] { return codeplug::Where(259, 12); }, "第259条记录(综合设置)第12个字段(gn13)", "record 259 (General), field 12 (gn13)"},
        {[] { return codeplug::FromText("").error; },
         "List index out of bounds (0): 文件只有0条记录, 缺少第1条记录(上段信道 第1行)",
         "List index out of bounds (0): the file has 0 records; record 1 (Upper channels row 1) is missing"},
        {[] {
             Grid g;
             return Paste(g, 1, 0, 1, "a\tb").told;
         },
         "剪贴板中不是整行信道(每行12列, 以Tab分隔), 也不是一个值: 第1行有2列, 没有粘贴",
         "The clipboard holds neither whole channel rows (12 columns each, split by Tab) nor one value: row 1 has 2 "
         "columns; nothing pasted"},
        {[] {
             Grid g;
             return PasteValue(g, kColRxTone, 4, "x", nullptr);
         },
         "接收频率为空, 不能粘贴接收亚音频", "RX freq is empty; cannot paste RX tone"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.make(), c.chinese);
        base::LanguageScope english(base::Language::English);
        EXPECT_EQ(c.make(), c.english);
    }
}
