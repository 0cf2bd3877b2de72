// The bytes Save writes and how Open reads files written by any program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "tests/codeplug/helpers.h"

namespace {

using codeplug::FromText;
using codeplug::ToText;
using image::EditorState;
using cptest::Records;
using cptest::Join;

TEST(SaveFormat, NewFileByteForByte) {
    const auto saved = ToText(codeplug::New(EditorState()));
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_TRUE(saved.changed.empty());
    const std::string& b = saved.bytes;
    // No byte-order mark, CR after each of records 1..261, CR LF after 262, nothing after.
    ASSERT_GE(b.size(), 2u);
    EXPECT_EQ(b.substr(0, 2), "1,");
    EXPECT_EQ(b.substr(b.size() - 2), "\r\n");
    EXPECT_EQ(std::count(b.begin(), b.end(), '\r'), 262);
    EXPECT_EQ(std::count(b.begin(), b.end(), '\n'), 1);

    const std::vector<std::string> r = Records(b);
    ASSERT_EQ(r.size(), 262u);
    EXPECT_EQ(r[4], "5, , , , , , , , , , , , , ,");
    EXPECT_EQ(r[127], "128, , , , , , , , , , , , , ,");
    EXPECT_EQ(r[129], "1, , , , , , , , , , , , , ,");  // lower band row 1
    EXPECT_EQ(r[128], "0,0, ,0,0,0,0,0,1,1,0,0,0,10 ,5,");
    EXPECT_EQ(r[257], r[128]);
    // gn13 shows what k5 holds: "50MS", index 0.
    EXPECT_EQ(r[258], "0,15, ,1,2,3,0,1,2,0,4,2,0,3,0,");
    EXPECT_EQ(r[259], " , , , , , ,1,");
    EXPECT_EQ(r[260],
              "0000FFFFFFFFFFFF00FFFFFF00000101,000000000F424009C4FFFFFFFFFFFFFF,"
              "0000FFFFFFFFFFFF00FFFFFF00000101,000000000F424009C4FFFFFFFFFFFFFF,"
              "000FFFFF010203000102000406D600320300,00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,"
              "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,"
              "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,"
              "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01,00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,"
              "00FFFFFFFFFF00FFFFFFFFFF,00FFFFFFFFFF00FFFFFFFFFF,00FFFFFFFFFF00FFFFFFFFFF,");
    EXPECT_EQ(r[261], " , , , , , , , ,0, , , , , , , , ,");
}

TEST(SaveFormat, CellsTextsAndIndexesInGbk) {
    EditorState s = codeplug::New(EditorState());
    auto& row = s.upper.cells[1];
    row = {"1", "145.12500", "67.0HZ", "QT/DQT+信令", "145.12500", "D023N", "双音1",
           "关", "高", "宽带", "关", "开", "CH 1", ""};
    s.lower.at(128, image::kColName) = "中文";
    s.upperBand.list[4] = -1;
    s.upperBand.rxFreq = "150.05000";
    s.lowerBand.offset = "";
    s.general.radioFreq = "94.5";
    s.limits.kaiji1 = "A B";
    s.limits.kaiji2 = "trail ";
    s.limits.xp[1] = "136";
    s.limits.xp5 = 0;
    s.dtmf.sypz[1] = "123";
    s.dtmf.sy[8] = "0*#D";
    s.dtmf.sypz9 = 2;

    const auto saved = ToText(s);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_TRUE(saved.changed.empty());
    const std::vector<std::string> r = Records(saved.bytes);
    EXPECT_EQ(r[0],
              "1,145.12500,67.0HZ,QT/DQT+\xD0\xC5\xC1\xEE,145.12500,D023N,\xCB\xAB\xD2\xF4"
              "1,\xB9\xD8,\xB8\xDF,\xBF\xED\xB4\xF8,\xB9\xD8,\xBF\xAA,CH 1, ,");
    EXPECT_EQ(r[256], "128, , , , , , , , , , , ,\xD6\xD0\xCE\xC4, ,");
    EXPECT_EQ(r[128], "0,0,150.05000 ,-1,0,0,0,0,1,1,0,0,0,10 ,5,");
    EXPECT_EQ(r[257], "0,0, ,0,0,0,0,0,1,1,0,0,0, ,5,");
    EXPECT_EQ(r[258], "0,15,94.5 ,1,2,3,0,1,2,0,4,2,0,3,0,");
    EXPECT_EQ(r[259], "A B ,trail  ,136 , , , ,0,");
    EXPECT_EQ(r[261], "123 , , , , , , , ,2, , , , , , , ,0*#D ,");

    const auto opened = FromText(saved.bytes);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.state, s);
    EXPECT_EQ(opened.state.limits.kaiji1, "A B");       // inner spaces survive
    EXPECT_EQ(opened.state.limits.kaiji2, "trail ");    // only the added space is removed
}

