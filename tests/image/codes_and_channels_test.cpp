#include <gtest/gtest.h>

#include "image/channel_codec.h"
#include "image/code_tables.h"
#include "base/frequency.h"

using base::NotAFloat;
using base::ScaledDecimal;
using base::UnitsToMHz;

using namespace image;

TEST(ToneList, ItemsAndBothSpellingsOfNoTone) {
    const auto& grid = ToneList(ToneSpelling::Grid);
    const auto& band = ToneList(ToneSpelling::BandPage);
    ASSERT_EQ(grid.size(), 206u);
    EXPECT_EQ(grid[0], "OFF");
    EXPECT_EQ(band[0], "0FF");
    EXPECT_EQ(grid[1], "67.0HZ");
    EXPECT_EQ(grid[39], "250.3HZ");
    EXPECT_EQ(grid[40], "D023N");
    EXPECT_EQ(grid[122], "D754N");
    EXPECT_EQ(grid[123], "D023I");
    EXPECT_EQ(grid[205], "D754I");
}

TEST(ToneCodes, TextToCodeAndBack) {
    struct Case { const char* text; const char* code; };
    const Case cases[] = {{"67.0HZ", "029E"}, {"100.0HZ", "03E8"}, {"250.3HZ", "09C7"}, {"D023N", "8023"},
                          {"D023I", "C023"},  {"D754I", "C754"},   {"76.8HZ", "0300"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ToneTextToCode(c.text), c.code) << c.text;
        EXPECT_EQ(ToneCodeToText(c.code), c.text) << c.code;
    }
    EXPECT_EQ(ToneTextToCode("OFF"), "FFFF");
    EXPECT_EQ(ToneTextToCode("0FF"), "FFFF");
    EXPECT_EQ(ToneTextToCode(""), "FFFF");
    EXPECT_EQ(ToneCodeToText("FFFF"), "");
    EXPECT_EQ(ToneCodeToText("0000"), "");
    // A code with a digit D (only the radio can hold one) survives a round trip.
    EXPECT_EQ(ToneTextToCode(ToneCodeToText("8D12")), "8D12");
    EXPECT_FALSE(ToneTextToCode("abc.HZ"));
    EXPECT_FALSE(ToneTextToCode("D02N"));
}

TEST(SignallingList, CodesAreIndexes) {
    const auto& list = SignallingList();
    ASSERT_EQ(list.size(), 18u);
    EXPECT_EQ(list[0x0F], "双音7+身份码");
    EXPECT_EQ(list[0x09], "双音1+身份码");
    EXPECT_EQ(list[0x11], "身份码");
}

TEST(Frequency, ExtendedPrecisionThroughDouble) {
    EXPECT_EQ(ScaledDecimal("136.0125"), 13601250);
    EXPECT_EQ(ScaledDecimal("145.125"), 14512500);
    EXPECT_EQ(ScaledDecimal("150.05"), 15005000);
    EXPECT_EQ(ScaledDecimal("0.01"), 1000);
    EXPECT_EQ(ScaledDecimal("94.5", 10), 945);
    EXPECT_FALSE(ScaledDecimal("."));
    EXPECT_FALSE(ScaledDecimal("1.2.3"));
    EXPECT_FALSE(ScaledDecimal("-5"));
    EXPECT_FALSE(ScaledDecimal(""));
    EXPECT_EQ(UnitsToMHz(14512500), "145.12500");
    EXPECT_EQ(UnitsToMHz(2500), "0.02500");
    EXPECT_EQ(NotAFloat("x"), "'x' is not a valid floating point value");
}

namespace {
Grid rowWith(std::initializer_list<std::pair<int, const char*>> cells) {
    Grid g;
    for (const auto& [c, t] : cells) g.at(1, c) = t;
    return g;
}
}  // namespace

TEST(ChannelRecord, TheExampleRecordBothWays) {
    const Grid g = rowWith({{kColRxFreq, "145.12500"}, {kColRxTone, "67.0HZ"}, {kColRxMode, "QT/DQT"},
                            {kColTxFreq, "145.12500"}, {kColTxTone, "D023N"}, {kColStartSignal, "双音1"},
                            {kColEndSignal, "关"}, {kColPower, "高"}, {kColBandwidth, "宽带"},
                            {kColCompander, "关"}, {kColScrambler, "开"}, {kColName, "CH1"}});
    const std::string record = "00DD7174029E0000DD717480230100D003434831FFFFFFFF";
    const auto r = EncodeChannel(g, 1, Band::Upper);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.value, record);
    Grid back;
    DecodeChannel(record, back, 1);
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(back.at(1, c), g.at(1, c)) << c;
}

