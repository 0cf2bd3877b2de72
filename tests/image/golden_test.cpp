// Every entry of the radio's tables, each checked against a literal copy typed from the
// tables the radio was specified with, through the public conversions in both directions.
// Nothing here is generated from the production tables: a single changed entry, code digit
// or digit position in image/ fails one of these tests.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "image/band_page.h"
#include "image/channel_codec.h"
#include "image/code_tables.h"
#include "image/dtmf_page.h"
#include "image/general_page.h"
#include "image/limits_page.h"
#include "image/page_tables.h"
#include "image/transfer.h"

using namespace image;

namespace {

// ---------------------------------------------------------------------------------------
// Literal tables.

struct Tone {
    const char* grid;  // channel-cell spelling
    const char* band;  // band-page spelling
    const char* code;
};
const Tone kTones[206] = {
    {"OFF", "0FF", "FFFF"},  // 0
    {"67.0HZ", "67.0HZ", "029E"},  // 1
    {"69.3HZ", "69.3HZ", "02B5"},
    {"71.9HZ", "71.9HZ", "02CF"},
    {"74.4HZ", "74.4HZ", "02E8"},
    {"77.0HZ", "77.0HZ", "0302"},
    {"79.7HZ", "79.7HZ", "031D"},
    {"82.5HZ", "82.5HZ", "0339"},
    {"85.4HZ", "85.4HZ", "0356"},
    {"88.5HZ", "88.5HZ", "0375"},
    {"91.5HZ", "91.5HZ", "0393"},
    {"94.8HZ", "94.8HZ", "03B4"},
    {"97.4HZ", "97.4HZ", "03CE"},
    {"100.0HZ", "100.0HZ", "03E8"},
    {"103.5HZ", "103.5HZ", "040B"},
    {"107.2HZ", "107.2HZ", "0430"},
    {"110.9HZ", "110.9HZ", "0455"},
    {"114.8HZ", "114.8HZ", "047C"},
    {"118.8HZ", "118.8HZ", "04A4"},
    {"123.0HZ", "123.0HZ", "04CE"},
    {"127.3HZ", "127.3HZ", "04F9"},
    {"131.8HZ", "131.8HZ", "0526"},
    {"136.5HZ", "136.5HZ", "0555"},
    {"141.3HZ", "141.3HZ", "0585"},
    {"146.2HZ", "146.2HZ", "05B6"},
    {"151.4HZ", "151.4HZ", "05EA"},
    {"156.7HZ", "156.7HZ", "061F"},
    {"162.2HZ", "162.2HZ", "0656"},
    {"167.9HZ", "167.9HZ", "068F"},
    {"173.8HZ", "173.8HZ", "06CA"},
    {"179.9HZ", "179.9HZ", "0707"},
    {"186.2HZ", "186.2HZ", "0746"},
    {"192.8HZ", "192.8HZ", "0788"},
    {"203.5HZ", "203.5HZ", "07F3"},
    {"210.7HZ", "210.7HZ", "083B"},
    {"218.1HZ", "218.1HZ", "0885"},
    {"225.7HZ", "225.7HZ", "08D1"},
    {"233.6HZ", "233.6HZ", "0920"},
    {"241.8HZ", "241.8HZ", "0972"},
    {"250.3HZ", "250.3HZ", "09C7"},  // 39
    {"D023N", "D023N", "8023"},  // 40
    {"D025N", "D025N", "8025"},
    {"D026N", "D026N", "8026"},
    {"D031N", "D031N", "8031"},
    {"D032N", "D032N", "8032"},
    {"D043N", "D043N", "8043"},
    {"D047N", "D047N", "8047"},
    {"D051N", "D051N", "8051"},
    {"D054N", "D054N", "8054"},
    {"D065N", "D065N", "8065"},
    {"D071N", "D071N", "8071"},
    {"D072N", "D072N", "8072"},
    {"D073N", "D073N", "8073"},
    {"D074N", "D074N", "8074"},
    {"D114N", "D114N", "8114"},
    {"D115N", "D115N", "8115"},
    {"D116N", "D116N", "8116"},
    {"D125N", "D125N", "8125"},
    {"D131N", "D131N", "8131"},
    {"D132N", "D132N", "8132"},
    {"D134N", "D134N", "8134"},
    {"D143N", "D143N", "8143"},
    {"D152N", "D152N", "8152"},
    {"D155N", "D155N", "8155"},
    {"D156N", "D156N", "8156"},
    {"D162N", "D162N", "8162"},
    {"D165N", "D165N", "8165"},
    {"D172N", "D172N", "8172"},
    {"D174N", "D174N", "8174"},
    {"D205N", "D205N", "8205"},
    {"D223N", "D223N", "8223"},
    {"D226N", "D226N", "8226"},
    {"D243N", "D243N", "8243"},
    {"D244N", "D244N", "8244"},
    {"D245N", "D245N", "8245"},
    {"D251N", "D251N", "8251"},
    {"D261N", "D261N", "8261"},
    {"D263N", "D263N", "8263"},
    {"D265N", "D265N", "8265"},
    {"D271N", "D271N", "8271"},
    {"D306N", "D306N", "8306"},
    {"D311N", "D311N", "8311"},
    {"D315N", "D315N", "8315"},
    {"D331N", "D331N", "8331"},
    {"D343N", "D343N", "8343"},
    {"D346N", "D346N", "8346"},
    {"D351N", "D351N", "8351"},
    {"D364N", "D364N", "8364"},
    {"D365N", "D365N", "8365"},
    {"D371N", "D371N", "8371"},
    {"D411N", "D411N", "8411"},
    {"D412N", "D412N", "8412"},
    {"D413N", "D413N", "8413"},
    {"D423N", "D423N", "8423"},
    {"D431N", "D431N", "8431"},
    {"D432N", "D432N", "8432"},
    {"D445N", "D445N", "8445"},
    {"D464N", "D464N", "8464"},
    {"D465N", "D465N", "8465"},
    {"D466N", "D466N", "8466"},
    {"D503N", "D503N", "8503"},
    {"D506N", "D506N", "8506"},
    {"D516N", "D516N", "8516"},
    {"D532N", "D532N", "8532"},
    {"D546N", "D546N", "8546"},
    {"D565N", "D565N", "8565"},
    {"D606N", "D606N", "8606"},
    {"D612N", "D612N", "8612"},
    {"D624N", "D624N", "8624"},
    {"D627N", "D627N", "8627"},
    {"D631N", "D631N", "8631"},
    {"D632N", "D632N", "8632"},
    {"D654N", "D654N", "8654"},
    {"D662N", "D662N", "8662"},
    {"D664N", "D664N", "8664"},
    {"D703N", "D703N", "8703"},
    {"D712N", "D712N", "8712"},
    {"D723N", "D723N", "8723"},
    {"D731N", "D731N", "8731"},
    {"D732N", "D732N", "8732"},
    {"D734N", "D734N", "8734"},
    {"D743N", "D743N", "8743"},
    {"D754N", "D754N", "8754"},  // 122
    {"D023I", "D023I", "C023"},  // 123
    {"D025I", "D025I", "C025"},
    {"D026I", "D026I", "C026"},
    {"D031I", "D031I", "C031"},
    {"D032I", "D032I", "C032"},
    {"D043I", "D043I", "C043"},
    {"D047I", "D047I", "C047"},
    {"D051I", "D051I", "C051"},
    {"D054I", "D054I", "C054"},
    {"D065I", "D065I", "C065"},
    {"D071I", "D071I", "C071"},
    {"D072I", "D072I", "C072"},
    {"D073I", "D073I", "C073"},
    {"D074I", "D074I", "C074"},
    {"D114I", "D114I", "C114"},
    {"D115I", "D115I", "C115"},
    {"D116I", "D116I", "C116"},
    {"D125I", "D125I", "C125"},
    {"D131I", "D131I", "C131"},
    {"D132I", "D132I", "C132"},
    {"D134I", "D134I", "C134"},
    {"D143I", "D143I", "C143"},
    {"D152I", "D152I", "C152"},
    {"D155I", "D155I", "C155"},
    {"D156I", "D156I", "C156"},
    {"D162I", "D162I", "C162"},
    {"D165I", "D165I", "C165"},
    {"D172I", "D172I", "C172"},
    {"D174I", "D174I", "C174"},
    {"D205I", "D205I", "C205"},
    {"D223I", "D223I", "C223"},
    {"D226I", "D226I", "C226"},
    {"D243I", "D243I", "C243"},
    {"D244I", "D244I", "C244"},
    {"D245I", "D245I", "C245"},
    {"D251I", "D251I", "C251"},
    {"D261I", "D261I", "C261"},
    {"D263I", "D263I", "C263"},
    {"D265I", "D265I", "C265"},
    {"D271I", "D271I", "C271"},
    {"D306I", "D306I", "C306"},
    {"D311I", "D311I", "C311"},
    {"D315I", "D315I", "C315"},
    {"D331I", "D331I", "C331"},
    {"D343I", "D343I", "C343"},
    {"D346I", "D346I", "C346"},
    {"D351I", "D351I", "C351"},
    {"D364I", "D364I", "C364"},
    {"D365I", "D365I", "C365"},
    {"D371I", "D371I", "C371"},
    {"D411I", "D411I", "C411"},
    {"D412I", "D412I", "C412"},
    {"D413I", "D413I", "C413"},
    {"D423I", "D423I", "C423"},
    {"D431I", "D431I", "C431"},
    {"D432I", "D432I", "C432"},
    {"D445I", "D445I", "C445"},
    {"D464I", "D464I", "C464"},
    {"D465I", "D465I", "C465"},
    {"D466I", "D466I", "C466"},
    {"D503I", "D503I", "C503"},
    {"D506I", "D506I", "C506"},
    {"D516I", "D516I", "C516"},
    {"D532I", "D532I", "C532"},
    {"D546I", "D546I", "C546"},
    {"D565I", "D565I", "C565"},
    {"D606I", "D606I", "C606"},
    {"D612I", "D612I", "C612"},
    {"D624I", "D624I", "C624"},
    {"D627I", "D627I", "C627"},
    {"D631I", "D631I", "C631"},
    {"D632I", "D632I", "C632"},
    {"D654I", "D654I", "C654"},
    {"D662I", "D662I", "C662"},
    {"D664I", "D664I", "C664"},
    {"D703I", "D703I", "C703"},
    {"D712I", "D712I", "C712"},
    {"D723I", "D723I", "C723"},
    {"D731I", "D731I", "C731"},
    {"D732I", "D732I", "C732"},
    {"D734I", "D734I", "C734"},
    {"D743I", "D743I", "C743"},
    {"D754I", "D754I", "C754"},  // 205
};

struct Coded {
    const char* text;
    const char* code;
};

const Coded kSignalling[18] = {
    {"关", "00"},           {"双音1", "01"},        {"双音2", "02"},        {"双音3", "03"},
    {"双音4", "04"},        {"双音5", "05"},        {"双音6", "06"},        {"双音7", "07"},
    {"双音8", "08"},        {"双音1+身份码", "09"}, {"双音2+身份码", "0A"}, {"双音3+身份码", "0B"},
    {"双音4+身份码", "0C"}, {"双音5+身份码", "0D"}, {"双音6+身份码", "0E"}, {"双音7+身份码", "0F"},
    {"双音8+身份码", "10"}, {"身份码", "11"},
};

const Coded kReceiveModes[2] = {{"QT/DQT", "00"}, {"QT/DQT+信令", "01"}};

const Coded kSteps7[7] = {{"2.5K", "00FA"},  {"5K", "01F4"},  {"6.25K", "0271"}, {"10K", "03E8"},
                          {"12.5K", "04E2"}, {"25K", "09C4"}, {"50K", "1388"}};

const Coded kSingleTones[4] = {{"1000HZ", "03E8"}, {"1450HZ", "05AA"}, {"1750HZ", "06D6"}, {"2100HZ", "0834"}};

const Coded kDtmfTimes4[4] = {{"50MS", "0032"}, {"100MS", "0064"}, {"150MS", "0096"}, {"200MS", "00C8"}};

// DTMF digit codes: one byte per character.
const Coded kDtmfDigits[16] = {{"1", "01"}, {"2", "02"}, {"3", "03"}, {"4", "04"}, {"5", "05"}, {"6", "06"},
                               {"7", "07"}, {"8", "08"}, {"9", "09"}, {"0", "0A"}, {"*", "0B"}, {"#", "0C"},
                               {"A", "0D"}, {"B", "0E"}, {"C", "0F"}, {"D", "00"}};

// ---------------------------------------------------------------------------------------
// Helpers, independent of the production hex helpers.

std::string hex(unsigned value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", width, value);
    return buf;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

// text with positions from..to (counted from 1) replaced.
std::string with(std::string text, std::size_t from, std::size_t to, const std::string& d) {
    EXPECT_EQ(d.size(), to - from + 1) << "test table: wrong width at " << from << ".." << to;
    return text.replace(from - 1, to - from + 1, d);
}

std::string at(const std::string& text, std::size_t from, std::size_t to) {
    return text.size() >= to ? text.substr(from - 1, to - from + 1) : std::string("<short>");
}

// Deterministic hex digits without a short period, so a shifted slice never matches.
std::string noise(std::size_t n, unsigned seed) {
    static const char* d = "0123456789ABCDEF";
    std::string out;
    unsigned x = seed * 2654435761u + 12345u;
    for (std::size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        out.push_back(d[(x >> 16) & 15]);
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Tone list: all 206 items, both spellings, list text <-> code.

TEST(GoldenTones, ListsInBothSpellings) {
    const auto& grid = ToneList(ToneSpelling::Grid);
    const auto& band = ToneList(ToneSpelling::BandPage);
    ASSERT_EQ(grid.size(), 206u);
    ASSERT_EQ(band.size(), 206u);
    for (std::size_t i = 0; i < 206; ++i) {
        EXPECT_EQ(grid[i], kTones[i].grid) << "item " << i;
        EXPECT_EQ(band[i], kTones[i].band) << "item " << i;
    }
    EXPECT_EQ(BandItems(4), band);
    EXPECT_EQ(BandItems(7), band);
}

TEST(GoldenTones, TextToCodeAndCodeToText) {
    for (std::size_t i = 0; i < 206; ++i) {
        EXPECT_EQ(ToneTextToCode(kTones[i].grid).value_or("?"), kTones[i].code) << kTones[i].grid;
        EXPECT_EQ(ToneTextToCode(kTones[i].band).value_or("?"), kTones[i].code) << kTones[i].band;
        if (i > 0) {
            EXPECT_EQ(ToneCodeToText(kTones[i].code), kTones[i].grid) << kTones[i].code;
        }
    }
    EXPECT_EQ(ToneCodeToText("FFFF"), "");
    EXPECT_EQ(ToneCodeToText("0000"), "");
}

TEST(GoldenTones, ChannelCellsBothDirections) {
    for (std::size_t i = 0; i < 206; ++i) {
        Grid g;
        g.at(1, kColRxFreq) = "145.12500";
        g.at(1, kColTxFreq) = "145.12500";
        g.at(1, kColRxTone) = kTones[i].grid;
        g.at(1, kColTxTone) = kTones[205 - i].grid;
        const auto r = EncodeChannel(g, 1, Band::Upper);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(at(r.value, 9, 12), kTones[i].code) << kTones[i].grid;
        EXPECT_EQ(at(r.value, 23, 26), kTones[205 - i].code) << kTones[205 - i].grid;

        Grid back;
        DecodeChannel(r.value, back, 1);
        EXPECT_EQ(back.at(1, kColRxTone), kTones[i].grid);
        EXPECT_EQ(back.at(1, kColTxTone), kTones[205 - i].grid);
    }
}

TEST(GoldenTones, BandPageListsBothDirections) {
    for (Band band : {Band::Upper, Band::Lower}) {
        const std::size_t k = band == Band::Upper ? 1 : 3;
        for (int i = 0; i < 206; ++i) {
            EditorState s;
            s.band(band).list[4] = i;
            BandListClick(s, band, 4);
            s.band(band).list[7] = 205 - i;
            BandListClick(s, band, 7);
            EXPECT_EQ(at(s.k[k], 13, 16), kTones[i].code) << kTones[i].band;
            EXPECT_EQ(at(s.k[k], 21, 24), kTones[205 - i].code) << kTones[205 - i].band;

            EditorState d;
            DecodeBandBlock(d, band, s.k[k] + s.k[k + 1]);
            EXPECT_EQ(d.band(band).list[4], i) << kTones[i].code;
            EXPECT_EQ(d.band(band).list[7], 205 - i) << kTones[205 - i].code;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Signalling, receive modes and the channel option bits.

TEST(GoldenSignalling, ListAndCodesInChannelsAndOnTheBandPages) {
    ASSERT_EQ(SignallingList().size(), 18u);
    EXPECT_EQ(BandItems(5), SignallingList());
    EXPECT_EQ(BandItems(8), SignallingList());
    for (int i = 0; i < 18; ++i) {
        const Coded& e = kSignalling[i];
        const Coded& other = kSignalling[17 - i];
        EXPECT_EQ(SignallingList()[static_cast<std::size_t>(i)], e.text) << i;

        Grid g;
        g.at(1, kColTxFreq) = "145.12500";
        g.at(1, kColStartSignal) = e.text;
        g.at(1, kColEndSignal) = other.text;
        const auto r = EncodeChannel(g, 1, Band::Lower);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(at(r.value, 27, 28), e.code) << e.text;
        EXPECT_EQ(at(r.value, 29, 30), other.code) << other.text;
        Grid back;
        DecodeChannel(r.value, back, 1);
        EXPECT_EQ(back.at(1, kColStartSignal), e.text) << e.code;
        EXPECT_EQ(back.at(1, kColEndSignal), other.text) << other.code;

        // left8 is the start signalling at digits 25-26, left5 the end signalling at 27-28.
        EditorState s;
        s.upperBand.list[8] = i;
        BandListClick(s, Band::Upper, 8);
        s.upperBand.list[5] = 17 - i;
        BandListClick(s, Band::Upper, 5);
        EXPECT_EQ(at(s.k[1], 25, 26), e.code);
        EXPECT_EQ(at(s.k[1], 27, 28), other.code);
        EditorState d;
        DecodeBandBlock(d, Band::Upper, s.k[1] + s.k[2]);
        EXPECT_EQ(d.upperBand.list[8], i);
        EXPECT_EQ(d.upperBand.list[5], 17 - i);
    }
}

TEST(GoldenReceiveModes, ChannelsAndBandPages) {
    ASSERT_EQ(ReceiveModeList().size(), 2u);
    EXPECT_EQ(BandItems(6), ReceiveModeList());
    for (int i = 0; i < 2; ++i) {
        const Coded& e = kReceiveModes[i];
        EXPECT_EQ(ReceiveModeList()[static_cast<std::size_t>(i)], e.text);
        Grid g;
        g.at(1, kColRxFreq) = "145.12500";
        g.at(1, kColRxMode) = e.text;
        const auto r = EncodeChannel(g, 1, Band::Upper);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(at(r.value, 13, 14), e.code);
        Grid back;
        DecodeChannel(r.value, back, 1);
        EXPECT_EQ(back.at(1, kColRxMode), e.text);
    }
}

TEST(GoldenChannelOptions, EachOptionIsItsOwnBit) {
    // Cells 8..11 with only one option at value 1, and the option byte it gives.
    struct Case {
        const char* power;
        const char* bandwidth;
        const char* compander;
        const char* scrambler;
        const char* code;
    };
    const Case cases[] = {
        {"低", "窄带", "关", "关", "00"}, {"高", "窄带", "关", "关", "80"}, {"低", "宽带", "关", "关", "40"},
        {"低", "窄带", "开", "关", "20"}, {"低", "窄带", "关", "开", "10"}, {"高", "宽带", "开", "开", "F0"},
    };
    for (const Case& c : cases) {
        Grid g;
        g.at(1, kColPower) = c.power;
        g.at(1, kColBandwidth) = c.bandwidth;
        g.at(1, kColCompander) = c.compander;
        g.at(1, kColScrambler) = c.scrambler;
        const auto r = EncodeChannel(g, 1, Band::Upper);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(at(r.value, 31, 32), c.code);
        Grid back;
        DecodeChannel(r.value, back, 1);
        EXPECT_EQ(back.at(1, kColPower), c.power) << c.code;
        EXPECT_EQ(back.at(1, kColBandwidth), c.bandwidth) << c.code;
        EXPECT_EQ(back.at(1, kColCompander), c.compander) << c.code;
        EXPECT_EQ(back.at(1, kColScrambler), c.scrambler) << c.code;
    }
}

TEST(GoldenChannelRecord, FieldPositionsBothWays) {
    // Every field of the record at a distinctive value.
    Grid g;
    g.at(1, kColRxFreq) = "145.12500";
    g.at(1, kColRxTone) = "67.0HZ";
    g.at(1, kColRxMode) = "QT/DQT+信令";
    g.at(1, kColTxFreq) = "438.01250";
    g.at(1, kColTxTone) = "D754I";
    g.at(1, kColStartSignal) = "双音1";
    g.at(1, kColEndSignal) = "身份码";
    g.at(1, kColPower) = "高";
    g.at(1, kColBandwidth) = "宽带";
    g.at(1, kColCompander) = "关";
    g.at(1, kColScrambler) = "开";
    g.at(1, kColName) = "CH1";
    const std::string record = "00DD7174" "029E" "01" "029C5AA2" "C754" "01" "11" "D0" "03434831FFFFFFFF";
    const auto r = EncodeChannel(g, 1, Band::Upper);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.value, record);
    Grid back;
    DecodeChannel(record, back, 1);
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(back.at(1, c), g.at(1, c)) << "column " << c;
    EXPECT_EQ(std::string(kEmptyRecord), "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFFFFFFFFFF");
}

TEST(GoldenChannelRecord, NoToneModeOrSignallingShowsOnlyWhereItsDirectionHasAFrequency) {
    // No tone, receive mode 00 and signalling 00, with one direction's frequency set at a time.
    const std::string rxOnly = "00DD7174" "FFFF" "00" "FFFFFFFF" "FFFF" "00" "00" "FF" "00FFFFFFFFFFFFFF";
    const std::string txOnly = "FFFFFFFF" "FFFF" "00" "00DD7174" "FFFF" "00" "00" "FF" "00FFFFFFFFFFFFFF";
    // Cells 2, 3, 5, 6, 7 as each record shows them.
    const std::vector<std::string> rxShown = {"OFF", "QT/DQT", "", "", ""};
    const std::vector<std::string> txShown = {"", "", "OFF", "关", "关"};
    const int columns[] = {kColRxTone, kColRxMode, kColTxTone, kColStartSignal, kColEndSignal};
    Grid g;
    DecodeChannel(rxOnly, g, 1);
    DecodeChannel(txOnly, g, 2);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(g.at(1, columns[i]), rxShown[i]) << "receive only, column " << columns[i];
        EXPECT_EQ(g.at(2, columns[i]), txShown[i]) << "transmit only, column " << columns[i];
    }
}

// ---------------------------------------------------------------------------------------
// Band pages: item lists, steps and the digit position of every control.

TEST(GoldenBandPage, ItemLists) {
    EXPECT_EQ(BandItems(1), (std::vector<std::string>{"频率模式", "信道模式"}));
    std::vector<std::string> channels;
    for (int n = 1; n <= 128; ++n) channels.push_back(std::to_string(n));
    EXPECT_EQ(BandItems(2), channels);
    EXPECT_EQ(BandItems(10), (std::vector<std::string>{"低", "高"}));
    EXPECT_EQ(BandItems(11), (std::vector<std::string>{"窄带", "宽带"}));
    EXPECT_EQ(BandItems(12), (std::vector<std::string>{"关", "开"}));
    EXPECT_EQ(BandItems(13), (std::vector<std::string>{"关", "开"}));
    EXPECT_EQ(BandItems(14), (std::vector<std::string>{"关", "+", "-"}));
    std::vector<std::string> steps;
    for (const Coded& s : kSteps7) steps.push_back(s.text);
    EXPECT_EQ(BandItems(16), steps);
}

TEST(GoldenBandPage, StepCodesBothWays) {
    ASSERT_EQ(std::size(kStepCodes), 7u);
    for (Band band : {Band::Upper, Band::Lower}) {
        const std::size_t k2 = band == Band::Upper ? 2 : 4;
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(std::string(kStepCodes[i]), kSteps7[i].code);
            EditorState s;
            s.band(band).list[16] = i;
            BandListClick(s, band, 16);
            EXPECT_EQ(at(s.k[k2], 15, 18), kSteps7[i].code) << kSteps7[i].text;
            EditorState d;
            d.band(band).list[16] = -1;
            DecodeBandBlock(d, band, s.k[k2 - 1] + s.k[k2]);
            EXPECT_EQ(d.band(band).list[16], i) << kSteps7[i].code;
        }
    }
}

// One control of a band page: the half of the block (0: k1/k3, 1: k2/k4), its digits there,
// a selection (or edit text) and the digits it stores. The values differ from the start-up
// block and contain no "A", the filler the encoding runs start from.
struct BandSlot {
    int control;
    int half;
    std::size_t from, to;
    int index;
    const char* edit;
    const char* code;
};
const BandSlot kBandSlots[] = {
    {1, 0, 1, 2, 1, nullptr, "01"},        {2, 0, 3, 4, 99, nullptr, "63"},
    {3, 0, 5, 12, 0, "150.05", "00E4F548"}, {4, 0, 13, 16, 205, nullptr, "C754"},
    {6, 0, 17, 18, 1, nullptr, "01"},      {7, 0, 21, 24, 40, nullptr, "8023"},
    {8, 0, 25, 26, 17, nullptr, "11"},     {5, 0, 27, 28, 16, nullptr, "10"},
    {10, 0, 29, 30, 0, nullptr, "00"},     {11, 0, 31, 32, 0, nullptr, "00"},
    {12, 1, 1, 2, 1, nullptr, "01"},       {13, 1, 3, 4, 1, nullptr, "01"},
    {14, 1, 5, 6, 2, nullptr, "02"},       {15, 1, 7, 14, 0, "0.025", "000009C4"},
    {16, 1, 15, 18, 6, nullptr, "1388"},
};

TEST(GoldenBandPage, EachControlWritesExactlyItsDigits) {
    for (Band band : {Band::Upper, Band::Lower}) {
        const std::size_t first = band == Band::Upper ? 1 : 3;
        for (const BandSlot& slot : kBandSlots) {
            EditorState s;
            for (std::size_t k = 1; k <= 15; ++k) s.k[k] = std::string(s.k[k].size(), 'A');
            const EditorState before = s;
            if (slot.edit) {
                (slot.control == 3 ? s.band(band).rxFreq : s.band(band).offset) = slot.edit;
                EXPECT_EQ(BandEditCommit(s, band, slot.control, Trigger::Exit), "");
            } else {
                s.band(band).list[static_cast<std::size_t>(slot.control)] = slot.index;
                BandListClick(s, band, slot.control);
            }
            const std::size_t changed = first + static_cast<std::size_t>(slot.half);
            for (std::size_t k = 1; k <= 15; ++k) {
                const std::string expected = k == changed ? with(before.k[k], slot.from, slot.to, slot.code) : before.k[k];
                EXPECT_EQ(s.k[k], expected) << "control " << slot.control << ", k" << k;
            }
        }
    }
}

TEST(GoldenBandPage, DecoderReadsEachControlFromItsDigits) {
    const std::string startup = "0000FFFFFFFFFFFF00FFFFFF00000101" "000000000F424009C4FFFFFFFFFFFFFF";
    for (Band band : {Band::Upper, Band::Lower}) {
        for (const BandSlot& slot : kBandSlots) {
            const std::size_t offset = slot.half == 0 ? 0 : 32;
            EditorState d;
            DecodeBandBlock(d, band, with(startup, offset + slot.from, offset + slot.to, slot.code));
            const BandPage& p = d.band(band);
            if (slot.control == 3) {
                EXPECT_EQ(p.rxFreq, "150.05000");
            } else if (slot.control == 15) {
                EXPECT_EQ(p.offset, "0.02500");
            } else {
                EXPECT_EQ(p.list[static_cast<std::size_t>(slot.control)], slot.index) << "control " << slot.control;
            }
        }
    }
}

// What a read makes of every value of a one-byte list field: up to `readLimit` the value is
// the index (past the list's end: no selection); above it the list keeps its selection, or
// selects its first item where the rule says so.
struct ReadRule {
    int control;
    int half;
    std::size_t from;
    int items;
    int readLimit;
    bool aboveSelectsFirst;
};
void expectReadRule(const ReadRule& r, int value, int before, int got, const char* page) {
    const int expected = value <= r.readLimit ? (value < r.items ? value : -1) : r.aboveSelectsFirst ? 0 : before;
    EXPECT_EQ(got, expected) << page << " control " << r.control << ", value " << value;
}

TEST(GoldenBandPage, EveryByteValueOfEveryListField) {
    const ReadRule rules[] = {
        {1, 0, 1, 2, 3, true},   {2, 0, 3, 128, 127, true}, {6, 0, 17, 2, 1, false},  {8, 0, 25, 18, 17, false},
        {5, 0, 27, 18, 17, false}, {10, 0, 29, 2, 1, false}, {11, 0, 31, 2, 1, false}, {12, 1, 1, 2, 1, false},
        {13, 1, 3, 2, 1, false}, {14, 1, 5, 3, 2, false},
    };
    const std::string startup = "0000FFFFFFFFFFFF00FFFFFF00000101" "000000000F424009C4FFFFFFFFFFFFFF";
    EditorState d;
    for (const ReadRule& r : rules)
        for (int value = 0; value <= 255; ++value) {
            const int before = 1;  // a selection no rule above gives by itself for every list
            d.upperBand.list[static_cast<std::size_t>(r.control)] = before;
            const std::size_t from = (r.half == 0 ? 0 : 32) + r.from;
            DecodeBandBlock(d, Band::Upper, with(startup, from, from + 1, hex(static_cast<unsigned>(value), 2)));
            expectReadRule(r, value, before, d.upperBand.list[static_cast<std::size_t>(r.control)], "band page");
        }
}

// ---------------------------------------------------------------------------------------
// General page: lists, single tone, DTMF time and every control's digits in k5.

TEST(GoldenGeneralPage, ItemLists) {
    using L = std::vector<std::string>;
    const L backlight{"关", "橙色", "蓝色", "紫色"};
    const L offOn{"关", "开"};
    L volume, ring{"关"}, timeout{"关"}, squelch;
    for (int n = 0; n <= 20; ++n) volume.push_back(std::to_string(n));
    for (int n = 1; n <= 9; ++n) ring.push_back(std::to_string(n));
    for (int n = 30; n <= 600; n += 30) timeout.push_back(std::to_string(n));
    for (int n = 0; n <= 9; ++n) squelch.push_back(std::to_string(n));
    EXPECT_EQ(GeneralItems(1), (L{"上段", "下段"}));
    EXPECT_EQ(GeneralItems(2), volume);
    EXPECT_EQ(GeneralItems(4), backlight);
    EXPECT_EQ(GeneralItems(5), backlight);
    EXPECT_EQ(GeneralItems(6), backlight);
    EXPECT_EQ(GeneralItems(7), (L{"自动", "常开"}));
    EXPECT_EQ(GeneralItems(8), offOn);
    EXPECT_EQ(GeneralItems(9), ring);
    EXPECT_EQ(GeneralItems(10), offOn);
    EXPECT_EQ(GeneralItems(11), timeout);
    EXPECT_EQ(GeneralItems(14), squelch);
    EXPECT_EQ(GeneralItems(15), offOn);
    L tones, times;
    for (const Coded& c : kSingleTones) tones.push_back(c.text);
    for (const Coded& c : kDtmfTimes4) times.push_back(c.text);
    EXPECT_EQ(GeneralItems(12), tones);
    EXPECT_EQ(GeneralItems(13), times);
}

TEST(GoldenGeneralPage, SingleToneAndDtmfTimeCodesBothWays) {
    for (int i = 0; i < 4; ++i) {
        EditorState s;
        s.general.list[12] = i;
        GeneralListClick(s, 12);
        s.general.list[13] = 3 - i;
        GeneralListClick(s, 13);
        EXPECT_EQ(at(s.k[5], 25, 28), kSingleTones[i].code) << kSingleTones[i].text;
        EXPECT_EQ(at(s.k[5], 29, 32), kDtmfTimes4[3 - i].code) << kDtmfTimes4[3 - i].text;
        EditorState d;
        d.general.list[12] = d.general.list[13] = -1;
        DecodeGeneralBlock(d, s.k[5]);
        EXPECT_EQ(d.general.list[12], i) << kSingleTones[i].code;
        EXPECT_EQ(d.general.list[13], 3 - i) << kDtmfTimes4[3 - i].code;
    }
}

struct GeneralSlot {
    int control;
    std::size_t from, to;
    int index;
    const char* code;
};
// Values that differ from the start-up block and contain no "A".
const GeneralSlot kGeneralSlots[] = {
    {1, 1, 2, 1, "01"},    {2, 3, 4, 20, "14"},   {4, 9, 10, 3, "03"},      {5, 11, 12, 1, "01"},
    {6, 13, 14, 2, "02"},  {7, 15, 16, 1, "01"},  {8, 17, 18, 0, "00"},     {9, 19, 20, 9, "09"},
    {10, 21, 22, 1, "01"}, {11, 23, 24, 20, "14"}, {12, 25, 28, 1, "05AA"}, {13, 29, 32, 3, "00C8"},
    {14, 33, 34, 9, "09"}, {15, 35, 36, 1, "01"},
};

TEST(GoldenGeneralPage, EachControlWritesExactlyItsDigits) {
    for (const GeneralSlot& slot : kGeneralSlots) {
        EditorState s;
        for (std::size_t k = 1; k <= 15; ++k) s.k[k] = std::string(s.k[k].size(), 'A');
        const EditorState before = s;
        s.general.list[static_cast<std::size_t>(slot.control)] = slot.index;
        GeneralListClick(s, slot.control);
        for (std::size_t k = 1; k <= 15; ++k)
            EXPECT_EQ(s.k[k], k == 5 ? with(before.k[5], slot.from, slot.to, slot.code) : before.k[k])
                << "gn" << slot.control << ", k" << k;
    }
    EditorState s;
    s.k[5] = std::string(36, 'A');
    s.general.radioFreq = "94.5";
    EXPECT_EQ(GeneralRadioCommit(s), "");
    EXPECT_EQ(s.k[5], with(std::string(36, 'A'), 5, 8, "03B1"));
}

TEST(GoldenGeneralPage, DecoderReadsEachControlFromItsDigits) {
    const std::string startup = "000FFFFF010203000102000406D600320300";
    for (const GeneralSlot& slot : kGeneralSlots) {
        EditorState d;
        DecodeGeneralBlock(d, with(startup, slot.from, slot.to, slot.code));
        EXPECT_EQ(d.general.list[static_cast<std::size_t>(slot.control)], slot.index) << "gn" << slot.control;
    }
    EditorState d;
    DecodeGeneralBlock(d, with(startup, 5, 8, "03AC"));
    EXPECT_EQ(d.general.radioFreq, "94.0");
}

TEST(GoldenGeneralPage, EveryByteValueOfEveryListField) {
    const ReadRule rules[] = {
        {2, 0, 3, 21, 20, false},  {4, 0, 9, 4, 7, false},   {5, 0, 11, 4, 7, false},  {6, 0, 13, 4, 7, false},
        {7, 0, 15, 2, 1, false},   {8, 0, 17, 2, 1, false},  {9, 0, 19, 10, 9, false}, {10, 0, 21, 2, 9, false},
        {11, 0, 23, 21, 20, false}, {14, 0, 33, 10, 9, false}, {15, 0, 35, 2, 1, false},
    };
    const std::string startup = "000FFFFF010203000102000406D600320300";
    EditorState d;
    for (const ReadRule& r : rules)
        for (int value = 0; value <= 255; ++value) {
            const int before = 1;
            d.general.list[static_cast<std::size_t>(r.control)] = before;
            DecodeGeneralBlock(d, with(startup, r.from, r.from + 1, hex(static_cast<unsigned>(value), 2)));
            expectReadRule(r, value, before, d.general.list[static_cast<std::size_t>(r.control)], "general page");
        }
    // The main band takes only its two codes.
    for (int value = 0; value <= 255; ++value) {
        d.general.list[1] = 7;
        DecodeGeneralBlock(d, with(startup, 1, 2, hex(static_cast<unsigned>(value), 2)));
        EXPECT_EQ(d.general.list[1], value <= 1 ? value : 7) << "main band " << value;
    }
}

// ---------------------------------------------------------------------------------------
// DTMF and identity codes: digit codes and where each of the sixteen codes lives.

TEST(GoldenDtmf, DigitCodesBothWays) {
    for (const Coded& c : kDtmfDigits) {
        EXPECT_EQ(DtmfTextToCode8(c.text), std::string("01") + c.code + repeat("FF", 6)) << c.text;
        EXPECT_EQ(DtmfTextToCode6(c.text), std::string("01") + c.code + repeat("FF", 4)) << c.text;
        EXPECT_EQ(DtmfCodeToText(std::string("01") + c.code + repeat("FF", 6)), c.text) << c.code;
    }
    EXPECT_EQ(DtmfTextToCode8(""), "00FFFFFFFFFFFFFF");
    EXPECT_EQ(DtmfTextToCode6(""), "00FFFFFFFFFF");
}

struct CodeSlot {
    CodeKind kind;
    int number;
    std::size_t field, from, to;
    int blockFrom;  // where its read block decoder finds it (0x0240, 0x0270 or 0x0280 block)
};
const CodeSlot kCodeSlots[16] = {
    {CodeKind::Dtmf, 1, 6, 1, 16, 1},          {CodeKind::Dtmf, 2, 6, 17, 32, 17},
    {CodeKind::Dtmf, 3, 7, 1, 16, 33},         {CodeKind::Dtmf, 4, 7, 17, 32, 49},
    {CodeKind::Dtmf, 5, 8, 1, 16, 65},         {CodeKind::Dtmf, 6, 8, 17, 32, 81},
    {CodeKind::Dtmf, 7, 9, 1, 16, 1},          {CodeKind::Dtmf, 8, 9, 17, 32, 17},
    {CodeKind::Identity, 1, 12, 1, 16, 1},     {CodeKind::Identity, 2, 12, 17, 32, 17},
    {CodeKind::Identity, 3, 13, 1, 12, 33},    {CodeKind::Identity, 4, 13, 13, 24, 45},
    {CodeKind::Identity, 5, 14, 1, 12, 57},    {CodeKind::Identity, 6, 14, 13, 24, 69},
    {CodeKind::Identity, 7, 15, 1, 12, 81},    {CodeKind::Identity, 8, 15, 13, 24, 93},
};

TEST(GoldenDtmf, EachCodeWritesExactlyItsDigits) {
    for (const CodeSlot& slot : kCodeSlots) {
        const bool longCode = slot.to - slot.from == 15;
        EXPECT_EQ(CodeLimit(slot.kind, slot.number), longCode ? 7 : 5);
        EditorState s;
        for (std::size_t k = 1; k <= 15; ++k) s.k[k] = std::string(s.k[k].size(), 'A');
        const EditorState before = s;
        (slot.kind == CodeKind::Dtmf ? s.dtmf.sy : s.dtmf.sypz)[static_cast<std::size_t>(slot.number)] =
            longCode ? "1234567" : "12345";
        EXPECT_EQ(DtmfTextChanged(s, slot.kind, slot.number), "");
        const std::string code = longCode ? "0701020304050607" : "050102030405";
        for (std::size_t k = 1; k <= 15; ++k)
            EXPECT_EQ(s.k[k], k == slot.field ? with(before.k[k], slot.from, slot.to, code) : before.k[k])
                << (slot.kind == CodeKind::Dtmf ? "sy" : "sypz") << slot.number << ", k" << k;
    }
}

TEST(GoldenDtmf, BlockDecodersReadEachCodeFromItsDigits) {
    for (const CodeSlot& slot : kCodeSlots) {
        const bool longCode = slot.to - slot.from == 15;
        const std::string code = longCode ? "03010203FFFFFFFF" : "030A0B0CFFFF";
        EditorState d;
        if (slot.kind == CodeKind::Identity) {
            const std::string block = "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF" + repeat("00FFFFFFFFFF", 6) + repeat("FF", 12);
            DecodeIdCodeBlock(d, with(block, static_cast<std::size_t>(slot.blockFrom),
                                      static_cast<std::size_t>(slot.blockFrom) + code.size() - 1, code));
        } else if (slot.number <= 6) {
            DecodeDtmfBlock(d, with(repeat("00FFFFFFFFFFFFFF", 6), static_cast<std::size_t>(slot.blockFrom),
                                    static_cast<std::size_t>(slot.blockFrom) + 15, code));
        } else {
            DecodeDtmf78Block(d, with(repeat("00FFFFFFFFFFFFFF", 2), static_cast<std::size_t>(slot.blockFrom),
                                      static_cast<std::size_t>(slot.blockFrom) + 15, code));
        }
        const auto& texts = slot.kind == CodeKind::Dtmf ? d.dtmf.sy : d.dtmf.sypz;
        for (int n = 1; n <= 8; ++n)
            EXPECT_EQ(texts[static_cast<std::size_t>(n)], n == slot.number ? (longCode ? "123" : "0*#") : "")
                << (slot.kind == CodeKind::Dtmf ? "sy" : "sypz") << slot.number << " decoded into " << n;
    }
}

// ---------------------------------------------------------------------------------------
// Power-on message and band limits: slices of k10 and k11.

TEST(GoldenLimitsPage, EachEditWritesExactlyItsDigits) {
    struct Slot {
        int control;  // 1, 2: message lines; 11..14: xp1..xp4; 15: xp5
        std::size_t field, from, to;
        const char* code;
    };
    const Slot slots[] = {
        {1, 10, 1, 16, "03414243FFFFFFFF"}, {2, 10, 17, 32, "03414243FFFFFFFF"}, {11, 11, 1, 8, "00CF8500"},
        {12, 11, 9, 16, "00CF8500"},        {13, 11, 17, 24, "00CF8500"},        {14, 11, 25, 32, "00CF8500"},
        {15, 11, 33, 34, "00"},
    };
    for (const Slot& slot : slots) {
        EditorState s;
        for (std::size_t k = 1; k <= 15; ++k) s.k[k] = std::string(s.k[k].size(), 'A');
        const EditorState before = s;
        if (slot.control <= 2) {
            (slot.control == 1 ? s.limits.kaiji1 : s.limits.kaiji2) = "ABC";
            EXPECT_EQ(MessageLineCommit(s, slot.control), "");
        } else if (slot.control <= 14) {
            s.limits.xp[static_cast<std::size_t>(slot.control - 10)] = "136";
            EXPECT_EQ(LimitCommit(s, slot.control - 10), "");
        } else {
            s.limits.xp5 = 0;
            EXPECT_EQ(LimitSwitchClick(s), "");
        }
        for (std::size_t k = 1; k <= 15; ++k)
            EXPECT_EQ(s.k[k], k == slot.field ? with(before.k[k], slot.from, slot.to, slot.code) : before.k[k])
                << "control " << slot.control << ", k" << k;

        // The 66 digits read at 0x02D0: k10 then k11.
        std::string block = "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF" "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01";
        const std::size_t offset = slot.field == 10 ? 0 : 32;
        block = with(block, offset + slot.from, offset + slot.to, slot.code);
        EditorState d;
        DecodePowerOnAndLimits(d, block);
        EXPECT_EQ(d.limits.kaiji1, slot.control == 1 ? "ABC" : "");
        EXPECT_EQ(d.limits.kaiji2, slot.control == 2 ? "ABC" : "");
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(d.limits.xp[static_cast<std::size_t>(n)], slot.control == 10 + n ? "136" : "") << "xp" << n;
        EXPECT_EQ(d.limits.xp5, slot.control == 15 ? 0 : 1);
    }
}

// ---------------------------------------------------------------------------------------
// Hidden block fields: length, caption and both defaults.

struct Hidden {
    int digits;
    const char* caption;
    const char* windowDefault;
    const char* newText;
};
const Hidden kHidden[16] = {
    {0, "", "", ""},
    {32, "0X0300--0X030F:", "000200E4F548FFFF0000FFFF00000101", "0000FFFFFFFFFFFF00FFFFFF00000101"},
    {32, "0X0310--0X031F:", "000000000F424009C4FFFFFFFFFFFFFF", "000000000F424009C4FFFFFFFFFFFFFF"},
    {32, "0X0380--0X038F:", "000200E4F548FFFF0000FFFF00000101", "0000FFFFFFFFFFFF00FFFFFF00000101"},
    {32, "0X0390--0X039F:", "000000000F424009C4FFFFFFFFFFFFFF", "000000000F424009C4FFFFFFFFFFFFFF"},
    {36, "0X0200--0X0211:", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", "000FFFFF010203000102000406D600320300"},
    {32, "0X0240--0X024F:", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"},
    {32, "0X0250--0X025F:", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"},
    {32, "0X0260--0X026F:", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"},
    {32, "0X0270--0X027F:", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"},
    {32, "0X02D0--0X02DF:", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"},
    {34, "0X02E0--0X02EF:", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01"},
    {32, "0X0280--0X028F:", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF", "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF"},
    {24, "0X0290--0X029B:", "00FFFFFFFFFF00FFFFFFFFFF", "00FFFFFFFFFF00FFFFFFFFFF"},
    {24, "0X029C--0X02A7:", "00FFFFFFFFFF00FFFFFFFFFF", "00FFFFFFFFFF00FFFFFFFFFF"},
    {24, "0X02A8--0X02B3:", "00FFFFFFFFFF00FFFFFFFFFF", "00FFFFFFFFFF00FFFFFFFFFF"},
};

TEST(GoldenHiddenFields, LengthsCaptionsAndDefaults) {
    const EditorState startup;
    const EditorState fresh = NewState();
    for (int n = 1; n <= 15; ++n) {
        const Hidden& h = kHidden[n];
        const HiddenField& f = hiddenField(n);
        EXPECT_EQ(f.number, n);
        EXPECT_EQ(f.digits, h.digits) << "k" << n;
        EXPECT_EQ(std::string(f.caption), h.caption) << "k" << n;
        EXPECT_EQ(std::string(f.windowDefault), h.windowDefault) << "k" << n;
        EXPECT_EQ(std::string(f.newText), h.newText) << "k" << n;
        // Start-up sets k1..k11; k12..k15 keep the window definition's text.
        EXPECT_EQ(startup.k[static_cast<std::size_t>(n)], n <= 11 ? h.newText : h.windowDefault) << "k" << n;
        EXPECT_EQ(fresh.k[static_cast<std::size_t>(n)], h.newText) << "k" << n;
    }
}

// ---------------------------------------------------------------------------------------
// The transfer list: 136 blocks with address, length, reply, read slices and write data.

struct Slice {
    int field, from, to;
};
struct SettingsBlock {
    int j;
    unsigned address, length;
    int replyDigits;
    std::vector<Slice> slices;
    // Write data: "k<n>" pieces, "FF*<n>" fill, "remote".
    std::vector<std::string> written;
};
const SettingsBlock kSettingsBlocks8[8] = {
    {128, 0x0300, 0x0030, 96, {{1, 1, 32}, {2, 33, 64}}, {"k1", "k2", "FF*16"}},
    {129, 0x0380, 0x0030, 96, {{3, 1, 32}, {4, 33, 64}}, {"k3", "k4", "FF*16"}},
    {130, 0x0200, 0x0030, 96, {{5, 1, 36}}, {"k5", "FF*30"}},
    {131, 0x0240, 0x0030, 96, {{6, 1, 32}, {7, 33, 64}, {8, 65, 96}}, {"k6", "k7", "k8"}},
    {132, 0x0270, 0x0010, 32, {{9, 1, 32}}, {"k9"}},
    {133, 0x0280, 0x0040, 128, {{12, 1, 32}, {13, 33, 56}, {14, 57, 80}, {15, 81, 104}}, {"k12", "k13", "k14", "k15", "FF*12"}},
    {134, 0x02C0, 0x0001, 2, {}, {"remote"}},
    {135, 0x02D0, 0x0021, 66, {{10, 1, 32}, {11, 33, 66}}, {"k10", "k11"}},
};

struct BlockRow {
    unsigned address, length;
    int replyDigits;
};
BlockRow expectedBlock(int j) {
    if (j < 64) return {0x0400u + 48u * static_cast<unsigned>(j), 0x30, 96};
    if (j < 128) return {0x1000u + 48u * static_cast<unsigned>(j - 64), 0x30, 96};
    const auto& b = kSettingsBlocks8[j - 128];
    return {b.address, b.length, b.replyDigits};
}

TEST(GoldenTransferList, AddressesLengthsAndReplies) {
    ASSERT_EQ(TransferList().size(), 136u);
    for (int j = 0; j < 136; ++j) {
        const BlockRow e = expectedBlock(j);
        const auto& b = TransferList()[static_cast<std::size_t>(j)];
        EXPECT_EQ(b.j, j);
        EXPECT_EQ(b.address, e.address) << "block " << j;
        EXPECT_EQ(b.length, e.length) << "block " << j;
        EXPECT_EQ(ReadFrame(j), "52454144" + hex(e.address, 4) + hex(e.length, 4)) << "block " << j;
        EXPECT_TRUE(ReplyComplete(j, static_cast<std::size_t>(e.replyDigits))) << "block " << j;
        EXPECT_FALSE(ReplyComplete(j, static_cast<std::size_t>(e.replyDigits) - 2)) << "block " << j;
        EXPECT_FALSE(ReplyComplete(j, static_cast<std::size_t>(e.replyDigits) + 2)) << "block " << j;
    }
}

TEST(GoldenTransferList, SettingsBlocksReadIntoTheirSlices) {
    for (const SettingsBlock& b : kSettingsBlocks8) {
        const std::string reply =
            b.j == 134 ? std::string("02") : noise(static_cast<std::size_t>(b.replyDigits), static_cast<unsigned>(b.j));
        EditorState s;
        const EditorState before = s;
        ApplyReadBlock(s, b.j, reply);
        std::vector<bool> set(16, false);
        for (const Slice& sl : b.slices) {
            set[static_cast<std::size_t>(sl.field)] = true;
            EXPECT_EQ(s.k[static_cast<std::size_t>(sl.field)],
                      reply.substr(static_cast<std::size_t>(sl.from - 1), static_cast<std::size_t>(sl.to - sl.from + 1)))
                << "block " << b.j << ", k" << sl.field;
        }
        for (std::size_t k = 1; k <= 15; ++k)
            if (!set[k]) {
                EXPECT_EQ(s.k[k], before.k[k]) << "block " << b.j << " changed k" << k;
            }
        EXPECT_EQ(s.dtmf.sypz9, b.j == 134 ? 2 : 0);
    }
}

TEST(GoldenTransferList, SettingsBlocksWriteTheirPiecesInOrder) {
    EditorState s;
    for (int n = 1; n <= 15; ++n)
        s.k[static_cast<std::size_t>(n)] = noise(static_cast<std::size_t>(kHidden[n].digits), static_cast<unsigned>(100 + n));
    s.dtmf.sypz9 = 2;
    for (const SettingsBlock& b : kSettingsBlocks8) {
        std::string expected;
        for (const std::string& piece : b.written) {
            if (piece == "remote") expected += "02";
            else if (piece.rfind("FF*", 0) == 0) expected += repeat("FF", std::stoi(piece.substr(3)));
            else expected += s.k[static_cast<std::size_t>(std::stoi(piece.substr(1)))];
        }
        ASSERT_EQ(expected.size(), 2u * b.length) << "test table, block " << b.j;
        const auto data = BlockData(s, b.j);
        ASSERT_TRUE(data.ok()) << data.error;
        EXPECT_EQ(data.value, expected) << "block " << b.j;
    }
}

// A record whose receive frequency tells band and row apart: 136.00001 .. 136.00128 upper,
// 137.00001 .. 137.00128 lower.
std::string rowRecord(bool upper, int row) {
    return hex((upper ? 13600000u : 13700000u) + static_cast<unsigned>(row), 8) + "FFFFFF" + "FFFFFFFF" + "FFFFFFFFFF" +
           "00FFFFFFFFFFFFFF";
}
std::string rowFrequency(bool upper, int row) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%03d", upper ? "136.00" : "137.00", row);
    return buf;
}

TEST(GoldenTransferList, ChannelBlocksHoldTwoConsecutiveRows) {
    EditorState s;
    for (int j = 0; j < 128; ++j) {
        const bool upper = j < 64;
        const int b = upper ? j : j - 64;
        ApplyReadBlock(s, j, rowRecord(upper, 2 * b + 1) + rowRecord(upper, 2 * b + 2));
    }
    for (int row = 1; row <= 128; ++row) {
        EXPECT_EQ(s.upper.at(row, kColRxFreq), rowFrequency(true, row)) << "upper row " << row;
        EXPECT_EQ(s.lower.at(row, kColRxFreq), rowFrequency(false, row)) << "lower row " << row;
    }
    for (int j = 0; j < 128; ++j) {
        const bool upper = j < 64;
        const int b = upper ? j : j - 64;
        const auto data = BlockData(s, j);
        ASSERT_TRUE(data.ok()) << data.error;
        EXPECT_EQ(data.value, rowRecord(upper, 2 * b + 1) + rowRecord(upper, 2 * b + 2)) << "block " << j;
    }
}
