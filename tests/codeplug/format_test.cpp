// The bytes Save writes, how Open reads files written by any program, and New.
#include <gtest/gtest.h>

#include "codeplug/codeplug.h"
#include "tests/codeplug/helpers.h"

namespace {

using codeplug::FromText;
using codeplug::ToText;
using cptest::Join;
using cptest::Records;
using image::EditorState;

TEST(SaveFormat, NewFileByteForByte) {
    const auto saved = ToText(codeplug::New(EditorState()));
    ASSERT_TRUE(saved.ok() && saved.notes.empty());
    const std::string& b = saved.value;
    // No byte-order mark; CR after records 1..261, CR LF after 262, nothing after.
    EXPECT_EQ(b.substr(0, 2), "1,");
    EXPECT_EQ(b.substr(b.size() - 2), "\r\n");
    EXPECT_EQ(std::count(b.begin(), b.end(), '\r'), 262);
    EXPECT_EQ(std::count(b.begin(), b.end(), '\n'), 1);
    const std::vector<std::string> r = Records(b);
    ASSERT_EQ(r.size(), 262u);
    EXPECT_EQ(r[4], "5, , , , , , , , , , , , , ,");
    EXPECT_EQ(r[129], "1, , , , , , , , , , , , , ,");  // lower band row 1
    EXPECT_EQ(r[128], "0,0, ,0,0,0,0,0,1,1,0,0,0,10 ,5,");
    EXPECT_EQ(r[257], r[128]);
    EXPECT_EQ(r[258], "0,15, ,1,2,3,0,1,2,0,4,2,0,3,0,");  // gn13 shows k5's "50MS"
    EXPECT_EQ(r[259], " , , , , , ,1,");
    EXPECT_EQ(r[260],
              "0000FFFFFFFFFFFF00FFFFFF00000101,000000000F424009C4FFFFFFFFFFFFFF,"
              "0000FFFFFFFFFFFF00FFFFFF00000101,000000000F424009C4FFFFFFFFFFFFFF,"
              "000FFFFF010203000102000406D600320300," + Join(std::vector<std::string>(5, "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"), ",") +
              ",FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01,00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,"
              "00FFFFFFFFFF00FFFFFFFFFF,00FFFFFFFFFF00FFFFFFFFFF,00FFFFFFFFFF00FFFFFFFFFF,");
    EXPECT_EQ(r[261], " , , , , , , , ,0, , , , , , , , ,");
}

TEST(SaveFormat, CellsTextsAndIndexesInGbkAndBack) {
    EditorState s = codeplug::New(EditorState());
    s.upper.cells[1] = {"1", "145.12500", "67.0HZ", "QT/DQT+信令", "145.12500", "D023N", "双音1",
                        "关", "高", "宽带", "关", "开", "CH 1", ""};
    s.lower.at(128, image::kColName) = "中文";
    s.upperBand.list[4] = -1;
    s.upperBand.rxFreq = "150.05000";
    s.lowerBand.offset = "";
    s.limits.kaiji1 = "A B";
    s.limits.kaiji2 = "trail ";
    s.limits.xp[1] = "136";
    s.limits.xp5 = 0;
    s.dtmf.sypz[1] = "123";
    s.dtmf.sy[8] = "0*#D";
    s.dtmf.sypz9 = 2;
    const auto saved = ToText(s);
    ASSERT_TRUE(saved.ok() && saved.notes.empty());
    const std::vector<std::string> r = Records(saved.value);
    EXPECT_EQ(r[0],
              "1,145.12500,67.0HZ,QT/DQT+\xD0\xC5\xC1\xEE,145.12500,D023N,\xCB\xAB\xD2\xF4"
              "1,\xB9\xD8,\xB8\xDF,\xBF\xED\xB4\xF8,\xB9\xD8,\xBF\xAA,CH 1, ,");
    EXPECT_EQ(r[256], "128, , , , , , , , , , , ,\xD6\xD0\xCE\xC4, ,");
    EXPECT_EQ(r[128], "0,0,150.05000 ,-1,0,0,0,0,1,1,0,0,0,10 ,5,");
    EXPECT_EQ(r[257], "0,0, ,0,0,0,0,0,1,1,0,0,0, ,5,");
    EXPECT_EQ(r[259], "A B ,trail  ,136 , , , ,0,");
    EXPECT_EQ(r[261], "123 , , , , , , , ,2, , , , , , , ,0*#D ,");

    // Open takes off only the space Save added: inner and trailing spaces of the text stay.
    const auto opened = FromText(saved.value);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.value, s);
}

// A file as other programs write it: empty and "~" lines, LF or CR LF, runs of commas, no
// last comma, quoted stretches, extra fields and records, lower-case hex, other integers.
TEST(OpenFormat, AcceptsEveryFileOfTheFormat) {
    EditorState current;
    current.Col = "4";
    current.upper.at(0, 1) = "shown heading";
    EditorState expected = codeplug::New(current);
    expected.upper.at(0, 1) = "shown heading";  // headings and position fields are not in the file
    std::vector<std::string> r = Records(ToText(expected).value);
    r[0] = "one,,,145.00000,,OFF , , , , , , , , , ,name,x,ignored,";
    expected.upper.cells[1] = {"one", "145.00000", "OFF ", "", "", "", "", "", "", "", "", "", "name", "x"};
    r[1] = "2, , , , , , , , , , , ,'a,b' \"c\r\nd\", ,";
    expected.upper.at(2, image::kColName) = "'a,b' \"c\r\nd\"";
    r[128] = "0,127, 150.05000 ,-1,18,+1,$1,0x1,1,1,0,0,0,10,5,";
    expected.upperBand.list[2] = 127;
    expected.upperBand.rxFreq = " 150.05000";
    expected.upperBand.list[4] = -1;
    expected.upperBand.list[5] = -1;  // 18 lies past the 18 signalling entries
    expected.upperBand.list[6] = 1;
    expected.upperBand.list[7] = 1;
    expected.upperBand.list[8] = 1;
    expected.upperBand.offset = "10";  // a text without the added space
    r[258] = "0,15, ,1,2,3,0,1,2,0,4,2,0,3,0";
    r[260] = "0000ffffffffffff00ffffff00000101," + r[260].substr(33);
    r[2] = "3, , , , , , , , , , , ,A\xFF\xB9\xD8, ,";  // a byte that is no GBK
    expected.upper.at(3, image::kColName) = "A\uF7FF关";  // the byte is kept
    std::string file = "\r\n~~~\n\n" + Join(r, "\n") + "\r\nextra record 263,\r\n";
    file.insert(file.find("\n4,"), "\r\n~\r\n");

    const auto opened = FromText(file, current);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.value.upper.cells[1], expected.upper.cells[1]);
    EXPECT_EQ(opened.value.upperBand, expected.upperBand);
    EXPECT_EQ(opened.value, expected);
    ASSERT_EQ(opened.notes.size(), 1u);
    EXPECT_NE(opened.notes[0].find("第3条记录(上段信道 第3行)第12个字段"), std::string::npos);
}

TEST(New, ResetsEverythingButThePositionFields) {
    EditorState used;
    used.upper.at(0, 0) = "changed heading";
    used.upper.at(7, 0) = "77";
    used.upper.at(7, image::kColExtra) = "x";
    used.general.list[13] = 3;
    used.k[13] = "05010203040500FFFFFFFFFF";
    used.Col = "2";
    used.row1 = "128";
    EditorState expected = image::NewState();
    expected.Col = "2";
    expected.row1 = "128";
    EXPECT_EQ(codeplug::New(used), expected);
}

}  // namespace