TEST(ChannelRecord, FrequenciesAndTheEmptyRow) {
    struct Case { const char* mhz; const char* digits; };
    for (const Case& c : {Case{"145.12500", "00DD7174"}, Case{"438.01250", "029C5AA2"},
                          Case{"136.00000", "00CF8500"}, Case{"490.00000", "02EBAE40"}}) {
        const auto r = EncodeChannel(rowWith({{kColRxFreq, c.mhz}}), 1, Band::Lower);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(r.value.substr(0, 8), c.digits) << c.mhz;
    }
    const Grid none;  // every cell empty
    const auto empty = EncodeChannel(none, 1, Band::Upper);
    EXPECT_EQ(empty.value, kEmptyRecord);
    Grid g = rowWith({{kColRxFreq, "1"}, {kColName, "x"}, {kColPower, "高"}});
    DecodeChannel(kEmptyRecord, g, 1);
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(g.at(1, c), "") << c;
}

TEST(ChannelRecord, DecodingLooksAtCellsAlreadySet) {
    Grid g;
    // No receive frequency: tone 0000 and mode 00 give empty cells, not "OFF" / "QT/DQT".
    DecodeChannel(std::string("FFFFFFFF") + "0000" + "00" + "FFFFFFFF" + "0000" + "00" + "00" + "00" + "00FFFFFFFFFFFFFF", g, 1);
    EXPECT_EQ(g.at(1, kColRxTone), "");
    EXPECT_EQ(g.at(1, kColRxMode), "");
    EXPECT_EQ(g.at(1, kColStartSignal), "");
    DecodeChannel(std::string("00DD7174") + "0000" + "00" + "00DD7174" + "FFFF" + "00" + "12" + "FF" + "00FFFFFFFFFFFFFF", g, 1);
    EXPECT_EQ(g.at(1, kColRxTone), "OFF");
    EXPECT_EQ(g.at(1, kColRxMode), "QT/DQT");
    EXPECT_EQ(g.at(1, kColTxTone), "OFF");
    EXPECT_EQ(g.at(1, kColStartSignal), "关");
    EXPECT_EQ(g.at(1, kColEndSignal), "");  // 0x12 is no item
    EXPECT_EQ(EncodeChannel(g, 1, Band::Upper).value.substr(26, 4), "00FF");
}

TEST(ChannelRecord, OptionByte) {
    Grid g;
    auto optionsOf = [&](const char* byte) {
        DecodeChannel(std::string("00DD7174FFFF0000DD7174FFFF0000") + byte + "00FFFFFFFFFFFFFF", g, 1);
        return std::vector<std::string>{g.at(1, 8), g.at(1, 9), g.at(1, 10), g.at(1, 11)};
    };
    EXPECT_EQ(optionsOf("00"), (std::vector<std::string>{"低", "窄带", "关", "关"}));
    EXPECT_EQ(optionsOf("D0"), (std::vector<std::string>{"高", "宽带", "关", "开"}));
    EXPECT_EQ(optionsOf("0F"), (std::vector<std::string>{"低", "窄带", "关", "关"}));
    EXPECT_EQ(EncodeChannel(g, 1, Band::Upper).value.substr(30, 2), "00");
    g.at(1, kColPower) = "";
    EXPECT_EQ(EncodeChannel(g, 1, Band::Upper).value.substr(30, 2), "FF");
    EXPECT_EQ(optionsOf("FF"), (std::vector<std::string>{"", "", "", ""}));
}

TEST(ChannelRecord, Names) {
    auto nameField = [](const char* name) {
        return EncodeChannel(rowWith({{kColName, name}}), 1, Band::Upper).value.substr(32);
    };
    EXPECT_EQ(nameField("A"), "0141FFFFFFFFFFFF");
    EXPECT_EQ(nameField("ABCDEFG"), "07414243444546" "47");
    EXPECT_EQ(nameField(""), "00FFFFFFFFFFFFFF");
    EXPECT_EQ(nameField("ABCDEFGHIJ"), "0741424344454647");  // only a file can carry more than 7
    EXPECT_EQ(nameField("中文字母"), "06D6D0CEC4D7D6FF");      // GBK, never half a character
    Grid g;
    DecodeChannel(std::string(32, 'F') + "0941424344454647", g, 1);  // length 9: the 7 bytes held
    EXPECT_EQ(g.at(1, kColName), "ABCDEFG");
    DecodeChannel(std::string(32, 'F') + "FF41424344454647", g, 1);
    EXPECT_EQ(g.at(1, kColName), "");
}
