// CHIRP-style CSV: exact bytes out, a hand-made CHIRP file in, the round trip, bad rows by line.
#include "exchange/chirp_csv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

#include "base/text.h"
#include "image/channel_codec.h"
#include "image/transfer.h"
#include "tests/random_cases.h"
#include "tests/random_state.h"

namespace {

using exchange::ExportCsv;
using exchange::ImportCsv;
using image::Band;
using image::EditorState;

using Row = std::array<std::string, 12>;  // cells 1..12

void SetRow(EditorState& s, Band band, int row, const Row& cells) {
    for (int c = 1; c <= 12; ++c) s.grid(band).at(row, c) = cells[static_cast<std::size_t>(c - 1)];
}
Row GetRow(const EditorState& s, Band band, int row) {
    Row r;
    for (int c = 1; c <= 12; ++c) r[static_cast<std::size_t>(c - 1)] = s.grid(band).at(row, c);
    return r;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(ChirpCsv, ExportWritesTheHeaderAndEveryRowExactly) {
    EditorState s = image::NewState();
    // As the editors leave them, and as a read decodes them (OFF, no option cells).
    SetRow(s, Band::Lower, 1, {"146.94000", "0FF", "关", "146.34000", "100.0HZ", "关", "关", "高", "宽带", "关", "关", "W1AW"});
    SetRow(s, Band::Lower, 2, {"442.12500", "D023I", "QT/DQT", "447.12500", "D023N", "双音1", "关", "低", "窄带", "开", "开", "A,B"});
    SetRow(s, Band::Lower, 3, {"145.80000", "94.8HZ", "关", "435.80000", "94.8HZ", "关", "关", "高", "宽带", "关", "关", "SAT"});
    SetRow(s, Band::Lower, 4, {"162.55000", "D754N", "QT/DQT", "", "", "", "", "高", "宽带", "关", "关", ""});
    SetRow(s, Band::Lower, 5, {"", "", "", "146.00000", "OFF", "关", "关", "", "", "", "", ""});
    SetRow(s, Band::Lower, 6, {"446.00625", "151.4HZ", "关", "446.00625", "D051I", "关", "关", "高", "窄带", "关", "关", "PMR"});
    SetRow(s, Band::Lower, 7, {"145.50000", "100.0HZ", "关", "145.50000", "156.7HZ", "关", "关", "低", "宽带", "关", "关", "X"});
    SetRow(s, Band::Lower, 128, {"400.00000", "OFF", "QT/DQT", "490.00000", "OFF", "关", "关", "", "", "", "", " q "});
    SetRow(s, Band::Upper, 9, {"145.00000", "OFF", "关", "", "", "", "", "高", "宽带", "关", "关", "UP"});

    const base::LanguageScope english(base::Language::English);
    const auto out = ExportCsv(s, Band::Lower);
    EXPECT_EQ(out.text,
              "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
              "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
              "1,W1AW,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\r\n"
              "2,\"A,B\",442.125000,+,5.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,NFM,5.00,,1.0W,,,,,\r\n"
              "3,SAT,145.800000,split,435.800000,TSQL,88.5,94.8,023,NN,023,Tone->Tone,FM,5.00,,5.0W,,,,,\r\n"
              "4,,162.550000,off,0.000000,Cross,88.5,88.5,023,NN,754,->DTCS,FM,5.00,,5.0W,,,,,\r\n"
              "6,PMR,446.006250,,0.000000,Cross,88.5,151.4,051,RN,023,DTCS->Tone,NFM,5.00,,5.0W,,,,,\r\n"
              "7,X,145.500000,,0.000000,Cross,156.7,100.0,023,NN,023,Tone->Tone,FM,5.00,,1.0W,,,,,\r\n"
              "128, q ,400.000000,+,90.000000,,88.5,88.5,023,NN,023,Tone->Tone,,5.00,,,,,,,\r\n");
    EXPECT_EQ(out.written, 7);
    const std::vector<std::string> warnings = {
        "channel 5: a transmit frequency without a receive frequency has no CSV row; left out",
        "channel 128: power and bandwidth not set: Power and Mode written empty, which CHIRP may refuse or read as its "
        "default (an import back into this codeplug keeps them unset)",
        "channel 2 comes back changed: Name 'A,B': ',' cannot be kept in a codeplug file: taken as 'A B'"};
    ASSERT_EQ(out.warnings.size(), warnings.size());
    for (std::size_t i = 0; i < warnings.size(); ++i) EXPECT_EQ(out.warnings[i].text, warnings[i]);
    // What a CHIRP without CrossMode, RxDtcsCode and Power reads otherwise; Tone->Tone it reads right.
    ASSERT_EQ(out.olderChirp.size(), 3u);
    EXPECT_EQ(out.olderChirp[0].text,
              "channel 4: Cross ->DTCS is read by a CHIRP without the CrossMode and RxDtcsCode columns as Tone->Tone, "
              "receiving 88.5 Hz");
    EXPECT_EQ(out.olderChirp[1].text.rfind("channel 6: Cross DTCS->Tone is read", 0), 0u);
    EXPECT_EQ(out.olderChirp[2].text, "channel 2, 7: power Low is read by a CHIRP without the Power column as its default power");
    // What has no column is named, channel by channel, with the grid's headings and items.
    ASSERT_EQ(out.notCarried.size(), 3u);
    EXPECT_EQ(out.notCarried[0].text.rfind("channel 2: ", 0), 0u) << out.notCarried[0].text;
    EXPECT_NE(out.notCarried[0].text.find(" have no CSV column: "), std::string::npos) << out.notCarried[0].text;
    EXPECT_EQ(out.notCarried[2].text.rfind("channel 128: ", 0), 0u);
    {
        const base::LanguageScope chinese(base::Language::Chinese);
        const auto zh = ExportCsv(s, Band::Lower);
        EXPECT_EQ(zh.olderChirp[2].text, "信道 2、7: 功率 低 会被没有 Power 列的 CHIRP 读作其默认功率");
        EXPECT_EQ(zh.notCarried[0].text.rfind("信道 2: 接收模式 QT/DQT、发射开始信令 双音1、压扩 开、扰频 开 在 CSV 中没有列", 0), 0u)
            << zh.notCarried[0].text;
        EXPECT_EQ(zh.warnings[1].text, "信道 128: 功率, 宽窄带 未设置: Power and Mode 写为空, CHIRP 可能拒绝或当作其默认值 "
                                       "(导入回本码表时仍为未设置)");
    }

    // Nothing to export: no row, and the caller is told by the count.
    EXPECT_EQ(ExportCsv(image::NewState(), Band::Upper).written, 0);
    EXPECT_EQ(ExportCsv(s, Band::Upper).written, 1);
}

TEST(ChirpCsv, ImportsAHandMadeFileInChirpsOwnStyle) {
    const std::string csv = ReadAll(EXCHANGE_DATA "/chirp_repeaters.csv");
    ASSERT_FALSE(csv.empty());
    const EditorState before = image::NewState();
    const auto result = ImportCsv(csv, before, Band::Upper);
    for (const auto& p : result.problems) ADD_FAILURE() << p.text();
    EXPECT_TRUE(result.warnings.empty());
    ASSERT_TRUE(result.applied);
    EXPECT_EQ(result.imported, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 20}));