// A file in the format as other programs write it: empty lines, "~" lines, LF or CR LF line
// ends, runs of commas, a last field without comma, extra fields and extra records.
TEST(OpenFormat, AcceptsEveryFileOfTheFormat) {
    EditorState expected = codeplug::New(EditorState());
    std::vector<std::string> r = Records(ToText(expected).bytes);
    r[0] = "one,,,145.00000,,OFF , , , , , , , , , ,name,x,ignored,";  // column 0 as the file has it
    expected.upper.cells[1] = {"one", "145.00000", "OFF ", "", "", "", "", "", "", "", "", "", "name", "x"};
    r[1] = "2, , , , , , , , , , , ,'a,b' \"c\r\nd\", ,";  // quoted stretches keep commas and line ends
    expected.upper.at(2, image::kColName) = "'a,b' \"c\r\nd\"";
    r[128] = "0,127, 150.05000 ,-1,206,+17,$1,0x1,1,1,0,0,0,10,5,";  // text without trailing space
    expected.upperBand.list[2] = 127;
    expected.upperBand.rxFreq = " 150.05000";
    expected.upperBand.list[4] = -1;  // -1 stays
    expected.upperBand.list[5] = -1;  // 206 lies past the 18 signalling entries
    expected.upperBand.list[6] = -1;  // 17 lies past "QT/DQT", "QT/DQT+信令"
    expected.upperBand.list[7] = 1;
    expected.upperBand.list[8] = 1;
    expected.upperBand.offset = "10";
    r[258] = "0,15, ,1,2,3,0,1,2,0,4,2,0,3,0";  // no final comma
    r[260] = "0000ffffffffffff00ffffff00000101," + r[260].substr(33);  // lower-case digits
    std::string file = "\r\n~~~\n\n" + Join(r, "\n");
    file.insert(file.find("\n3,"), "\r\n~\r\n");
    file += "\r\nextra record 263,\r\n";

    const auto opened = FromText(file);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.state.upper.cells[1], expected.upper.cells[1]);
    EXPECT_EQ(opened.state.upper.cells[2], expected.upper.cells[2]);
    EXPECT_EQ(opened.state.upperBand, expected.upperBand);
    EXPECT_EQ(opened.state, expected);
    EXPECT_TRUE(opened.warnings.empty());
}

TEST(OpenFormat, KeepsHeadingsAndPositionFields) {
    EditorState current;
    current.Col = "4";
    current.row1 = "9";
    current.upper.at(0, 1) = "shown heading";
    const auto opened = FromText(ToText(codeplug::New(EditorState())).bytes, current);
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ(opened.state.Col, "4");
    EXPECT_EQ(opened.state.row1, "9");
    EXPECT_EQ(opened.state.upper.at(0, 1), "shown heading");
}

TEST(OpenFormat, BytesThatAreNoGbkShowAsQuestionMarks) {
    std::vector<std::string> r = Records(ToText(EditorState()).bytes);
    r[2] = "3, , , , , , , , , , , ,A\xFF\xB9\xD8, ,";
    const auto opened = FromText(Join(r, "\r") + "\r\n");
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.state.upper.at(3, image::kColName), "A?关");
    ASSERT_EQ(opened.warnings.size(), 1u);
    EXPECT_NE(opened.warnings[0].find("record 3 "), std::string::npos) << opened.warnings[0];
}

TEST(New, ResetsEverythingButThePositionFields) {
    EditorState used;
    used.upper.at(0, 0) = "changed heading";
    used.upper.at(7, 0) = "77";
    used.upper.at(7, image::kColExtra) = "x";
    used.lower.at(128, image::kColRxFreq) = "145.00000";
    used.general.list[13] = 3;
    used.dtmf.sypz[3] = "1";
    used.k[13] = "05010203040500FFFFFFFFFF";
    used.Col = "2";
    used.Row = "7";
    used.col1 = "12";
    used.row1 = "128";
    const EditorState fresh = codeplug::New(used);
    EditorState expected = image::NewState();
    expected.Col = "2";
    expected.Row = "7";
    expected.col1 = "12";
    expected.row1 = "128";
    EXPECT_EQ(fresh, expected);
    EXPECT_EQ(fresh.k[13], "00FFFFFFFFFF00FFFFFFFFFF");
    EXPECT_EQ(fresh.general.list[13], 0);
}

}  // namespace
