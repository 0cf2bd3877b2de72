#include <gtest/gtest.h>

#include "serial/comm.h"
#include "tests/serial/pty_pair.h"

namespace {

using serial::OwnerQueue;
using serial::TComm;
using testing_pty::Bytes;
using testing_pty::PtyPair;

// A thousand openings, a megabyte each way, and afterwards the process holds what it held
// before: no descriptor, no thread, no queued notification.
TEST(TCommSoak, AThousandOpeningsMoveAMegabyteEachWayAndLeaveNothingBehind) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    comm.SetCommName(pty.path());
    comm.SetOutx_XonXoffFlow(false);  // every byte value is data here
    comm.SetInx_XonXoffFlow(false);
    std::size_t received = 0;
    std::uint8_t expect = 0;
    bool inOrder = true;
    comm.OnReceiveData = [&](TComm&, const std::uint8_t* b, std::uint16_t n) {
        for (std::uint16_t i = 0; i < n; ++i) inOrder = inOrder && b[i] == expect++;
        received += n;
    };
    const auto fds = testing_pty::OpenFds();
    const auto threads = testing_pty::Threads();

    constexpr std::size_t kRounds = 1000, kPerRound = 1049;  // 1000 x 1049 > 1 MiB
    Bytes out(kPerRound);
    std::uint8_t next = 0;
    std::size_t sentTotal = 0, arrived = 0;
    for (std::size_t round = 0; round < kRounds; ++round) {
        ASSERT_TRUE(comm.OpenPort().ok());
        for (auto& b : out) b = next++;
        ASSERT_TRUE(comm.SendData(out.data(), static_cast<std::uint16_t>(out.size())));
        const Bytes at = pty.read(kPerRound);
        ASSERT_EQ(at, out) << "round " << round;
        sentTotal += at.size();
        const std::size_t target = received + kPerRound;
        Bytes back(out);
        pty.write(back);
        ASSERT_TRUE(testing_pty::PumpUntil(queue, [&] { return received >= target; })) << "round " << round;
        comm.ClosePort();
        arrived = received;
    }
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(sentTotal, kRounds * kPerRound);
    EXPECT_EQ(arrived, kRounds * kPerRound);
    EXPECT_EQ(testing_pty::OpenFds(), fds);
    EXPECT_EQ(testing_pty::Threads(), threads);
    EXPECT_EQ(queue.pending(), 0u);
}

}  // namespace
