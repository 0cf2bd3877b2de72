// Malformed files change nothing; what the format cannot carry is replaced and reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "tests/codeplug/helpers.h"

namespace {

using codeplug::FromText;
using codeplug::ToText;
using cptest::Join;
using cptest::Records;
using image::EditorState;

// A state that differs from New and from start-up everywhere a file could touch.
EditorState Current() {
    EditorState s;
    s.upper.at(1, image::kColRxFreq) = "438.01250";
    s.lower.at(64, image::kColName) = "KEEP";
    s.upperBand.list[16] = 2;
    s.general.radioFreq = "94.5";
    s.limits.kaiji1 = "HELLO";
    s.dtmf.sypz9 = 1;
    s.k[11] = "00CF8500010980C002625A0002DC6C0000";
    return s;
}

std::string FileWith(int record, const std::string& text) {
    std::vector<std::string> r = Records(ToText(codeplug::New(EditorState())).bytes);
    r[static_cast<std::size_t>(record - 1)] = text;
    return Join(r, "\r") + "\r\n";
}

TEST(OpenFaults, EachGivesItsMessageAndChangesNothing) {
    const std::string good = ToText(codeplug::New(EditorState())).bytes;
    const std::vector<std::string> r = Records(good);
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::string> says;  // every part must appear in the message
    };
    const std::vector<Case> cases = {
        {"empty file", "", {"List index out of bounds (0)", "record 1 "}},
        {"261 records", Join(std::vector<std::string>(r.begin(), r.end() - 1), "\r") + "\r\n",
         {"List index out of bounds (261)", "record 262 (identity codes and DTMF) is missing"}},
        {"channel row short of its extra cell", FileWith(200, "71, , , , , , , , , , , , ,"),
         {"List index out of bounds (13)", "record 200 (StringGrid2 row 71), field 13"}},
        {"general record short", FileWith(259, "0,15, ,1,2,3,0,1,2,0,4,2,0,3,"),
         {"List index out of bounds (14)", "field 14 (gn15)"}},
        {"index not an integer", FileWith(259, "0,15, ,1,2,3,0,1,2,0,4,2,0,x3,0,"),
         {"'x3' is not a valid integer value", "record 259 (general settings), field 13 (gn14)"}},
        {"index with a trailing space", FileWith(129, "0,0, ,0,0,0,0,0,1 ,1,0,0,0,10 ,5,"),
         {"'1 ' is not a valid integer value", "field 8 (left10)"}},
        {"index beyond int", FileWith(260, " , , , , , ,99999999999,"),
         {"'99999999999' is not a valid integer value", "field 6 (xp5)"}},
        {"a comma in a text moves the integers", FileWith(262, "1,2 , , , , , , , ,0, , , , , , , , ,"),
         {"is not a valid integer value", "field 8 (sypz9)"}},
        {"block too short", FileWith(261, std::string(Records(good)[260]).replace(0, 1, "")),
         {"record 261 (hidden block fields), field 0 (k1)", "31 digits where 32 belong"}},
        {"block with a non-hex digit",
         FileWith(261, std::string(Records(good)[260]).replace(Records(good)[260].find("01,00FF"), 2, "0G")),
         {"field 10 (k11)", "digit 34 is no hexadecimal digit"}},
        {"unmatched quote swallows the rest", FileWith(100, "100, , , , , , , , , , , , ,it's,"),
         {"List index out of bounds (100)", "record 101 "}},
    };
    const EditorState current = Current();
    for (const Case& c : cases) {
        const auto opened = FromText(c.file, current);
        EXPECT_FALSE(opened.ok()) << c.what;
        for (const auto& part : c.says)
            EXPECT_NE(opened.error.find(part), std::string::npos) << c.what << ": " << opened.error;
        EXPECT_EQ(opened.state, current) << c.what;
    }
}

TEST(SaveFaults, WhatTheFormatCannotCarryBecomesASpaceAndIsReported) {
    EditorState s = codeplug::New(EditorState());
    s.upper.at(3, image::kColName) = "A,B'C\"D";
    s.upper.at(4, image::kColNumber) = "~4";
    s.upper.at(5, image::kColName) = " ";
    s.lower.at(9, image::kColName) = "ok\r\nno";
    s.limits.kaiji1 = "~HI";
    s.limits.kaiji2 = "~HI";       // not the first field of its record: kept
    s.general.radioFreq = "9\xF0\x9F\x98\x80" "4";  // an emoji has no GBK form
    s.dtmf.sy[2] = "한1";
    s.general.list[13] = 4;        // past "50MS".."200MS"

    const auto saved = ToText(s);
    ASSERT_TRUE(saved.ok()) << saved.error;
    auto mentions = [&](const std::string& where, const std::string& what) {
        for (const auto& c : saved.changed)
            if (c.find(where) != std::string::npos && c.find(what) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(mentions("record 3 (StringGrid1 row 3), field 12 (信道名称)", "',', ''' and '\"' written as a space"));
    EXPECT_TRUE(mentions("record 4 (StringGrid1 row 4), field 0", "'~' opening the record"));
    EXPECT_TRUE(mentions("record 5 (StringGrid1 row 5), field 12", "one space is written as an empty cell"));
    EXPECT_TRUE(mentions("record 138 (StringGrid2 row 9), field 12", "a line break"));
    EXPECT_TRUE(mentions("record 260 (power-on message and band limits), field 0 (kaiji1)", "'~'"));
    EXPECT_TRUE(mentions("field 2 (gn3)", "no GBK form"));
    EXPECT_TRUE(mentions("field 10 (sy2)", "'한' (no GBK form)"));
    EXPECT_TRUE(mentions("field 12 (gn13)", "entry 4 is not in the list"));
    EXPECT_EQ(saved.changed.size(), 8u);

    const auto opened = FromText(saved.bytes);
    ASSERT_TRUE(opened.ok()) << opened.error;
    const EditorState& o = opened.state;
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
    // What was written is what comes back: a second save changes nothing.
    const auto again = ToText(o);
    EXPECT_TRUE(again.changed.empty());
    EXPECT_EQ(again.bytes, saved.bytes);
}

TEST(SaveFaults, ABrokenBlockFieldIsNotWritten) {
    EditorState s;
    s.k[5] = s.k[5].substr(1);
    auto saved = ToText(s);
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.error.find("k5"), std::string::npos) << saved.error;
    EXPECT_TRUE(saved.bytes.empty());
    s = EditorState();
    s.k[13] = "00ffffffffff00FFFFFFFFFF";
    EXPECT_FALSE(ToText(s).ok());
}

}  // namespace
