#include <gtest/gtest.h>

#include "image/band_page.h"
#include "image/dtmf_page.h"
#include "image/general_page.h"
#include "base/hex.h"
#include "image/limits_page.h"
#include "image/page_tables.h"

using base::digits;

using namespace image;

TEST(StartupState, PagesAndHiddenFields) {
    const EditorState s;
    EXPECT_EQ(s.upper.at(0, 0), "信道");
    EXPECT_EQ(s.lower.at(0, 12), "信道名称");
    EXPECT_EQ(s.upper.at(128, 0), "128");
    EXPECT_EQ(s.upper.at(1, 1), "");
    EXPECT_EQ(s.k[1], "0000FFFFFFFFFFFF00FFFFFF00000101");
    EXPECT_EQ(s.k[4], "000000000F424009C4FFFFFFFFFFFFFF");
    EXPECT_EQ(s.k[5], "000FFFFF010203000102000406D600320300");
    EXPECT_EQ(s.k[11], "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01");
    EXPECT_EQ(s.k[13], "00FFFFFFFFFF00FFFFFFFFFF");
    for (int n = 1; n <= 15; ++n) EXPECT_EQ(static_cast<int>(s.k[static_cast<std::size_t>(n)].size()), hiddenField(n).digits);
    EXPECT_EQ(s.upperBand.list[16], 5);
    EXPECT_EQ(BandItems(16)[5], "25K");
    EXPECT_EQ(s.lowerBand.offset, "10");
    EXPECT_EQ(s.general.list[2], 15);
    // The DTMF time shows what k5 holds (0032, "50MS").
    EXPECT_EQ(GeneralItems(13)[static_cast<std::size_t>(s.general.list[13])], "50MS");
    EXPECT_EQ(s.limits.xp5, 1);
    EXPECT_EQ(s.dtmf.sypz9, 0);
}

TEST(BandPage, HandlersSpliceOnlyTheirDigits) {
    EditorState s;
    const std::string k2 = s.k[2];
    s.upperBand.rxFreq = "150.05";
    EXPECT_EQ(BandEditCommit(s, Band::Upper, 3, Trigger::Exit), "");
    EXPECT_EQ(s.k[1], "000000E4F548FFFF00FFFFFF00000101");
    EXPECT_EQ(s.k[2], k2);

    for (const char* ok : {"136", "176"}) {
        s.upperBand.rxFreq = ok;
        EXPECT_EQ(BandEditCommit(s, Band::Upper, 3, Trigger::MouseMove), "") << ok;
    }
    s.upperBand.rxFreq = "135.99999";
    EXPECT_EQ(BandEditCommit(s, Band::Upper, 3, Trigger::Exit), "接收频率在136MHZ~176MHZ");
    EXPECT_EQ(s.upperBand.rxFreq, "");
    EXPECT_EQ(digits(s.k[1], 5, 12), "FFFFFFFF");
    s.upperBand.rxFreq = "176.00001";
    EXPECT_EQ(BandEditCommit(s, Band::Upper, 3, Trigger::MouseMove), "Receive Frequency in 136MHZ~176MHZ");
    s.lowerBand.rxFreq = "435";
    EXPECT_EQ(BandEditCommit(s, Band::Lower, 3, Trigger::Exit), "Receive Frequency in 136MHZ~176MHZ");

    // Not a number: message, field and edit unchanged.
    s.upperBand.rxFreq = "1.2.3";
    const std::string k1 = s.k[1];
    EXPECT_EQ(BandEditCommit(s, Band::Upper, 3, Trigger::Exit), "'1.2.3' is not a valid floating point value");
    EXPECT_EQ(s.k[1], k1);
    EXPECT_EQ(s.upperBand.rxFreq, "1.2.3");

    s.lowerBand.offset = "0.025";
    BandEditCommit(s, Band::Lower, 15, Trigger::Exit);
    EXPECT_EQ(digits(s.k[4], 7, 14), "000009C4");
    s.lowerBand.offset = "";
    BandEditCommit(s, Band::Lower, 15, Trigger::Exit);
    EXPECT_EQ(digits(s.k[4], 7, 14), "FFFFFFFF");

    s.upperBand.list[2] = 127;  // "128"
    BandListClick(s, Band::Upper, 2);
    EXPECT_EQ(digits(s.k[1], 3, 4), "7F");
    s.lowerBand.list[4] = 123;  // "D023I"
    BandListClick(s, Band::Lower, 4);
    EXPECT_EQ(digits(s.k[3], 13, 16), "C023");
    s.lowerBand.list[7] = 40;  // "D023N"
    BandListClick(s, Band::Lower, 7);
    EXPECT_EQ(digits(s.k[3], 21, 24), "8023");
    s.upperBand.list[4] = 0;  // "0FF"
    BandListClick(s, Band::Upper, 4);
    EXPECT_EQ(digits(s.k[1], 13, 16), "FFFF");
    s.upperBand.list[16] = 2;
    BandListClick(s, Band::Upper, 16);
    EXPECT_EQ(digits(s.k[2], 15, 18), "0271");
    s.upperBand.list[5] = 17;
    BandListClick(s, Band::Upper, 5);
    EXPECT_EQ(digits(s.k[1], 27, 28), "11");
    for (const auto& k : s.k) EXPECT_TRUE(k.empty() || k.size() == 32 || k.size() == 24 || k.size() == 34 || k.size() == 36);
}

