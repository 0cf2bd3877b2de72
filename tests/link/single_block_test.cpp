#include <gtest/gtest.h>

#include "tests/link/bench_radio.h"

using base::BytesToHex;

using namespace image;

TEST(SingleBlock, ReadThePowerOnMessage) {
    BenchRadio bench;
    bench.virtualRadio.write(0x02D0, {0x03, 0x41, 0x42, 0x43, 0xFF, 0xFF, 0xFF, 0xFF, 0x09, 0x41, 0x42, 0x43, 0x44,
                                      0x45, 0x46, 0x47});
    EditorState state;
    state.limits.kaiji2 = "OLD";
    const auto r = radiolink::ReadPowerOnMessage(bench.radio, state);
    ASSERT_TRUE(r.ok()) << r.detail();
    EXPECT_EQ(r.message, "读取成功!");
    EXPECT_EQ(state.limits.kaiji1, "ABC");
    EXPECT_EQ(state.limits.kaiji2, "");  // a count of 9
    EXPECT_EQ(state.k[10], "03414243FFFFFFFF09414243444546" "47");
    const auto frames = bench.framesAfterExit();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1], "5245414402D00010");
    EXPECT_EQ(frames[2], kExit);
}

TEST(SingleBlock, ReadTheLimits) {
    BenchRadio bench;
    std::vector<std::uint8_t> limits = {0x00, 0xCF, 0x85, 0x00, 0x01, 0x09, 0x80, 0xC0, 0xFF, 0xFF, 0xFF, 0xFF,
                                        0x02, 0xDC, 0x6C, 0x00, 0x02};
    bench.virtualRadio.write(0x02E0, limits);
    EditorState state;
    state.limits.xp5 = 0;
    const auto r = radiolink::ReadLimits(bench.radio, state);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(state.limits.xp[1], "136");
    EXPECT_EQ(state.limits.xp[2], "174");
    EXPECT_EQ(state.limits.xp[3], "");
    EXPECT_EQ(state.limits.xp[4], "480");
    EXPECT_EQ(state.limits.xp5, 0);  // switch byte 02: unchanged
    EXPECT_EQ(state.k[11], BytesToHex(limits));
}

TEST(SingleBlock, FailedReadsEmptyTheirGroup) {
    BenchRadio bench(BenchRadio::plan("short:1"));
    EditorState state;
    state.limits.kaiji1 = "KEEP";
    state.limits.xp[1] = "136";
    const std::string k10 = state.k[10], k11 = state.k[11];
    auto r = radiolink::ReadPowerOnMessage(bench.radio, state);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, "读取失败!");
    EXPECT_EQ(state.limits.kaiji1, "");
    EXPECT_EQ(state.k[10], k10);
    state.limits.xp5 = 0;
    r = radiolink::ReadLimits(bench.radio, state);  // 16 bytes instead of 17
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(state.limits.xp[1], "");
    EXPECT_EQ(state.limits.xp5, 0);
    EXPECT_EQ(state.k[11], k11);
}

TEST(SingleBlock, Writes) {
    BenchRadio bench;
    EditorState state;
    state.k[10] = "03414243FFFFFFFF00FFFFFFFFFFFFFF";
    auto r = radiolink::WritePowerOnMessage(bench.radio, state);
    ASSERT_TRUE(r.ok()) << r.detail();
    EXPECT_EQ(r.message, "写入成功!");
    EXPECT_EQ(BytesToHex(bench.virtualRadio.read(0x02D0, 16)), state.k[10]);
    EXPECT_EQ(bench.framesAfterExit()[1], "5752494502D00010" + state.k[10]);
    r = radiolink::WriteLimits(bench.radio, state);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(bench.framesAfterExit()[4], "5752494502E00011" + state.k[11]);

    bench.virtualRadio.setFault(BenchRadio::plan("late:700"));  // written, but acknowledged too late
    r = radiolink::WriteLimits(bench.radio, state);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, "写入失败!");
    bench.virtualRadio.setFault(BenchRadio::plan("double-ack"));
    EXPECT_FALSE(radiolink::WritePowerOnMessage(bench.radio, state).ok());

    bench.virtualRadio.setFault({});
    bench.framesAfterExit();  // the last procedure's "EXIT" is in before the record is cleared
    bench.virtualRadio.clearReceived();
    state.k[10] = "03414243";  // not a whole field: nothing is sent
    r = radiolink::WritePowerOnMessage(bench.radio, state);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.detail().find("k10"), std::string::npos);
    EXPECT_TRUE(bench.virtualRadio.received().empty());
}