    const std::map<int, Row> expected = {
        {1, {"146.94000", "0FF", "关", "146.34000", "100.0HZ", "关", "关", "高", "宽带", "关", "关", "W1AW"}},
        {2, {"147.12000", "123.0HZ", "关", "147.72000", "123.0HZ", "关", "关", "高", "宽带", "关", "关", "N1XYZ"}},
        {3, {"146.52000", "0FF", "关", "146.52000", "0FF", "关", "关", "低", "宽带", "关", "关", "SIMPLX"}},
        {4, {"442.12500", "D023I", "关", "447.12500", "D023N", "关", "关", "高", "窄带", "关", "关", "UHF RPT"}},
        {5, {"444.95000", "D754N", "关", "449.95000", "D051I", "关", "关", "高", "宽带", "关", "关", "K2 ABC"}},
        {6, {"145.23000", "D025N", "关", "144.63000", "67.0HZ", "关", "关", "高", "宽带", "关", "关", "XBAND"}},
        {7, {"441.00000", "151.4HZ", "关", "436.00000", "D047N", "关", "关", "高", "宽带", "关", "关", "DCS2TN"}},
        {8, {"146.64000", "88.5HZ", "关", "146.04000", "0FF", "关", "关", "高", "宽带", "关", "关", "RXONLY"}},
        {9, {"147.00000", "D131I", "关", "147.60000", "0FF", "关", "关", "高", "宽带", "关", "关", "RXDCS"}},
        {10, {"433.50000", "0FF", "关", "433.50000", "156.7HZ", "关", "关", "低", "窄带", "关", "关", "TXTONE"}},
        {11, {"145.50000", "0FF", "关", "145.50000", "D243I", "关", "关", "高", "宽带", "关", "关", "TXDCS"}},
        {12, {"145.80000", "0FF", "关", "435.80000", "94.8HZ", "关", "关", "高", "宽带", "关", "关", "SAT"}},
        {13, {"162.55000", "0FF", "关", "", "", "", "", "低", "宽带", "关", "关", "WX1"}},
        {14, {"448.27500", "114.8HZ", "关", "443.27500", "100.0HZ", "关", "关", "高", "宽带", "关", "关", "TT448"}},
        {20, {"446.00625", "0FF", "关", "446.00625", "0FF", "关", "关", "低", "窄带", "关", "关", "PMR1"}},
    };
    for (int r = 1; r <= image::kChannels; ++r) {
        const auto it = expected.find(r);
        EXPECT_EQ(GetRow(result.state, Band::Upper, r), it == expected.end() ? Row{} : it->second) << "channel " << r;
    }
    EXPECT_EQ(result.state.lower, before.lower);
    EXPECT_EQ(result.state.k, before.k);
}

