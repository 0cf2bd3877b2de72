// A procedure is over only when its "EXIT" has left the computer: a radio that takes its
// bytes off the line late still gets it, even when the port is closed the moment the
// procedure returns. A stop asked for ends a procedure at a block boundary with "EXIT".
#include <gtest/gtest.h>

#include <mutex>

#include "image/transfer.h"
#include "tests/link/bench_radio.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// These tests are about the waits themselves: the radio's own, not the tests' short ones.
struct RealBench : BenchRadio {
    explicit RealBench(const sim::RadioOptions& o) : BenchRadio(o) { radio.timing = radiolink::Timing(); }
};

sim::RadioOptions lateRadio(std::chrono::milliseconds lag) {
    sim::RadioOptions o;
    o.pacing = true;  // answers and the frames it takes cost their time on the line
    o.readLag = lag;
    return o;
}

// The first letter of each frame the radio received: P(ROM_LIN), R(EAD), W(RIE), E(XIT).
std::string kinds(const BenchRadio& bench) {
    std::string out;
    for (const auto& f : bench.virtualRadio.frames()) out.push_back(static_cast<char>(f.at(0)));
    return out;
}

// The radio took "EXIT" last, however late it reads: closing the port right after the
// procedure must not lose it.
void expectExitArrives(BenchRadio& bench) {
    bench.comm.ClosePort();
    const auto deadline = Clock::now() + 2s;
    while (Clock::now() < deadline && (bench.frames().empty() || bench.frames().back() != kExit))
        std::this_thread::sleep_for(2ms);
    ASSERT_FALSE(bench.frames().empty());
    EXPECT_EQ(bench.frames().back(), kExit);
}

}  // namespace

TEST(LineEnd, ExitReachesALateReadingRadioEveryTime) {
    int run = 0;
    for (const auto lag : {5ms, 20ms, 50ms}) {
        SCOPED_TRACE("lag " + std::to_string(lag.count()) + " ms");
        RealBench bench(lateRadio(lag));
        image::EditorState state;
        const auto r = run == 0   ? radiolink::WriteLimits(bench.radio, state)
                       : run == 1 ? radiolink::ReadPowerOnMessage(bench.radio, state)
                                  : radiolink::WritePowerOnMessage(bench.radio, state);
        EXPECT_TRUE(r.ok()) << r.detail();
        expectExitArrives(bench);
        EXPECT_EQ(kinds(bench), run == 1 ? "PRE" : "PWE");
        ++run;
    }
    // A full read (answers at once, to keep the test short) and a failed one.
    auto quick = lateRadio(5ms);
    quick.pacing = false;
    RealBench full(quick);
    image::EditorState state;
    EXPECT_TRUE(radiolink::ReadRadio(full.radio, state).ok());
    expectExitArrives(full);
    auto off = lateRadio(20ms);
    off.fault = BenchRadio::plan("off");
    RealBench dead(off);
    EXPECT_FALSE(radiolink::WriteLimits(dead.radio, state).ok());
    expectExitArrives(dead);
}

TEST(LineEnd, TheNextProcedureWaitsUntilTheRadioHasLeftProgramming) {
    sim::RadioOptions o;
    o.pacing = false;
    std::mutex mutex;
    std::vector<std::pair<char, Clock::time_point>> seen;
    o.onFrame = [&](const std::vector<std::uint8_t>& frame) {
        std::lock_guard lock(mutex);
        seen.emplace_back(static_cast<char>(frame.at(0)), Clock::now());
    };
    BenchRadio bench(o);
    bench.radio.timing.afterExit = radiolink::Timing().afterExit;  // the wait under test
    image::EditorState state;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(radiolink::ReadLimits(bench.radio, state).ok());
    bench.virtualRadio.waitForFrames(9, 2s);  // the last "EXIT" has left; the radio may still be taking it
    std::lock_guard lock(mutex);
    ASSERT_EQ(seen.size(), 9u);
    for (std::size_t i = 2; i + 1 < seen.size(); i += 3) {
        ASSERT_EQ(seen[i].first, 'E');
        ASSERT_EQ(seen[i + 1].first, 'P');
        EXPECT_GE(seen[i + 1].second - seen[i].second, 495ms);
    }
}

TEST(LineEnd, AStopEndsAtTheNextBlockWithExit) {
    BenchRadio bench;
    image::EditorState state;
    const image::EditorState before = state;

    // Asked for while block 9's answer comes in: block 9 is taken, no block 10 goes out.
    auto r = radiolink::ReadRadio(bench.radio, state, [&](int done) {
        if (done == 10) bench.radio.requestStop();
    });
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.progress, 10);
    EXPECT_EQ(bench.framesAfterExit().size(), 1u + 10u + 1u);
    EXPECT_EQ(kinds(bench), "P" + std::string(10, 'R') + "E");

    // A stop that stands before a procedure starts keeps it from sending anything.
    bench.virtualRadio.clearReceived();
    r = radiolink::WriteRadio(bench.radio, before);
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.progress, 0);
    r = radiolink::ReadLimits(bench.radio, state);
    EXPECT_TRUE(r.interrupted);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(bench.frames().empty());

    // A write stopped halfway: the blocks acknowledged are in the radio, "EXIT" follows.
    bench.radio.clearStop();
    r = radiolink::WriteRadio(bench.radio, before, [&](int done) {
        if (done == 44) bench.radio.requestStop();
    });
    EXPECT_TRUE(r.interrupted);
    EXPECT_EQ(r.progress, 44);
    bench.framesAfterExit();
    EXPECT_EQ(kinds(bench), "P" + std::string(44, 'W') + "E");
}
