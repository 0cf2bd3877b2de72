#include <gtest/gtest.h>

#include "image/code_tables.h"
#include "image/transfer.h"
#include "tests/link/bench_radio.h"
#include "tests/random_cases.h"
#include "tests/random_state.h"

using base::BytesToHex;

using namespace image;

namespace {

// Every byte the transfer list carries, as hex, from a memory image.
std::string blockBytes(const std::vector<std::uint8_t>& memory) {
    std::string out;
    for (const auto& b : TransferList()) out += BytesToHex(memory.data() + b.address, b.length);
    return out;
}

}  // namespace

TEST(FullTransfers, ReadThenWriteLeavesTheRadioByteIdentical) {
    BenchRadio bench;
    const auto before = bench.virtualRadio.memory();
    EditorState state;
    std::vector<int> progress;
    std::vector<std::uint8_t> raw;
    const auto read = radiolink::ReadRadio(bench.radio, state, [&](int d) { progress.push_back(d); }, &raw);
    ASSERT_TRUE(read.ok()) << read.detail();
    EXPECT_EQ(read.message, "读取成功!");
    EXPECT_EQ(read.progress, 136);
    ASSERT_EQ(progress.size(), 136u);
    EXPECT_EQ(progress.back(), 136);
    EXPECT_EQ(blockBytes(raw), blockBytes(before));
    EXPECT_EQ(raw[0x0230], 0xFF);

    auto frames = bench.framesAfterExit();
    ASSERT_EQ(frames.size(), 138u);
    EXPECT_EQ(frames.front(), kPromLin);
    EXPECT_EQ(frames[1], "5245414404000030");  // 52 45 41 44 04 00 00 30
    EXPECT_EQ(frames[134], "5245414402800040");
    EXPECT_EQ(frames.back(), kExit);

    bench.virtualRadio.setMemory(std::vector<std::uint8_t>(0x1C00, 0xFF));
    bench.virtualRadio.clearReceived();
    const auto write = radiolink::WriteRadio(bench.radio, state);
    ASSERT_TRUE(write.ok()) << write.detail();
    EXPECT_EQ(write.message, "写频正确!");
    EXPECT_EQ(blockBytes(bench.virtualRadio.memory()), blockBytes(before));
    frames = bench.framesAfterExit();
    ASSERT_EQ(frames.size(), 138u);
    EXPECT_EQ(frames[135], "5752494502C00001" + BytesToHex(before.data() + 0x02C0, 1));
    EXPECT_EQ(frames[136].substr(0, 16), "5752494502D00021");
    EXPECT_EQ(frames[136].size(), 16u + 66u);

    const auto verify = radiolink::VerifyRadio(bench.radio, BuildWriteFrames(state).value);
    EXPECT_TRUE(verify.ok()) << verify.detail();
    // A byte the radio changed is caught and named.
    bench.virtualRadio.write(0x1234, {0x5A});
    const auto caught = radiolink::VerifyRadio(bench.radio, BuildWriteFrames(state).value);
    EXPECT_FALSE(caught.ok());
    EXPECT_EQ(caught.message, "写频错误!");
    EXPECT_NE(caught.detail().find("在 0x1234 处不同"), std::string::npos) << caught.detail();
}

TEST(FullTransfers, RandomCanonicalImagesSurviveTheDecodersAndEncoders) {
    random_state::Draw draw(20261208);
    auto randomImage = [&] {
        const auto frames = BuildWriteFrames(random_state::RandomState(draw, random_state::Reach::Encoded));
        EXPECT_TRUE(frames.ok()) << frames.error;  // else the image would be none at all
        return ImageFromFrames(frames.value);
    };
    for (int round = 0; round < RandomCases(100); ++round) {
        const auto image = randomImage();
        EditorState state;
        for (const auto& b : TransferList()) ApplyReadBlock(state, b.j, BytesToHex(image.data() + b.address, b.length));
        const auto again = BuildWriteFrames(state);
        ASSERT_TRUE(again.ok()) << again.error;
        ASSERT_EQ(blockBytes(ImageFromFrames(again.value)), blockBytes(image)) << "round " << round;
    }
    // And two of them through the line.
    BenchRadio bench;
    for (int round = 0; round < 2; ++round) {
        const auto image = randomImage();
        bench.virtualRadio.setMemory(image);
        EditorState state;
        ASSERT_TRUE(radiolink::ReadRadio(bench.radio, state).ok());
        bench.virtualRadio.setMemory(std::vector<std::uint8_t>(0x1C00, 0x00));
        ASSERT_TRUE(radiolink::WriteRadio(bench.radio, state).ok());
        EXPECT_EQ(blockBytes(bench.virtualRadio.memory()), blockBytes(image));
    }
}

TEST(FullTransfers, ABadFieldStopsTheWriteBeforeAnythingIsSent) {
    BenchRadio bench;
    EditorState state;
    state.k[11] = state.k[11].substr(0, 32);
    auto r = radiolink::WriteRadio(bench.radio, state);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, "写频错误!");
    EXPECT_NE(r.detail().find("k11"), std::string::npos);
    state = EditorState();
    state.upper.at(128, kColRxFreq) = "14x.5";
    r = radiolink::WriteRadio(bench.radio, state);
    EXPECT_NE(r.detail().find("上段信道 第128信道"), std::string::npos) << r.detail();
    EXPECT_FALSE(bench.virtualRadio.waitForFrames(1, std::chrono::milliseconds(50)));
    EXPECT_TRUE(bench.virtualRadio.received().empty());
}

TEST(FullTransfers, ASecondProcedureIsRefusedWhileOneRuns) {
    BenchRadio bench;
    EditorState state, other;
    radiolink::Result inner;
    bool tried = false;
    const auto outer = radiolink::ReadRadio(bench.radio, state, [&](int done) {
        if (done == 3 && !tried) {
            tried = true;
            inner = radiolink::WriteRadio(bench.radio, other);
        }
    });
    EXPECT_TRUE(outer.ok());
    EXPECT_FALSE(inner.ok());
    EXPECT_EQ(inner.detail(), radiolink::Busy().detail());
    EXPECT_FALSE(bench.radio.busy());
}