// Files in the forms CHIRP and the spreadsheets after it write: watts, comments, other
// separators, extra columns, locations from 0, names longer than the radio's.
TEST(ChirpCsv, ImportsChirpsOwnForms) {
    const base::LanguageScope english(base::Language::English);
    const std::string fifty = ReadAll(EXCHANGE_DATA "/chirp_50_repeaters.csv");
    ASSERT_FALSE(fifty.empty());
    for (Band band : {Band::Upper, Band::Lower}) {
        const EditorState onto = random_state::RandomState(3);
        const auto r = ImportCsv(fifty, onto, band);
        for (const auto& p : r.problems) ADD_FAILURE() << p.text();
        ASSERT_TRUE(r.applied);
        EXPECT_EQ(r.imported.size(), 50u);
        // The only warnings: the five names longer than 7 bytes, cut.
        ASSERT_EQ(r.warnings.size(), 5u);
        EXPECT_EQ(r.warnings[0].text(), "line 5: Name 'MtWashington' is longer than 7 bytes: cut to 'MtWashi'");
        EXPECT_EQ(r.warnings[0].column, "Name");
        EXPECT_EQ(r.warnings[1].text(), "line 15: Name 'Blue Hill Obs' is longer than 7 bytes: cut to 'Blue Hi'");
        const image::Grid& g = r.state.grid(band);
        EXPECT_EQ(GetRow(r.state, band, 4)[11], "MtWashi");
        // Watts: 50 W and 2.5 W are 高; 1.0, 2.0 and 0.5 W are 低.
        for (auto [channel, power] : std::vector<std::pair<int, std::string>>{{1, "高"}, {3, "低"}, {5, "低"}, {8, "高"}, {9, "低"}})
            EXPECT_EQ(g.at(channel, image::kColPower), power) << channel;
        // Repeaters with duplex and split, DTCS with its polarities, a cross mode.
        EXPECT_EQ(GetRow(r.state, band, 8)[0], "444.15000");
        EXPECT_EQ(g.at(8, image::kColTxFreq), "449.15000");
        EXPECT_EQ(g.at(8, image::kColTxTone), "D165I");
        EXPECT_EQ(g.at(8, image::kColRxTone), "D165I");
        EXPECT_EQ(g.at(20, image::kColTxTone), "123.0HZ");
        EXPECT_EQ(g.at(20, image::kColRxTone), "D243N");
        EXPECT_EQ(g.at(42, image::kColTxFreq), "145.93000");
        EXPECT_EQ(g.at(42, image::kColBandwidth), "窄带");
        // What CSV has no column for stays as the random codeplug had it.
        for (int channel = 1; channel <= 50; ++channel) {
            if (!onto.grid(band).at(channel, image::kColRxFreq).empty()) {
                EXPECT_EQ(g.at(channel, image::kColCompander), onto.grid(band).at(channel, image::kColCompander)) << channel;
            }
        }
        EXPECT_EQ(r.state.grid(band == Band::Upper ? Band::Lower : Band::Upper),
                  onto.grid(band == Band::Upper ? Band::Lower : Band::Upper));
    }

    // Semicolons, comment lines before and between the rows, an extra column, H/l/empty
    // power, counted from 0.
    const std::string zero = ReadAll(EXCHANGE_DATA "/chirp_semicolons_from_zero.csv");
    const EditorState fresh = image::NewState();
    auto r = ImportCsv(zero, fresh, Band::Lower);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].line, 5);
    EXPECT_EQ(r.problems[0].column, "Location");
    r = ImportCsv(zero, fresh, Band::Lower, false, 0);
    for (const auto& p : r.problems) ADD_FAILURE() << p.text();
    EXPECT_EQ(r.imported, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(GetRow(r.state, Band::Lower, 1),
              (Row{"146.52000", "0FF", "关", "146.52000", "0FF", "关", "关", "高", "宽带", "关", "关", "CALL"}));
    EXPECT_EQ(GetRow(r.state, Band::Lower, 2),
              (Row{"145.23000", "D025I", "关", "144.63000", "67.0HZ", "关", "关", "低", "宽带", "关", "关", "XBAND"}));
    EXPECT_EQ(GetRow(r.state, Band::Lower, 3),
              (Row{"446.00625", "D051I", "关", "446.00625", "D051I", "关", "关", "高", "窄带", "关", "关", "PMR1"}));
    EXPECT_EQ(GetRow(r.state, Band::Lower, 4),
              (Row{"433.50000", "94.8HZ", "关", "145.90000", "94.8HZ", "关", "关", "低", "宽带", "关", "关", "SATELLI"}));
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0].line, 9);  // after the comment between the rows

    // Tabs; power in any letter case, with a blank before the W; a Chinese name cut at a
    // character boundary (每个汉字 two GBK bytes).
    r = ImportCsv("Frequency\tPower\tLocation\tName\n145.5\t5.0w\t1\t\n145.5\tHIGH\t2\t上段中继台\n"
                  "145.5\t 1 W \t3\tA\n145.5\tlow\t4\t\n145.5\t2.49W\t5\t\n",
                  fresh, Band::Upper);
    for (const auto& p : r.problems) ADD_FAILURE() << p.text();
    const std::vector<std::string> powers = {"高", "高", "低", "低", "低"};
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(r.state.upper.at(c, image::kColPower), powers[static_cast<std::size_t>(c - 1)]) << c;
    EXPECT_EQ(r.state.upper.at(2, image::kColName), "上段中");
    EXPECT_EQ(r.state.upper.at(3, image::kColName), "A");

    // A refusal names the line and the column, in the chosen language.
    const base::LanguageScope chinese(base::Language::Chinese);
    r = ImportCsv("Location,Frequency,Power\n1,145.5,5 watts\n", fresh, Band::Upper);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].column, "Power");
    EXPECT_EQ(r.problems[0].text(), "第 2 行: Power '5 watts' 不是以瓦计的功率 (5.0W), 也不是 High, Low, H 或 L");
}

