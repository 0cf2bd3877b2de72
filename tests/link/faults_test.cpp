#include <gtest/gtest.h>

#include "image/transfer.h"
#include "tests/link/bench_radio.h"

using base::ErrorKind;

using namespace image;

namespace {

radiolink::Result readWith(const char* plan, EditorState& state, BenchRadio** out = nullptr,
                           const radiolink::Timing& timing = ShortWaits()) {
    static std::unique_ptr<BenchRadio> keep;
    keep = std::make_unique<BenchRadio>(BenchRadio::plan(plan));
    keep->radio.timing = timing;
    if (out) *out = keep.get();
    return radiolink::ReadRadio(keep->radio, state);
}

}  // namespace

TEST(ReadFaults, SwitchedOffRadio) {
    EditorState state;
    BenchRadio* bench = nullptr;
    const auto start = std::chrono::steady_clock::now();
    const auto r = readWith("off", state, &bench, radiolink::Timing());  // the radio's own waits
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, "读取失败!");
    EXPECT_EQ(r.kind, ErrorKind::NoAnswer);
    EXPECT_EQ(r.progress, 0);
    EXPECT_NE(r.detail().find("第 0 块"), std::string::npos);
    EXPECT_NE(r.detail().find("电台没有回应"), std::string::npos) << r.detail();
    EXPECT_EQ(state, EditorState());
    EXPECT_GE(took, std::chrono::milliseconds(500 + 51 * 20));  // both waits whole
    EXPECT_EQ(bench->framesAfterExit().back(), kExit);
}

TEST(ReadFaults, FailingAtBlock64KeepsTheUpperGridAndNothingElse) {
    EditorState state;
    const auto r = readWith("silent-from:64", state);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.progress, 64);
    EXPECT_NE(r.detail().find("第 64 块 (0x1000"), std::string::npos) << r.detail();
    const EditorState start;
    EXPECT_NE(state.upper, start.upper);
    EXPECT_EQ(state.upper.at(1, kColName), "CALL");
    EXPECT_EQ(state.lower, start.lower);
    EXPECT_EQ(state.k, start.k);
    EXPECT_EQ(state.upperBand, start.upperBand);
    EXPECT_EQ(state.general, start.general);
}

TEST(ReadFaults, WrongLengthsTimeOut) {
    EditorState state;
    auto r = readWith("short:3", state);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.detail().find("少了 3 字节"), std::string::npos) << r.detail();
    r = readWith("long:1", state);  // 49 bytes to a 48-byte read
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.detail().find("多了 1 字节"), std::string::npos) << r.detail();
    r = readWith("late:1500", state);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(state, EditorState());
}

TEST(ReadFaults, SlowOrBrokenUpAnswersAndNoiseStillRead) {
    EditorState state;
    EXPECT_TRUE(readWith("pieces:3:10@120", state).ok());
    EXPECT_TRUE(readWith("late:60@130", state).ok());
    EXPECT_TRUE(readWith("noise", state).ok());
}

TEST(ReadFaults, AVanishingPortEndsAtOnce) {
    EditorState state;
    const auto r = readWith("vanish-at:10", state);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.progress, 10);
    EXPECT_NE(r.detail().find("已拔出"), std::string::npos) << r.detail();
}

TEST(WriteFaults, AcknowledgementsOtherThanOneAckFail) {
    const EditorState state;
    for (const char* plan : {"double-ack", "wrong-ack", "off", "silent-from:135"}) {
        BenchRadio bench(BenchRadio::plan(plan));
        const auto r = radiolink::WriteRadio(bench.radio, state);
        EXPECT_FALSE(r.ok()) << plan;
        EXPECT_EQ(r.kind, ErrorKind::NoAnswer) << plan;
        EXPECT_EQ(r.message, "写频错误!");
        EXPECT_EQ(bench.framesAfterExit().back(), kExit) << plan;
        const std::string p = plan;
        if (p == "double-ack") {
            EXPECT_NE(r.detail().find("(0606)"), std::string::npos) << r.detail();
        } else if (p == "wrong-ack") {
            EXPECT_NE(r.detail().find("(15)"), std::string::npos) << r.detail();
        } else if (p == "silent-from:135") {
            EXPECT_EQ(r.progress, 135);
        }
    }
}

// A radio that sends without end: the block fails at once, said so, and what was taken stays
// within an answer and its margin; "EXIT" still goes out.
TEST(Faults, AFloodingRadioFailsItsBlockWithinTheReceiveBound) {
    for (const bool write : {false, true}) {
        BenchRadio bench(BenchRadio::plan("flood@5"));
        EditorState state;
        const auto r = write ? radiolink::WriteRadio(bench.radio, state) : radiolink::ReadRadio(bench.radio, state);
        EXPECT_FALSE(r.ok()) << write;
        EXPECT_EQ(r.progress, 5) << r.detail();
        EXPECT_NE(r.detail().find("第 5 块"), std::string::npos) << r.detail();
        EXPECT_NE(r.detail().find("电台发来的数据远多于应答"), std::string::npos) << r.detail();
        EXPECT_LE(bench.radio.RecvHex().size(), 2 * bench.radio.receiveLimit());
        EXPECT_TRUE(bench.radio.overflowed());
    }
}
