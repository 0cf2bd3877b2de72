// Malformed files change nothing; what the format cannot carry is replaced and reported.
#include <gtest/gtest.h>

#include "base/text.h"
#include "codeplug/codeplug.h"
#include "tests/codeplug/helpers.h"

namespace {

using codeplug::FromText;
using codeplug::ToText;
using cptest::Join;
using cptest::Records;
using image::EditorState;

TEST(OpenFaults, EachGivesItsMessageAndChangesNothing) {
    base::LanguageScope english(base::Language::English);
    const std::vector<std::string> good = Records(ToText(codeplug::New(EditorState())).value);
    const auto with = [&](int record, std::string text) {
        std::vector<std::string> r = good;
        r[static_cast<std::size_t>(record - 1)] = std::move(text);
        return Join(r, "\r") + "\r\n";
    };
    std::string badHex = good[260];
    badHex.replace(badHex.find("01,00FF"), 2, "0G");
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {"List index out of bounds (0)", "record 1 "}},
        {Join(std::vector<std::string>(good.begin(), good.end() - 1), "\r"),
         {"List index out of bounds (261)", "record 262 (DTMF) is missing"}},
        {with(200, "71, , , , , , , , , , , , ,"), {"List index out of bounds (13)", "record 200 (Lower channels row 71), field 13"}},
        {with(259, "0,15, ,1,2,3,0,1,2,0,4,2,0,x3,0,"),
         {"'x3' is not a valid integer value", "record 259 (General), field 13 (gn14)"}},
        {with(129, "0,0, ,0,0,0,0,0,1 ,1,0,0,0,10 ,5,"), {"'1 ' is not a valid integer value", "field 8 (left10)"}},
        {with(260, " , , , , , ,99999999999,"), {"'99999999999' is not a valid integer value", "field 6 (xp5)"}},
        {with(262, "1,2 , , , , , , , ,0, , , , , , , , ,"), {"' ' is not a valid integer value", "field 8 (sypz9)"}},
        {with(261, good[260].substr(1)), {"record 261 (hidden block fields), field 0 (k1): 31 digits where 32 belong"}},
        {with(261, badHex), {"field 10 (k11): the character at digit 34 is no hexadecimal digit"}},
        {with(100, "100, , , , , , , , , , , , ,it's,"), {"List index out of bounds (100)", "record 101 "}},
    };
    EditorState current;
    current.lower.at(64, image::kColName) = "KEEP";
    current.dtmf.sypz9 = 1;
    current.k[11] = "00CF8500010980C002625A0002DC6C0000";
    for (const auto& [file, says] : cases) {
        const auto opened = FromText(file, current);
        EXPECT_FALSE(opened.ok());
        for (const auto& part : says) EXPECT_NE(opened.error.find(part), std::string::npos) << opened.error;
        EXPECT_EQ(opened.value, current) << opened.error;
    }
}

TEST(SaveFaults, WhatTheFormatCannotCarryBecomesASpaceAndIsReported) {
    base::LanguageScope english(base::Language::English);
    EditorState s = codeplug::New(EditorState());
    s.upper.at(3, image::kColName) = "A,B'C\"D";
    s.upper.at(4, image::kColNumber) = "~4";
    s.upper.at(5, image::kColName) = " ";
    s.lower.at(9, image::kColName) = "ok\r\nno";
    s.limits.kaiji1 = "~HI";
    s.limits.kaiji2 = "~HI";  // not the first field of its record: kept
    s.general.radioFreq = "9\xF0\x9F\x98\x80" "4";
    s.dtmf.sy[2] = "한1";
    s.general.list[13] = 4;  // past "50MS".."200MS"
    const auto saved = ToText(s);
    ASSERT_TRUE(saved.ok()) << saved.error;
    const std::vector<std::string> expected = {
        "record 3 (Upper channels row 3), field 12 (Name): ',', ''' and '\"' written as a space",
        "record 4 (Upper channels row 4), field 0 (Channel): '~' opening the record written as a space",
        "record 5 (Upper channels row 5), field 12 (Name): a cell holding one space is written as an empty cell",
        "record 138 (Lower channels row 9), field 12 (Name): a line break written as a space",
        "record 259 (General), field 2 (gn3): '\xF0\x9F\x98\x80' (no GBK form) written as a space",
        "record 259 (General), field 12 (gn13): entry 4 is not in the list, written as -1 (no selection)",
        "record 260 (power-on message and limits), field 0 (kaiji1): '~' opening the record written as a space",
        "record 262 (DTMF), field 10 (sy2): '한' (no GBK form) written as a space",
    };
    EXPECT_EQ(saved.notes, expected);

    const auto opened = FromText(saved.value);
    ASSERT_TRUE(opened.ok()) << opened.error;
    const EditorState& o = opened.value;
    EXPECT_EQ(o.upper.at(3, image::kColName), "A B C D");
    EXPECT_EQ(o.upper.at(4, image::kColNumber), " 4");
    EXPECT_EQ(o.upper.at(5, image::kColName), "");
    EXPECT_EQ(o.lower.at(9, image::kColName), "ok  no");
    EXPECT_EQ(o.lower.at(10, image::kColNumber), "10");  // the line break split no record
    EXPECT_EQ(o.limits.kaiji1, " HI");
    EXPECT_EQ(o.limits.kaiji2, "~HI");
    EXPECT_EQ(o.general.radioFreq, "9 4");
    EXPECT_EQ(o.dtmf.sy[2], " 1");
    EXPECT_EQ(o.general.list[13], -1);
    const auto again = ToText(o);  // what was written is what comes back
    EXPECT_TRUE(again.notes.empty());
    EXPECT_EQ(again.value, saved.value);

    s = EditorState();
    s.k[5].pop_back();
    EXPECT_EQ(ToText(s).error.substr(0, 9), "k5 holds ");
    s = EditorState();
    s.k[13] = "00ffffffffff00FFFFFFFFFF";
    EXPECT_FALSE(ToText(s).ok());
}

// In the default language the reports are Chinese; the standard error texts stay as they are.
TEST(Faults, TheDefaultWordsAreChinese) {
    EditorState s = codeplug::New(EditorState());
    s.upper.at(3, image::kColName) = "A,B";
    s.general.list[13] = 4;
    const auto saved = ToText(s);
    EXPECT_EQ(saved.notes, (std::vector<std::string>{"第3条记录(上段信道 第3行)第12个字段(信道名称): ','写为空格",
                                                       "第259条记录(综合设置)第12个字段(gn13): 第4项不在列表中, 写为-1(未选择)"}));
    std::vector<std::string> r = Records(saved.value);
    r[258] = "0,15, ,1,2,3,0,1,2,0,4,2,0,x3,0,";
    EXPECT_EQ(FromText(Join(r, "\r") + "\r\n").error,
              "'x3' is not a valid integer value: 第259条记录(综合设置)第13个字段(gn14)");
    r = Records(saved.value);
    r.pop_back();
    EXPECT_EQ(FromText(Join(r, "\r") + "\r\n").error,
              "List index out of bounds (261): 文件只有261条记录, 缺少第262条记录(双音频组)");
    s = EditorState();
    s.k[5].pop_back();
    EXPECT_EQ(ToText(s).error.substr(0, 12), "k5的内容\"");
}

}  // namespace