// The CSV of the CHIRP Debian 12 ships: no Power, CrossMode or RxDtcsCode column. Its Cross
// rows (one for each cross mode) are refused, naming the Tone column, and never guessed;
// the others go in, each channel keeping its power, told once; names with what a codeplug
// file cannot carry go in with a space for it.
TEST(ChirpCsv, ImportsTheCsvOfAChirpWithoutPowerCrossModeOrRxDtcsCode) {
    const base::LanguageScope english(base::Language::English);
    const std::string csv = ReadAll(EXCHANGE_DATA "/chirp_without_power_crossmode.csv");
    ASSERT_FALSE(csv.empty());
    EditorState before = image::NewState();
    SetRow(before, Band::Lower, 1, {"446.00000", "0FF", "关", "446.00000", "0FF", "关", "关", "低", "窄带", "关", "关", "OLD"});
    SetRow(before, Band::Lower, 13, {"145.50000", "0FF", "关", "145.50000", "0FF", "关", "关", "低", "宽带", "关", "关", "OLD"});

    const auto refused = ImportCsv(csv, before, Band::Lower);
    EXPECT_FALSE(refused.applied);
    EXPECT_EQ(refused.state, before);
    std::vector<int> lines;
    for (const auto& p : refused.problems) {
        lines.push_back(p.line);
        EXPECT_EQ(p.column, "Tone");
        EXPECT_EQ(p.message.rfind("Tone 'Cross' needs a CrossMode column", 0), 0u) << p.text();
    }
    EXPECT_EQ(lines, (std::vector<int>{7, 8, 9, 10, 11, 12, 13, 14}));

    const auto r = ImportCsv(csv, before, Band::Lower, true);
    ASSERT_TRUE(r.applied);
    EXPECT_EQ(r.imported, (std::vector<int>{1, 2, 3, 4, 5}));
    const std::map<int, Row> expected = {
        {1, {"146.52000", "0FF", "关", "146.52000", "0FF", "关", "关", "低", "宽带", "关", "关", "JOE S"}},
        {2, {"147.12000", "0FF", "关", "147.72000", "100.0HZ", "关", "关", "高", "宽带", "关", "关", "A B"}},
        {3, {"442.12500", "123.0HZ", "关", "447.12500", "123.0HZ", "关", "关", "高", "窄带", "关", "关", "ME 2"}},
        {4, {"145.23000", "D025I", "关", "144.63000", "D025N", "关", "关", "高", "宽带", "关", "关", " TILDE"}},
        {5, {"446.00625", "0FF", "关", "446.00625", "0FF", "关", "关", "高", "窄带", "关", "关", "PMR1"}},
        {13, GetRow(before, Band::Lower, 13)},  // refused: as it was
    };
    for (const auto& [channel, row] : expected) EXPECT_EQ(GetRow(r.state, Band::Lower, channel), row) << channel;
    const std::vector<std::pair<int, std::string>> warnings = {
        {1, "the file has no Power column: each channel keeps the power it had, a new channel gets High"},
        {2, "Name 'JOE'S': ''' cannot be kept in a codeplug file: taken as 'JOE S'"},
        {3, "Name 'A,B': ',' cannot be kept in a codeplug file: taken as 'A B'"},
        {4, "Name 'ME\"2': '\"' cannot be kept in a codeplug file: taken as 'ME 2'"},
        {5, "Name '~TILDE': '~' cannot be kept in a codeplug file: taken as ' TILDE'"},
    };
    ASSERT_EQ(r.warnings.size(), warnings.size());
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        EXPECT_EQ(r.warnings[i].line, warnings[i].first);
        EXPECT_EQ(r.warnings[i].message, warnings[i].second);
    }

    // With CrossMode but an empty cell, or without the RxDtcsCode a receive code needs: refused too.
    const auto partial = ImportCsv("Location,Frequency,Tone,CrossMode,DtcsCode\n1,146.52,Cross,,023\n2,146.52,Cross,->DTCS,023\n",
                                   before, Band::Lower);
    ASSERT_EQ(partial.problems.size(), 2u);
    EXPECT_EQ(partial.problems[0].column, "CrossMode");
    EXPECT_EQ(partial.problems[1].column, "RxDtcsCode");
}