TEST(BandPage, Decoder) {
    EditorState s;
    // mode 02, channel 80, freq FFFFFFFF, tone 0000, mode 01, byte 9 AB, tone 1234, ...
    std::string block = std::string("0280FFFFFFFF000001AB1234") + "0211" + "0100" + "000102" + "FFFFFFFF" + "0000" +
                        std::string(46, 'C');
    s.upperBand.rxFreq = "150.00000";
    s.upperBand.list[16] = 3;
    DecodeBandBlock(s, Band::Upper, block);
    const auto& p = s.upperBand;
    EXPECT_EQ(p.list[1], kNoSelection);
    EXPECT_EQ(p.list[2], 0);
    EXPECT_EQ(p.rxFreq, "");
    EXPECT_EQ(p.list[4], 0);    // "0FF"
    EXPECT_EQ(p.list[6], 1);
    EXPECT_EQ(p.list[7], 205);  // 1234 is no item: the last, "D754I"
    EXPECT_EQ(p.list[8], 2);
    EXPECT_EQ(p.list[5], 0x11);
    EXPECT_EQ(p.list[10], 1);
    EXPECT_EQ(p.list[11], 0);
    EXPECT_EQ(p.list[12], 0);
    EXPECT_EQ(p.list[13], 1);
    EXPECT_EQ(p.list[14], 2);
    EXPECT_EQ(p.offset, "");
    EXPECT_EQ(p.list[16], 3);  // step 0000: unchanged

    block = std::string("057F00E4F548029E00FF8023") + "00000000000000" + "000F4240" + "0271" + std::string(46, 'F');
    DecodeBandBlock(s, Band::Lower, block);
    EXPECT_EQ(s.lowerBand.list[1], 0);
    EXPECT_EQ(s.lowerBand.list[2], 127);
    EXPECT_EQ(s.lowerBand.rxFreq, "150.05000");
    EXPECT_EQ(s.lowerBand.list[4], 1);
    EXPECT_EQ(s.lowerBand.list[7], 40);
    EXPECT_EQ(s.lowerBand.offset, "10.00000");
    EXPECT_EQ(s.lowerBand.list[16], 2);
}

TEST(GeneralPage, DecoderAndHandlers) {
    EditorState s;
    s.general.radioFreq = "94.5";
    GeneralRadioCommit(s);
    EXPECT_EQ(digits(s.k[5], 5, 8), "03B1");
    for (const char* ok : {"88", "108"}) {
        s.general.radioFreq = ok;
        EXPECT_EQ(GeneralRadioCommit(s), "");
    }
    s.general.radioFreq = "108.1";
    EXPECT_EQ(GeneralRadioCommit(s), "收音频率 88~108MHz");
    EXPECT_EQ(s.general.radioFreq, "");
    EXPECT_EQ(digits(s.k[5], 5, 8), "FFFF");

    s.general.list[12] = 3;
    GeneralListClick(s, 12);
    EXPECT_EQ(digits(s.k[5], 25, 28), "0834");
    s.general.list[13] = 0;
    GeneralListClick(s, 13);
    EXPECT_EQ(digits(s.k[5], 29, 32), "0032");
    s.general.list[11] = 20;  // "600"
    GeneralListClick(s, 11);
    EXPECT_EQ(digits(s.k[5], 23, 24), "14");
    s.general.list[15] = 1;
    GeneralListClick(s, 15);
    EXPECT_EQ(digits(s.k[5], 35, 36), "01");
    s.general.list[1] = 1;  // "下段" is 01, and 01 reads back as "下段"
    GeneralListClick(s, 1);
    EXPECT_EQ(digits(s.k[5], 1, 2), "01");
    s.general.list[1] = 0;
    DecodeGeneralBlock(s, s.k[5]);
    EXPECT_EQ(s.general.list[1], 1);

    s = EditorState();
    s.general.radioFreq = "99.9";
    //                 gn1 vol  radio bl   bl bl mode tone ring busy tout stone dtime sq relay
    DecodeGeneralBlock(s, std::string("00") + "14" + "FFFF" + "05" + "08" + "03" + "01" + "00" + "09" + "05" +
                              "15" + "06D6" + "00C8" + "0A" + "02");
    EXPECT_EQ(s.general.list[1], 0);
    EXPECT_EQ(s.general.list[2], 20);
    EXPECT_EQ(s.general.radioFreq, "");
    EXPECT_EQ(s.general.list[4], kNoSelection);
    EXPECT_EQ(s.general.list[5], 2);  // 08: unchanged
    EXPECT_EQ(s.general.list[6], 3);
    EXPECT_EQ(s.general.list[9], 9);
    EXPECT_EQ(s.general.list[10], kNoSelection);
    EXPECT_EQ(s.general.list[11], 4);  // 0x15: unchanged
    EXPECT_EQ(s.general.list[12], 2);
    EXPECT_EQ(s.general.list[13], 3);
    EXPECT_EQ(s.general.list[14], 3);  // 0x0A: unchanged
    EXPECT_EQ(s.general.list[15], 0);  // 02: unchanged
    DecodeGeneralBlock(s, "001503AC");
    EXPECT_EQ(s.general.radioFreq, "94.0");
    EXPECT_EQ(s.general.list[2], 20);  // 0x15 leaves the volume
}

