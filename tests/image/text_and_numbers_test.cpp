// What the operator reads and types is what the radio gets: decimal texts read and written
// with "." whatever the C library's locale, and name and message bytes that are no GBK text
// kept byte for byte. ctest runs this binary under C and again under de_DE.UTF-8.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "image/band_page.h"
#include "image/channel_codec.h"
#include "image/code_tables.h"
#include "base/frequency.h"
#include "base/gbk.h"
#include "image/general_page.h"
#include "editor/grid_editing.h"
#include "base/hex.h"
#include "base/sha256.h"
#include "image/limits_page.h"

using namespace base;
using namespace editor;

using namespace image;

namespace {

// As the windows do (Qt sets the locale from the environment), the tests take theirs from it.
const bool kLocaleTaken = std::setlocale(LC_ALL, "") != nullptr;

// Runs the body under a decimal-comma locale when the system has one, and under the
// environment's locale in any case.
template <class Body>
void underEachLocale(Body body) {
    const std::string environment = std::setlocale(LC_ALL, nullptr);
    body();
    // The name POSIX gives the locale, then the one Windows gives it.
    for (const char* comma : {"de_DE.UTF-8", "German_Germany"}) {
        if (!std::setlocale(LC_ALL, comma)) continue;
        SCOPED_TRACE(comma);
        body();
        break;
    }
    std::setlocale(LC_ALL, environment.c_str());
}

}  // namespace

TEST(Locale, TheEnvironmentsLocaleIsInEffect) {
    // ctest's second run asks for de_DE.UTF-8: a system without it must fail here, not pass
    // quietly under C.
    const char* wanted = std::getenv("LC_ALL");
    ASSERT_TRUE(kLocaleTaken) << "locale " << (wanted ? wanted : "") << " is not installed";
    // (Windows names it in its own way, "German_Germany.1252": what counts is its comma.)
    if (wanted && std::string(wanted).rfind("de_", 0) == 0) {
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    }
}

TEST(Decimals, ReadAndWrittenWithAPointInEveryLocale) {
    underEachLocale([] {
        EXPECT_EQ(ScaledDecimal("136.0125"), 13601250);
        EXPECT_EQ(ScaledDecimal("145.12500"), 14512500);
        EXPECT_EQ(ScaledDecimal("94.5", 10.0L), 945);
        EXPECT_EQ(ScaledDecimal(".5"), 50000);
        EXPECT_EQ(ScaledDecimal("5."), 500000);
        // A text that does not convert completely is no number, never a part of one.
        for (const char* bad : {"136,0125", "1.2.3", ".", "", "12a", " 12", "12 ", "-5", "+5", "1e3", "0x10", "inf"})
            EXPECT_EQ(ScaledDecimal(bad), std::nullopt) << bad;
        EXPECT_EQ(SignedScaledDecimal("-21474.83648"), -2147483648LL);
        EXPECT_EQ(SignedScaledDecimal("--1"), std::nullopt);
        EXPECT_EQ(SignedScaledDecimal("1-"), std::nullopt);

        EXPECT_EQ(FormatDecimal(136.0125), "136.0125");
        EXPECT_EQ(FormatDecimal(136.0), "136");
        EXPECT_EQ(FormatDecimal(-21474.83648), "-21474.83648");
        EXPECT_EQ(FormatDecimal(0.00001), "0.00001");
    });
}

TEST(Decimals, EveryFieldEncodesTheSameInEveryLocale) {
    underEachLocale([] {
        Grid g;
        g.at(1, kColRxFreq) = "145.12500";
        g.at(1, kColTxFreq) = "438.01250";
        const auto r = EncodeChannel(g, 1, Band::Upper);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(digits(r.value, 1, 8), "00DD7174");
        EXPECT_EQ(digits(r.value, 15, 22), "029C5AA2");

        EditorState s;
        s.upperBand.rxFreq = "150.05";
        s.upperBand.offset = "5.5";
        EXPECT_EQ(BandEditCommit(s, Band::Upper, 3, Trigger::Exit), "");
        EXPECT_EQ(BandEditCommit(s, Band::Upper, 15, Trigger::Exit), "");
        EXPECT_EQ(digits(s.k[1], 5, 12), "00E4F548");
        EXPECT_EQ(digits(s.k[2], 7, 14), "00086470");
        s.general.radioFreq = "94.5";
        EXPECT_EQ(GeneralRadioCommit(s), "");
        EXPECT_EQ(digits(s.k[5], 5, 8), "03B1");
        s.limits.xp[1] = "136.0125";
        EXPECT_EQ(LimitCommit(s, 1), "");
        EXPECT_EQ(digits(s.k[11], 1, 8), "00CF89E2");
        DecodeLimits(s, "00CF89E2" + std::string(24, 'F') + "01");
        EXPECT_EQ(s.limits.xp[1], "136.0125");

        s.Col = "1";
        s.Row = "2";
        EXPECT_EQ(CommitFrequency(s, Band::Upper, "145.125"), "");
        EXPECT_EQ(s.upper.at(2, kColRxFreq), "145.12500");
        s.limits.xp[2] = "136,0125";
        EXPECT_EQ(LimitCommit(s, 2), "'136,0125' is not a valid floating point value");
    });
}