// Our export as a CHIRP without the CrossMode, RxDtcsCode and Power columns reads it (a small
// reader here: Cross is Tone->Tone from rToneFreq and cToneFreq, every power its default):
// the channels it gets wrong are exactly those the export names.
TEST(ChirpCsv, ExportNamesWhatAChirpWithoutCrossModeOrPowerMisreads) {
    const base::LanguageScope english(base::Language::English);
    auto split = [](const std::string& line) {
        std::vector<std::string> fields;
        std::stringstream in(line);
        for (std::string f; std::getline(in, f, ',');) fields.push_back(f);
        if (!line.empty() && line.back() == ',') fields.push_back("");
        return fields;
    };
    for (unsigned seed = 1; seed <= static_cast<unsigned>(RandomCases(4)); ++seed) {
        const EditorState s = random_state::RandomState(seed);
        const auto out = ExportCsv(s, Band::Upper);
        std::stringstream text(out.text);
        std::string line;
        std::getline(text, line, '\r');
        std::map<std::string, std::size_t> column;
        for (const auto& name : split(line)) column.emplace(name, column.size());
        std::set<int> misread;
        while (text.ignore(1) && std::getline(text, line, '\r') && !line.empty()) {
            const auto f = split(line);  // the random names hold no "," nor quote
            auto at = [&](const char* name) { return f.at(column.at(name)); };
            const int r = std::stoi(at("Location"));
            std::string tx = "0FF", rx = "0FF";
            const std::string mode = at("Tone"), dcs = "D" + at("DtcsCode"), polarity = at("DtcsPolarity");
            if (mode == "Tone") tx = at("rToneFreq") + "HZ";
            if (mode == "TSQL") tx = rx = at("cToneFreq") + "HZ";
            if (mode == "DTCS") {
                tx = dcs + (polarity[0] == 'R' ? "I" : "N");
                rx = dcs + (polarity[1] == 'R' ? "I" : "N");
            }
            if (mode == "Cross") {
                tx = at("rToneFreq") + "HZ";
                rx = at("cToneFreq") + "HZ";
            }
            const image::Grid& g = s.upper;
            auto off = [](const std::string& cell) { return cell.size() == 3 ? std::string("0FF") : cell; };
            const bool txWrong = !g.at(r, image::kColTxFreq).empty() && off(g.at(r, image::kColTxTone)) != tx;
            if (txWrong || off(g.at(r, image::kColRxTone)) != rx || g.at(r, image::kColPower) == "低") misread.insert(r);
        }
        std::set<int> named;
        for (const auto& note : out.olderChirp) {
            std::stringstream words(note.text);
            std::string word;
            words >> word;  // "channel"
            for (int r; words >> r;) {
                named.insert(r);
                words.ignore(1);  // the "," or ":" after it
            }
        }
        EXPECT_FALSE(named.empty());
        EXPECT_EQ(named, misread) << "seed " << seed;
    }
}

