// Diff: equal states give nothing, and each kind of difference is named once, by meaning.
#include "exchange/diff.h"

#include <gtest/gtest.h>

#include "base/hex.h"
#include "tests/random_state.h"

namespace {

using exchange::Diff;
using exchange::Difference;
using image::EditorState;

std::vector<std::string> Lines(const EditorState& a, const EditorState& b) {
    std::vector<std::string> out;
    for (const auto& d : Diff(a, b)) out.push_back(d.text());
    return out;
}

TEST(Diff, EqualStatesAndCellsTheRadioCannotTellApartGiveNothing) {
    EXPECT_TRUE(Diff(image::NewState(), image::NewState()).empty());
    const EditorState random = random_state::RandomState(7);
    EXPECT_TRUE(Diff(random, random).empty());

    EditorState a = image::NewState();
    a.upper.at(1, image::kColRxFreq) = "145.12500";
    a.upper.at(1, image::kColRxTone) = "OFF";
    a.upper.at(1, image::kColRxMode) = "";
    EditorState b = a;
    b.upper.at(1, image::kColRxFreq) = "145.125";
    b.upper.at(1, image::kColRxTone) = "0FF";
    b.upper.at(1, image::kColRxMode) = "关";
    b.k[5] = "000fffff010203000102000406d600320300";  // the same bytes in lower case
    EXPECT_TRUE(Diff(a, b).empty()) << Lines(a, b).front();

    // Frequencies, offsets and limits are numbers: a decoded "10.00000" is the "10" typed.
    a.upperBand.offset = "10";
    b.upperBand.offset = "10.00000";
    a.lowerBand.rxFreq = "145.5";
    b.lowerBand.rxFreq = "145.50000";
    a.limits.xp[1] = "136";
    b.limits.xp[1] = "136.00000";
    EXPECT_TRUE(Diff(a, b).empty()) << Lines(a, b).front();
    b.upperBand.offset = "10.5";
    EXPECT_EQ(Lines(a, b), (std::vector<std::string>{"上段设置 发射差频(MHZ): 10 -> 10.5"}));
    b.upperBand.offset = "10";

    // But an empty cell is no frequency of 0, and 关 no receive mode that is set.
    b.upper.at(1, image::kColRxMode) = "QT/DQT";
    b.lower.at(2, image::kColTxFreq) = "0.00000";
    EXPECT_EQ(Lines(a, b), (std::vector<std::string>{"上段信道 第1信道, 接收模式: (空) -> QT/DQT",
                                                     "下段信道 第2信道, 发射频率: (空) -> 0.00000"}));
}

TEST(Diff, NamesEachDifferenceByPageLabelOrBytes) {
    EditorState a = image::NewState();
    a.upper.at(5, image::kColRxFreq) = "145.00000";
    a.lower.at(128, image::kColName) = "CH1";
    EditorState b = a;
    b.upper.at(5, image::kColRxFreq) = "145.12500";
    b.upper.at(1, image::kColExtra) = "x";
    b.lower.at(128, image::kColName) = "";
    // A setting changed the way its handler changes it: control and bytes; told once.
    b.general.list[2] = 12;
    b.k[5] = base::splice(b.k[5], 3, 4, "0C");
    b.upperBand.list[4] = 1;
    b.k[1] = base::splice(b.k[1], 13, 16, "029E");
    // Bytes no control shows.
    b.k[1] = base::splice(b.k[1], 19, 20, "12");
    b.k[4] = base::splice(b.k[4], 21, 24, "0102");
    // Bytes that differ while the control shows the same DTMF time.
    b.k[5] = base::splice(b.k[5], 29, 32, "0096");
    b.dtmf.sypz9 = 2;
    b.dtmf.sy[3] = "123";
    b.limits.kaiji1 = " A";
    b.limits.xp5 = image::kNoSelection;

    EXPECT_EQ(Lines(a, b), (std::vector<std::string>{
                               "上段信道 第1信道, 第13列: (空) -> x",
                               "上段信道 第5信道, 接收频率: 145.00000 -> 145.12500",
                               "下段信道 第128信道, 信道名称: CH1 -> (空)",
                               "上段设置 接收亚音频: 0FF -> 67.0HZ",
                               "上段设置 k1 字节 0x09 (0x0309): FF -> 12",
                               "下段设置 k4 字节 0x0A..0x0B (0x039A..0x039B): FFFF -> 0102",
                               "综合设置 音量大小: 15 -> 12",
                               "综合设置 k5 字节 0x0E..0x0F (0x020E..0x020F, 双音时间): 0032 -> 0096",
                               "双音频组 当前状态: 正常 -> 遥毕",
                               "双音频组 DTMF3: (空) -> 123",
                               "限频 开机信息1: (空) -> \" A\"",
                               "限频 频段限频: 开 -> (未选)",
                           }));
    const auto d = Diff(a, b);
    EXPECT_EQ(d.front().kind, Difference::Kind::Channel);
    EXPECT_EQ(d[4].kind, Difference::Kind::Hidden);
    EXPECT_EQ(d[6].kind, Difference::Kind::Setting);

    // A field that is no block of its length is shown whole.
    EditorState c = a;
    c.k[13] = "00FF";
    EXPECT_EQ(Lines(a, c), (std::vector<std::string>{"双音频组 k13: 00FFFFFFFFFF00FFFFFFFFFF -> 00FF"}));
}

// Every byte of every hidden field belongs to exactly one reported range, at its address.
TEST(Diff, EveryHiddenByteIsReportedOnceAtItsAddress) {
    const unsigned base[16] = {0,      0x0300, 0x0310, 0x0380, 0x0390, 0x0200, 0x0240, 0x0250,
                               0x0260, 0x0270, 0x02D0, 0x02E0, 0x0280, 0x0290, 0x029C, 0x02A8};
    const EditorState a = image::NewState();
    for (int k = 1; k <= 15; ++k) {
        const auto bytes = base::HexToBytes(a.k[static_cast<std::size_t>(k)]).value;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            EditorState b = a;
            base::Bytes changed = bytes;
            changed[i] ^= 0x5A;
            b.k[static_cast<std::size_t>(k)] = base::BytesToHex(changed);
            const auto d = Diff(a, b);
            ASSERT_EQ(d.size(), 1u) << "k" << k << " byte " << i;
            EXPECT_EQ(d[0].kind, Difference::Kind::Hidden);
            const std::string& w = d[0].where;
            EXPECT_NE(w.find(" k" + std::to_string(k) + " 字节"), std::string::npos) << w;
            const auto open = w.find("(0x");
            ASSERT_NE(open, std::string::npos) << w;
            const unsigned from = std::stoul(w.substr(open + 1), nullptr, 16);
            const auto dots = w.find("..0x", open);
            const unsigned to = dots == std::string::npos || dots > w.find(')', open) ? from
                                                                                       : std::stoul(w.substr(dots + 2), nullptr, 16);
            const unsigned address = base[k] + static_cast<unsigned>(i);
            EXPECT_TRUE(from <= address && address <= to) << w << " for address " << address;
        }
    }
}

}  // namespace