TEST(Limits, EveryValueReadFromTheRadioGoesBackAsItCame) {
    // Negative as a signed number, the extremes, and ordinary limits: decoded to the edit's
    // text, then encoded from that text, they give their eight digits again.
    for (const char* code : {"80000000", "FFFFFFFE", "FFF0BDC1", "7FFFFFFF", "00000000", "00000001", "00CF89E2",
                             "02EBAE40", "C0000000"}) {
        EditorState s;
        DecodeLimits(s, std::string(code) + std::string(24, 'F') + "01");
        EXPECT_EQ(LimitCommit(s, 1), "") << code << " shown as " << s.limits.xp[1];
        EXPECT_EQ(digits(s.k[11], 1, 8), code) << s.limits.xp[1];
    }
    EditorState s;
    DecodeLimits(s, "80000000" + std::string(24, 'F') + "01");
    EXPECT_EQ(s.limits.xp[1], "-21474.83648");
    s.limits.xp[1] = "-21474.83649";
    EXPECT_NE(LimitCommit(s, 1), "");
    EXPECT_EQ(digits(s.k[11], 1, 8), "FFFFFFFF");  // the field keeps what it held
}

TEST(Tones, ATextGoingOnAfterHzIsNoTone) {
    EXPECT_EQ(ToneTextToCode("67.0HZ"), "029E");
    EXPECT_EQ(ToneTextToCode("67HZ"), "0043");
    for (const char* bad : {"67HZ7", "67.0HZ ", "HZ67", "67.0HZHZ", "HZ"}) EXPECT_EQ(ToneTextToCode(bad), std::nullopt) << bad;
    Grid g;
    g.at(9, kColRxFreq) = "145.00000";
    g.at(9, kColTxFreq) = "145.00000";
    g.at(9, kColTxTone) = "67HZ7";
    const auto r = EncodeChannel(g, 9, Band::Lower);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("下段信道 第9信道"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("发射亚音频"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("67HZ7"), std::string::npos) << r.error;
}

namespace {

// Name fields (length byte and seven bytes) whose bytes are no GBK text, or GBK that must not
// be normalised: each must come back from a decode and an encode unchanged.
const char* const kOddNames[] = {
    "0341FF42FFFFFFFF",  // 0xFF inside a name
    "01B0FFFFFFFFFFFF",  // a lone lead byte
    "0341B020FFFFFFFF",  // a lead byte followed by no trail byte
    "0241B0FFFFFFFFFF",  // a lead byte at the end of the name
    "07FFFFFFFFFFFFFF",  // seven bytes 0xFF
    "0380B9D8FFFFFFFF",  // 0x80 (the euro sign in GBK) and a character
    "04AAA1F8A1FFFFFF",  // the user-defined areas, which convert to nothing
    "07B9D8B0FE7F4142",  // a character, a lead byte before 0x7F (no trail byte), ASCII
    "0681818181FEFEFF",  // lead bytes pairing with each other
};

}  // namespace

TEST(OddBytes, NamesAndMessageLinesGoBackByteForByte) {
    for (const char* name : kOddNames) {
        const std::string record = std::string("00DD7174FFFF0000DD7174FFFF0000D0") + name;
        Grid g;
        DecodeChannel(record, g, 4);
        const auto back = EncodeChannel(g, 4, Band::Upper);
        ASSERT_TRUE(back.ok()) << back.error;
        EXPECT_EQ(back.value, record) << name;

        // The same bytes as either power-on line; moving over or leaving the line re-encodes it.
        EditorState s;
        const std::string block = std::string(name) + "0241" + std::string(14, 'F').replace(0, 2, "42") +
                                  std::string(32, 'F') + "01";
        DecodePowerOnAndLimits(s, block);
        s.k[10] = block.substr(0, 32);
        MessageLineCommit(s, 1);
        MessageLineCommit(s, 2);
        EXPECT_EQ(s.k[10], block.substr(0, 32)) << name;
    }
}

TEST(OddBytes, AreShownAndListed) {
    EditorState s;
    DecodeChannel(std::string("00DD7174FFFF0000DD7174FFFF0000D0") + "0341FF42FFFFFFFF", s.lower, 12);
    DecodePowerOnMessage(s, "01B0FFFFFFFFFFFF0341424300FFFFFF");
    EXPECT_EQ(ShownText(s.lower.at(12, kColName)), "A\uFFFDB");
    EXPECT_EQ(ShownText(s.limits.kaiji1), "\uFFFD");
    EXPECT_EQ(NonGbkFields(s), (std::vector<std::string>{"下段信道 第12信道 信道名称: 非GBK字节 FF", "开机信息1: 非GBK字节 B0"}));
    // Valid GBK, and the count bytes beyond the text, are not reported.
    EXPECT_EQ(ShownText("关A"), "关A");
    EXPECT_TRUE(NonGbkFields(EditorState()).empty());
}

TEST(OddBytes, TextsAreCutAtSevenGbkBytesBetweenCharacters) {
    EXPECT_EQ(Utf8PrefixWithin("测试公司AB", 7), "测试公");
    EXPECT_EQ(Utf8PrefixWithin("ABCDEF测试", 7), "ABCDEF");
    EXPECT_EQ(Utf8PrefixWithin("A\uF7FF\uF7B0BCDEFG", 7), "A\uF7FF\uF7B0BCDE");  // a kept byte is one byte
    EXPECT_EQ(GbkSize("测A\uF7FF"), 4u);

    EditorState s;
    s.Col = "12";
    s.Row = "3";
    s.upper.at(3, kColRxFreq) = "145.00000";
    CommitName(s, Band::Upper, "测试公司AB");
    EXPECT_EQ(s.upper.at(3, kColName), "测试公");
    const auto r = EncodeChannel(s.upper, 3, Band::Upper);
    EXPECT_EQ(digits(r.value, 33, 48), "06B2E2CAD4B9ABFF");

    s.limits.kaiji2 = "测试公司AB";
    MessageLineCommit(s, 2);
    EXPECT_EQ(digits(s.k[10], 17, 32), "06B2E2CAD4B9ABFF");
    // A line holding three characters read from the radio is full at seven bytes, not at
    // seven UTF-8 bytes.
    EXPECT_TRUE(MessageKeyAccepted("测A", 'B'));
    EXPECT_FALSE(MessageKeyAccepted("测试公A", 'B'));
    EXPECT_EQ(NameKey("测A", 'B'), KeyAction::Accept);
    EXPECT_EQ(NameKey("测试公A", 'B'), KeyAction::Drop);
}

TEST(OddBytes, AnEditShowingThemKeepsWhatTheOperatorLeftAlone) {
    const std::string before = "A\uF7FFB\uF7B0";  // A, byte FF, B, byte B0
    EXPECT_EQ(ShownText(before), "A\uFFFDB\uFFFD");
    EXPECT_EQ(TextBehindShown(before, "A\uFFFDB\uFFFD"), before);
    EXPECT_EQ(TextBehindShown(before, "A\uFFFDB\uFFFDC"), before + "C");     // typed at the end
    EXPECT_EQ(TextBehindShown(before, "xA\uFFFDB\uFFFD"), "x" + before);     // at the start
    EXPECT_EQ(TextBehindShown(before, "A\uFFFD\uFFFD"), "A\uF7FF\uF7B0");     // B deleted
    EXPECT_EQ(TextBehindShown(before, "AB\uFFFD"), "AB\uF7B0");               // the first byte deleted
    EXPECT_EQ(TextBehindShown(before, "A\uFFFD测\uFFFD"), "A\uF7FF测\uF7B0");  // B replaced by a character
    EXPECT_EQ(TextBehindShown(before, ""), "");
    EXPECT_EQ(TextBehindShown("", "abc"), "abc");
    EXPECT_EQ(TextBehindShown("测", "浙"), "浙");  // characters sharing bytes are never split

    // The name editor opens on the shown text and gives the bytes back on commit.
    EditorState s;
    s.upper.at(5, kColRxFreq) = "145.00000";
    s.upper.at(5, kColName) = before;
    const CellEditor editor = SelectCell(s, Band::Upper, kColName, 5);
    EXPECT_EQ(editor.text, ShownText(before));
    CommitName(s, Band::Upper, editor.text + "C");
    EXPECT_EQ(digits(EncodeChannel(s.upper, 5, Band::Upper).value, 33, 48), "0541FF42B043FFFF");
}

// The FIPS 180-2 examples, and lengths that put the padding at each block boundary (55, 56,
// 63, 64 bytes) against digests sha256sum gave.
TEST(Sha256, GivesTheStandardsDigests) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(63, 'a'), "7d3e74a05d7db15bce4ad9ec0658ea98e3f06eeecf16b4c6fff2da457ddc2f34"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const auto& c : cases) EXPECT_EQ(Sha256Hex(c.input), c.digest) << c.input.size() << " bytes";
}