// Export then import into the codeplug exported gives every channel back as it was, or the
// export names the channel; into a new codeplug every channel comes back but for what CSV
// has no column for, which takes the editor's defaults. Besides what the editors make, the
// codeplugs hold channels as a radio's memory can: a transmit tone without a transmit
// frequency, options not set (option byte 0xFF), a name a codeplug file cannot carry.
TEST(ChirpCsv, RoundTripOverRandomCodeplugs) {
    const base::LanguageScope english(base::Language::English);
    const std::map<int, Row> asRead = {
        {2, {"145.50000", "OFF", "QT/DQT", "", "100.0HZ", "双音2", "", "高", "宽带", "关", "开", "TXTONE"}},
        {5, {"446.00625", "D023I", "", "446.00625", "OFF", "关", "关", "", "", "", "", "NOOPT"}},
        {9, {"438.50000", "OFF", "QT/DQT", "", "", "", "", "低", "窄带", "关", "关", "JOE'S"}},
    };
    // The tone cells as the radio sees them: "OFF" as read is the "0FF" chosen.
    auto seen = [](Row row) {
        for (std::size_t c : {1u, 4u})
            if (row[c].size() == 3) row[c] = "0FF";
        return row;
    };
    for (unsigned seed = 1; seed <= static_cast<unsigned>(RandomCases(12)); ++seed) {
        EditorState original = random_state::RandomState(seed);
        for (const auto& [channel, row] : asRead) SetRow(original, Band::Upper, channel, row);
        for (Band band : {Band::Upper, Band::Lower}) {
            const auto out = ExportCsv(original, band);
            const auto same = ImportCsv(out.text, original, band);
            ASSERT_TRUE(same.problems.empty()) << "seed " << seed << ": " << same.problems.front().text();
            EXPECT_EQ(static_cast<int>(same.imported.size()), out.written);
            std::set<int> changed, warned;
            for (int r = 1; r <= image::kChannels; ++r)
                if (seen(GetRow(same.state, band, r)) != seen(GetRow(original, band, r))) changed.insert(r);
            for (const auto& w : out.warnings)
                if (w.text.find(" comes back changed: ") != std::string::npos) warned.insert(std::stoi(w.text.substr(8)));
            EXPECT_EQ(changed, warned) << "seed " << seed;
            EXPECT_EQ(changed, band == Band::Upper ? std::set<int>{9} : std::set<int>{}) << "seed " << seed;

            const EditorState fresh = image::NewState();
            const auto back = ImportCsv(out.text, fresh, band);
            ASSERT_TRUE(back.applied);
            const Band other = band == Band::Upper ? Band::Lower : Band::Upper;
            EXPECT_EQ(back.state.grid(other), fresh.grid(other));
            EXPECT_EQ(back.state.k, fresh.k);
            image::Grid expected = original.grid(band);
            for (int r = 1; r <= image::kChannels; ++r) {
                if (band == Band::Upper && asRead.count(r)) continue;
                if (expected.at(r, image::kColRxFreq).empty()) {
                    expected.cells[static_cast<std::size_t>(r)] = fresh.grid(band).cells[static_cast<std::size_t>(r)];
                } else {
                    expected.at(r, image::kColRxMode) = "关";
                    expected.at(r, image::kColCompander) = expected.at(r, image::kColScrambler) = "关";
                    if (!expected.at(r, image::kColTxFreq).empty())
                        expected.at(r, image::kColStartSignal) = expected.at(r, image::kColEndSignal) = "关";
                }
                const auto want = image::EncodeChannel(expected, r, band);
                const auto got = image::EncodeChannel(back.state.grid(band), r, band);
                ASSERT_TRUE(want.ok() && got.ok());
                EXPECT_EQ(got.value, want.value) << "seed " << seed << " channel " << r;
            }
        }
    }
}

