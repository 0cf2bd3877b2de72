#include "sim/sample_image.h"

#include <gtest/gtest.h>

#include "image/channel_codec.h"
#include "base/hex.h"

namespace {

using image::Band;

std::string Digits(const std::vector<std::uint8_t>& m, std::size_t at, std::size_t length) {
    return base::BytesToHex(&m[at], length);
}

// The sample is what the editor itself would write: every channel record decodes to cells
// that encode back to the same bytes, and the blocks that are no channels keep their layout.
TEST(SampleImage, IsAProgrammingTheEditorWouldWriteItself) {
    const auto m = sim::sampleImage();
    ASSERT_EQ(m.size(), 7168u);

    int named[2] = {0, 0};
    for (int band = 0; band < 2; ++band) {
        image::Grid grid;
        const std::size_t base = band == 0 ? 0x0400 : 0x1000;
        for (int row = 1; row <= 128; ++row) {
            const std::string record = Digits(m, base + 24 * static_cast<std::size_t>(row - 1), 24);
            image::DecodeChannel(record, grid, row);
            const auto back = image::EncodeChannel(grid, row, band == 0 ? Band::Upper : Band::Lower);
            ASSERT_TRUE(back.ok()) << back.error;
            EXPECT_EQ(back.value, record) << "band " << band << " channel " << row;
            if (!grid.at(row, image::kColName).empty()) ++named[band];
            const std::string rx = grid.at(row, image::kColRxFreq);
            if (!rx.empty()) {
                const double mhz = std::stod(rx);
                EXPECT_TRUE((mhz >= 136 && mhz <= 176) || (mhz >= 400 && mhz <= 490)) << rx;
            }
        }
        if (band == 0) {
            EXPECT_EQ(grid.at(2, image::kColRxFreq), "145.65000");
            EXPECT_EQ(grid.at(2, image::kColTxTone), "88.5HZ");
            EXPECT_EQ(grid.at(6, image::kColRxTone), "D023N");
            EXPECT_EQ(grid.at(6, image::kColStartSignal), "双音1+身份码");
            EXPECT_EQ(grid.at(6, image::kColEndSignal), "身份码");
            EXPECT_EQ(grid.at(9, image::kColName), "SITE A");
        }
    }
    EXPECT_GE(named[0], 12);
    EXPECT_GE(named[1], 12);

    EXPECT_EQ(Digits(m, 0x0200, 48), "000C03B1010203000102000406D60064030" "0" + std::string(60, 'F'));
    EXPECT_EQ(Digits(m, 0x0240, 8), "03010203FFFFFFFF");
    EXPECT_EQ(Digits(m, 0x0290, 6), "0301010AFFFF");
    EXPECT_EQ(Digits(m, 0x02D0, 8), "0548454C4C4FFFFF");
    EXPECT_EQ(Digits(m, 0x02E0, 17), "00CF8500010980C002625A0002DC6C0001");
    EXPECT_EQ(Digits(m, 0x0310, 16).substr(0, 18), "0000000000EA6004E2");  // offset 0.6 MHz, step 12.5K
    EXPECT_EQ(Digits(m, 0x0380, 16).substr(0, 12), "000300E4F548");       // 150.05 MHz on channel 4

    // Ranges that are never transferred, and the tails of blocks, are 0xFF.
    for (auto [from, to] : {std::pair{0x0000, 0x01FF}, {0x0212, 0x023F}, {0x02B4, 0x02BF}, {0x02C1, 0x02CF},
                            {0x02F1, 0x02FF}, {0x0320, 0x037F}, {0x03A0, 0x03FF}})
        for (int a = from; a <= to; ++a) ASSERT_EQ(m[static_cast<std::size_t>(a)], 0xFF) << std::hex << a;
}

}  // namespace