TEST(DtmfPage, CodesBothWays) {
    EXPECT_EQ(DtmfTextToCode8("123"), "03010203FFFFFFFF");
    EXPECT_EQ(DtmfTextToCode8("0*#D"), "040A0B0C00FFFFFF");
    EXPECT_EQ(DtmfTextToCode8(""), "00FFFFFFFFFFFFFF");
    EXPECT_EQ(DtmfTextToCode6(""), "00FFFFFFFFFF");
    EXPECT_EQ(DtmfCodeToText("0301020300000000"), "123");
    EXPECT_EQ(DtmfCodeToText("020A00FFFFFFFFFF"), "0D");
    EXPECT_EQ(DtmfCodeToText("0001020304050607"), "");
    EXPECT_EQ(DtmfCodeToText("0901020304050607"), "1234567");  // the count asks for more than is there
    EXPECT_EQ(DtmfCodeToText("02FF01FFFFFFFFFF"), "FF1");
}

TEST(DtmfPage, TypingReachesTheHiddenField) {
    EditorState s;
    const std::string secondHalf = s.k[6].substr(16);
    s.dtmf.sy[1] = "123";
    EXPECT_EQ(DtmfTextChanged(s, CodeKind::Dtmf, 1), "");
    EXPECT_EQ(s.k[6], "03010203FFFFFFFF" + secondHalf);
    s.dtmf.sypz[8] = "12345";
    DtmfTextChanged(s, CodeKind::Identity, 8);
    EXPECT_EQ(digits(s.k[15], 13, 24), "050102030405");
    EXPECT_FALSE(DtmfKeyPress(CodeKind::Identity, 8, 5, '6').accept);
    EXPECT_EQ(DtmfKeyPress(CodeKind::Identity, 8, 5, '6').message, "");
    EXPECT_TRUE(DtmfKeyPress(CodeKind::Identity, 8, 5, 8).accept);
    EXPECT_EQ(DtmfKeyPress(CodeKind::Dtmf, 2, 0, 'a').message, "DTMF:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D");
    EXPECT_EQ(DtmfKeyPress(CodeKind::Identity, 1, 0, 'a').message, "输入以下字符:1,2,3,4,5,6,7,8,9,0,*,#,A,B,D");
    EXPECT_TRUE(DtmfKeyPress(CodeKind::Dtmf, 2, 0, 'C').accept);
    s.dtmf.sy[2] = "";
    DtmfTextChanged(s, CodeKind::Dtmf, 2);
    EXPECT_EQ(digits(s.k[6], 17, 32), "00FFFFFFFFFFFFFF");

    // Pasted text: cut to the slot, stripped of what is no DTMF character, and said so.
    s.dtmf.sypz[3] = "12x3456789";
    EXPECT_NE(DtmfTextChanged(s, CodeKind::Identity, 3), "");
    EXPECT_EQ(s.dtmf.sypz[3], "12345");
    EXPECT_EQ(digits(s.k[13], 1, 12), "050102030405");
    EXPECT_EQ(s.k[13].size(), 24u);
}

TEST(DtmfPage, BlockDecoders) {
    EditorState s;
    std::string block;
    for (int n = 1; n <= 6; ++n) block += DtmfTextToCode8(std::string(static_cast<std::size_t>(n), static_cast<char>('0' + n)));
    DecodeDtmfBlock(s, block);
    EXPECT_EQ(s.dtmf.sy[1], "1");
    EXPECT_EQ(s.dtmf.sy[6], "666666");
    std::string ids = DtmfTextToCode8("7") + DtmfTextToCode8("##");
    for (int n = 3; n <= 8; ++n) ids += DtmfTextToCode6(std::string(static_cast<std::size_t>(n - 2), 'A'));
    DecodeIdCodeBlock(s, ids + std::string(24, 'F'));
    EXPECT_EQ(s.dtmf.sypz[1], "7");
    EXPECT_EQ(s.dtmf.sypz[2], "##");
    EXPECT_EQ(s.dtmf.sypz[3], "A");
    EXPECT_EQ(s.dtmf.sypz[8], "AAAAA");
}