TEST(ChirpCsv, BadRowsAreReportedByLineAndChangeNothingUnlessSkipped) {
    const base::LanguageScope english(base::Language::English);
    const std::string csv =
        "Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Name,Mode,Power\n"
        "1,146.520000,,,,,,,,GOOD,FM,High\n"  // 2
        "2,180.000000,,,,,,,,,,\n"
        "3,145.123400,,,,,,,,,,\n"
        "4,145.0000001,,,,,,,,,,\n"  // 5
        "5,146.000000,,,Tone,76.8,,,,,,\n"
        "6,146.000000,,,DTCS,,,017,NN,,,\n"
        "7,146.000000,,,,,,,,TOOLONGX,,\n"
        "0,146.000000,,,,,,,,,,\n"
        "1,146.000000,,,,,,,,,,\n"  // 10
        "8,146.000000,+,,,,,,,,,\n"
        "9,146.000000,dup,,,,,,,,,\n"
        "10,146.000000,,,,,,,,,AM,\n"
        "11,146.000000,,,,,,,,,,Mid\n"
        "12,146.000000,,,TSQL-R,,,,,,,\n"  // 15
        "13,175.000000,+,5.000000,,,,,,,,\n"
        "14,146.000000,,,,,,,,\"\tTAB\",,\n"
        "15,146.000000,,,DTCS,,,023,XY,,,\n"
        "16,146.520000,,,,,,,,OK2,NFM,Low\n"
        "129,146.000000,,,,,,,,,,\n";  // 20
    const std::vector<std::pair<int, std::string>> expected = {
        {3, "Frequency 180.000000 is outside 136-176 and 400-490 MHz"},
        {4, "Frequency 145.123400 is off the 2.5/6.25 kHz channel raster (the editor would make it 145.12500)"},
        {5, "Frequency 145.0000001 is finer than the radio's 10 Hz"},
        {6, "rToneFreq '76.8' is not in this radio's tone list"},
        {7, "DtcsCode '017' is not in this radio's DCS list"},
        {9, "Location '0' is no channel: the locations 1..128 are channels 1..128"},
        {10, "Location 1 was already given on line 2"},
        {11, "Offset is empty"},
        {12, "Duplex 'dup' is none of"},
        {13, "Mode 'AM': this radio has FM and NFM only"},
        {14, "Power 'Mid' is no power in watts (5.0W) nor High, Low, H or L"},
        {15, "Tone 'TSQL-R' is a mode this radio lacks"},
        {16, "Offset 5.000000: the transmit frequency 180.000000 (Frequency 175.000000, Duplex +, Offset 5.000000) is "
             "outside 136-176 and 400-490 MHz"},
        {17, "Name '\tTAB' has a character the name editor refuses"},
        {18, "DtcsPolarity 'XY' is not two letters N or R"},
        {20, "Location '129' is no channel"},
    };
    EditorState current = image::NewState();
    current.upper.at(16, image::kColName) = "KEEP";
    const auto refused = ImportCsv(csv, current, Band::Upper);
    ASSERT_EQ(refused.problems.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(refused.problems[i].line, expected[i].first) << refused.problems[i].text();
        EXPECT_EQ(refused.problems[i].message.rfind(expected[i].second, 0), 0u) << refused.problems[i].text();
        // Under English, none of the Chinese in it.
        EXPECT_TRUE(std::all_of(refused.problems[i].message.begin(), refused.problems[i].message.end(),
                                [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            << refused.problems[i].message;
    }
    ASSERT_EQ(refused.problems[12].line, 16);
    EXPECT_EQ(refused.problems[12].column, "Offset");
    {
        const base::LanguageScope chinese(base::Language::Chinese);
        EXPECT_EQ(ImportCsv(csv, current, Band::Upper).problems[12].message,
                  "Offset 5.000000: 发射频率 180.000000 (Frequency 175.000000, Duplex +, Offset 5.000000): 发射频率在136~176MHZ "
                  "400~490MHZ");
    }
    EXPECT_FALSE(refused.applied);
    EXPECT_TRUE(refused.ok());
    EXPECT_EQ(refused.state, current);

    const auto skipped = ImportCsv(csv, current, Band::Upper, true);
    EXPECT_TRUE(skipped.applied);
    EXPECT_EQ(skipped.imported, (std::vector<int>{1, 7, 16}));
    EXPECT_EQ(skipped.state.upper.at(7, image::kColName), "TOOLONG");
    EXPECT_EQ(skipped.skipped.size(), expected.size());
    EXPECT_EQ(skipped.state.upper.at(1, image::kColName), "GOOD");
    EXPECT_EQ(GetRow(skipped.state, Band::Upper, 16),
              (Row{"146.52000", "0FF", "关", "146.52000", "0FF", "关", "关", "低", "窄带", "关", "关", "OK2"}));
    for (int r = 2; r <= 15; ++r)
        if (r != 7) {
            EXPECT_EQ(GetRow(skipped.state, Band::Upper, r), Row{}) << r;
        }
}

TEST(ChirpCsv, ReadsAnyColumnsBomQuotesAndLineEnds) {
    const base::LanguageScope english(base::Language::English);
    const EditorState fresh = image::NewState();
    // A BOM, CR line ends, the header in other letter case and order, a quoted field across
    // a line break with doubled quotes: the bad row after it is on line 4.
    auto r = ImportCsv("\xEF\xBB\xBF" "frequency,NAME,location,Comment\r"
                       "146.52,\"HI\",3,\"two\r\nlines, \"\"quoted\"\"\"\r"
                       "146.000001,X,4,\r\r",
                       fresh, Band::Lower);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].text(), "line 4: Frequency 146.000001 is finer than the radio's 10 Hz");
    r = ImportCsv("location,frequency,name\n3,146.52,\"HI\"\n\n", fresh, Band::Lower);
    ASSERT_TRUE(r.problems.empty());
    EXPECT_EQ(GetRow(r.state, Band::Lower, 3),
              (Row{"146.52000", "0FF", "关", "146.52000", "0FF", "关", "关", "高", "宽带", "关", "关", "HI"}));

    // Placeholders in the columns a mode does not use are never read, whatever they hold.
    r = ImportCsv("Location,Frequency,Tone,rToneFreq,cToneFreq,DtcsCode,RxDtcsCode,DtcsPolarity,CrossMode\r\n"
                  "1,146.52,Tone,100.0,junk,999,abc,ZZ,bogus\r\n"
                  "2,146.52,TSQL,junk,100.0,999,abc,ZZ,bogus\r\n"
                  "3,146.52,Cross,junk,88.5,999,abc,ZZ,->Tone\r\n",
                  fresh, Band::Upper);
    for (const auto& p : r.problems) ADD_FAILURE() << p.text();
    EXPECT_EQ(r.state.upper.at(1, image::kColTxTone), "100.0HZ");
    EXPECT_EQ(r.state.upper.at(1, image::kColRxTone), "0FF");
    EXPECT_EQ(r.state.upper.at(2, image::kColRxTone), "100.0HZ");
    EXPECT_EQ(r.state.upper.at(3, image::kColTxTone), "0FF");
    EXPECT_EQ(r.state.upper.at(3, image::kColRxTone), "88.5HZ");

    // A transmit tone on a receive-only row has nowhere to go: told, and the row goes in.
    r = ImportCsv("Location,Frequency,Duplex,Tone,rToneFreq,Mode,Power\n1,162.55,off,Tone,100.0,FM,H\n", fresh, Band::Upper);
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0].line, 2);
    EXPECT_EQ(r.state.upper.at(1, image::kColTxFreq), "");

    // The file as a whole.
    for (const char* bad : {"", "\xEF\xBB\xBF\r\n", "Location,Name\n1,A\n", "Location,Frequency,location\n",
                            "Location,Frequency\n1,\"146\n2,146\n"}) {
        r = ImportCsv(bad, fresh, Band::Upper, true);
        EXPECT_EQ(r.kind, base::ErrorKind::BadData) << bad;
        EXPECT_FALSE(r.ok()) << bad;
        EXPECT_FALSE(r.applied) << bad;
        ASSERT_EQ(r.problems.size(), 1u) << bad;
    }
    EXPECT_EQ(r.problems[0].text(), "line 2: a quoted field that starts in this row is never closed");
}

// Only the listed channels change, and each is entered anew, but for what CSV has no column
// for and the power and bandwidth a file without those columns does not give: a channel that
// had a frequency keeps them. A cell the file leaves out (the name) is emptied.
TEST(ChirpCsv, ImportReplacesTheListedChannelsOnly) {
    EditorState current = image::NewState();
    const Row old3 = {"145.00000", "67.0HZ", "QT/DQT+信令", "145.60000", "D023N", "双音1", "身份码", "低", "窄带", "开", "开", "OLD"};
    const Row old4 = {"435.00000", "OFF", "QT/DQT", "", "", "", "", "高", "宽带", "关", "开", "FOUR"};
    SetRow(current, Band::Upper, 3, old3);
    SetRow(current, Band::Upper, 4, old4);
    current.Col = "7";
    current.Row = "9";
    const auto r = ImportCsv("Location,Frequency\r\n3,145.0\r\n", current, Band::Upper);
    ASSERT_TRUE(r.applied);
    EXPECT_EQ(GetRow(r.state, Band::Upper, 3),
              (Row{"145.00000", "0FF", "QT/DQT+信令", "145.00000", "0FF", "双音1", "身份码", "低", "窄带", "开", "开", ""}));
    EXPECT_EQ(GetRow(r.state, Band::Upper, 4), old4);
    EXPECT_EQ(r.state.Col, "7");
    EXPECT_EQ(r.state.Row, "9");
}

}  // namespace