TEST(LimitsPage, MessageLines) {
    EditorState s;
    s.limits.kaiji1 = "";
    MessageLineCommit(s, 1);
    EXPECT_EQ(digits(s.k[10], 1, 16), "00FFFFFFFFFFFFFF");
    s.limits.kaiji2 = "A B C D";
    MessageLineCommit(s, 2);
    EXPECT_EQ(digits(s.k[10], 17, 32), "07412042204320" "44");
    s.limits.kaiji1 = "ABCDEFGHI";  // a pasted line longer than 7 encodes its first 7
    MessageLineCommit(s, 1);
    EXPECT_EQ(digits(s.k[10], 1, 16), "0741424344454647");
    EXPECT_EQ(s.k[10].size(), 32u);

    DecodePowerOnAndLimits(s, "0341424300FFFFFF" "09414243444546FF" + std::string(34, 'F'));
    EXPECT_EQ(s.limits.kaiji1, "ABC");
    EXPECT_EQ(s.limits.kaiji2, "");  // a count above 7
    DecodePowerOnAndLimits(s, "0020FFFFFFFFFFFF0320202000000000" + std::string(34, 'F'));
    EXPECT_EQ(s.limits.kaiji1, "");
    EXPECT_EQ(s.limits.kaiji2, "   ");

    EXPECT_TRUE(MessageKeyAccepted("ABCDEFG", 8));
    EXPECT_FALSE(MessageKeyAccepted("ABCDEFG", 'a'));
    EXPECT_TRUE(MessageKeyAccepted("ABCDEF", ' '));
    EXPECT_FALSE(MessageKeyAccepted("", 31));
    EXPECT_FALSE(MessageKeyAccepted("", 127));
    // What a ".bc" file cannot carry back: a comma, quotes, "~" as the first character.
    for (char c : {',', '"', '\''}) EXPECT_FALSE(MessageKeyAccepted("AB", c)) << c;
    EXPECT_FALSE(MessageKeyAccepted("", '~'));
    EXPECT_TRUE(MessageKeyAccepted("A", '~'));
}

TEST(LimitsPage, Limits) {
    EditorState s;
    struct Case { const char* mhz; const char* code; };
    for (const Case& c : {Case{"136", "00CF8500"}, Case{"174", "010980C0"}, Case{"400", "02625A00"},
                          Case{"480", "02DC6C00"}, Case{"0.01", "000003E8"}, Case{"136.0125", "00CF89E2"}}) {
        s.limits.xp[1] = c.mhz;
        EXPECT_EQ(LimitCommit(s, 1), "");
        EXPECT_EQ(digits(s.k[11], 1, 8), c.code) << c.mhz;
        EXPECT_EQ(digits(s.k[11], 9, 34), "FFFFFFFFFFFFFFFFFFFFFFFF01");
        EXPECT_EQ(LimitToText(c.code), c.mhz);
    }
    s.limits.xp[3] = "1.2.";
    const std::string before = s.k[11];
    EXPECT_EQ(LimitCommit(s, 3), "'1.2.' is not a valid floating point value");
    s.limits.xp[3] = "21474.83648";
    EXPECT_NE(LimitCommit(s, 3), "");
    EXPECT_EQ(s.k[11], before);
    s.limits.xp[3] = "21474.83647";
    EXPECT_EQ(LimitCommit(s, 3), "");
    s.limits.xp[2] = "";
    LimitCommit(s, 2);
    EXPECT_EQ(digits(s.k[11], 9, 16), "FFFFFFFF");
    EXPECT_EQ(LimitToText("FFFFFFFF"), "");

    s.limits.xp5 = 0;
    LimitSwitchClick(s);
    EXPECT_EQ(digits(s.k[11], 33, 34), "00");
    DecodeLimits(s, std::string(32, 'F') + "02");
    EXPECT_EQ(s.limits.xp5, 0);
    DecodeLimits(s, std::string(32, 'F') + "01");
    EXPECT_EQ(s.limits.xp5, 1);

    EXPECT_EQ(LimitKeyPress(1, 13), LimitKey::NextField);
    EXPECT_EQ(LimitKeyPress(4, 13), LimitKey::Refuse);
    EXPECT_EQ(LimitKeyPress(2, 'a'), LimitKey::Refuse);
    EXPECT_EQ(LimitKeyPress(2, '.'), LimitKey::Accept);
}
