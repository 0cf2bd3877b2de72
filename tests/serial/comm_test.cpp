#include "serial/comm.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#include "tests/serial/pty_pair.h"

namespace {

using namespace std::chrono_literals;
using serial::OwnerQueue;
using serial::TComm;
using testing_pty::Bytes;
using testing_pty::PtyPair;
using testing_pty::PumpUntil;

using base::ErrorKind;

// What a failed OpenPort says, and the kind its callers act on.
struct OpenFault {
    std::string error;
    ErrorKind kind;
    bool operator==(const OpenFault&) const = default;
    friend std::ostream& operator<<(std::ostream& out, const OpenFault& f) {
        return out << f.error << " (kind " << static_cast<int>(f.kind) << ")";
    }
};
OpenFault OpenError(TComm& comm) {
    const auto opened = comm.OpenPort();
    return {opened.error, opened.kind};
}

// Everything delivered to OnReceiveData, block by block.
struct Blocks {
    std::vector<Bytes> blocks;
    void attach(TComm& comm) {
        comm.OnReceiveData = [this](TComm&, const std::uint8_t* b, std::uint16_t n) { blocks.emplace_back(b, b + n); };
    }
    Bytes all() const {
        Bytes out;
        for (const auto& b : blocks) out.insert(out.end(), b.begin(), b.end());
        return out;
    }
};

// The line of the main window's port: 19200 8N1, no flow control. (With the new component's
// XON/XOFF the bytes 0x11 and 0x13 would be taken as flow control, not data.)
void LikeComm1(TComm& comm) {
    comm.SetBaudRate(19200);
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
}

bool Send(TComm& comm, const Bytes& bytes) {
    return comm.SendData(bytes.data(), static_cast<std::uint16_t>(bytes.size()));
}

TEST(TComm, OpenFailuresRaiseTheirMessageAndLeaveNothingOpen) {
    OwnerQueue queue;
    TComm comm(queue);
    const auto fds = testing_pty::OpenFds();
    const auto threads = testing_pty::Threads();

    comm.SetCommName("/dev/no-such-port");
    EXPECT_EQ(OpenError(comm), (OpenFault{serial::kErrorOpening, ErrorKind::NotFound}));

    comm.SetCommName("/dev/null");  // a character device, but no terminal
    EXPECT_EQ(OpenError(comm), (OpenFault{"File handle is not a comm handle ", ErrorKind::NotRegular}));

    char file[] = "/tmp/comm-test-XXXXXX";
    const int f = ::mkstemp(file);
    ASSERT_GE(f, 0);
    ::close(f);
    comm.SetCommName(file);
    EXPECT_EQ(OpenError(comm), (OpenFault{serial::kNotCommHandle, ErrorKind::NotRegular}));
    ::unlink(file);

    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(testing_pty::OpenFds(), fds);
    EXPECT_EQ(testing_pty::Threads(), threads);
    comm.ClosePort();  // closed: nothing to do
    EXPECT_FALSE(comm.SendData(reinterpret_cast<const std::uint8_t*>("x"), 1));
}

TEST(TComm, APortOpensOnceWhoeverAsksAndTheOpenPortKeepsWorking) {
    PtyPair pty;
    OwnerQueue queue;
    TComm first(queue);
    Blocks got;
    got.attach(first);
    first.SetCommName(pty.path());
    ASSERT_TRUE(first.OpenPort().ok());

    EXPECT_EQ(OpenError(first), (OpenFault{"This serial port already opened", ErrorKind::Busy}));

    TComm second(queue);
    second.SetCommName(pty.path());
    EXPECT_EQ(OpenError(second), (OpenFault{"Error opening serial port", ErrorKind::Busy}));
    EXPECT_FALSE(second.IsOpen());

    // Another program, here a child process, is refused as well, also as root (TIOCEXCL
    // alone would let root in).
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OwnerQueue childQueue;
        TComm other(childQueue);
        other.SetCommName(pty.path());
        const auto opened = other.OpenPort();
        int code = opened.ok() ? 1 : opened.error == serial::kErrorOpening && opened.kind == base::ErrorKind::Busy ? 0 : 2;
        const int raw = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (raw >= 0 && ::flock(raw, LOCK_EX | LOCK_NB) == 0) code = 4;
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: opened, 2: other message, 4: lock taken; uid " << ::getuid();

    // The first port still works both ways.
    EXPECT_TRUE(Send(first, {1, 2, 3}));
    EXPECT_EQ(pty.read(3), (Bytes{1, 2, 3}));
    pty.write({9, 8});
    EXPECT_TRUE(PumpUntil(queue, [&] { return got.all().size() == 2; }));
    EXPECT_EQ(got.all(), (Bytes{9, 8}));

    first.ClosePort();
    ASSERT_TRUE(second.OpenPort().ok());  // free again once closed
    EXPECT_TRUE(second.IsOpen());
}

TEST(TComm, SendDataQueuesCopiesInOrderAndReportsTheQueueRunningEmpty) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    int empties = 0;
    comm.OnSendDataEmpty = [&](TComm&) { ++empties; };
    comm.SetCommName(pty.path());
    ASSERT_TRUE(comm.OpenPort().ok());
    EXPECT_TRUE(PumpUntil(queue, [&] { return empties == 1; }));  // once when the writer starts

    const std::uint8_t one = 0x55;
    EXPECT_FALSE(comm.SendData(&one, 0));
    EXPECT_TRUE(pty.read(1, 100ms).empty());

    Bytes block(300);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i);
    EXPECT_TRUE(Send(comm, block));
    block.assign(block.size(), 0xEE);  // the port sends its copy, not the caller's buffer
    EXPECT_TRUE(Send(comm, {0xA0}));
    EXPECT_TRUE(Send(comm, {0xA1, 0xA2}));
    const Bytes out = pty.read(303);
    ASSERT_EQ(out.size(), 303u);
    for (std::size_t i = 0; i < 300; ++i) ASSERT_EQ(out[i], static_cast<std::uint8_t>(i));
    EXPECT_EQ(Bytes(out.begin() + 300, out.end()), (Bytes{0xA0, 0xA1, 0xA2}));

    EXPECT_TRUE(PumpUntil(queue, [&] { return empties >= 2 && comm.SendQueueEmpty; }));
    EXPECT_LE(empties, 4);  // at most once per written block, plus the start

    comm.ClosePort();
    EXPECT_FALSE(Send(comm, {1}));
}

TEST(TComm, EveryQueuedBlockIsReportedWrittenOrDropped) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    std::vector<std::size_t> written, dropped;
    comm.OnDataSent = [&](TComm&, const std::uint8_t*, std::uint16_t n) { written.push_back(n); };
    comm.OnDataDropped = [&](TComm&, const std::uint8_t*, std::uint16_t n) { dropped.push_back(n); };
    comm.SetCommName(pty.path());
    ASSERT_TRUE(comm.OpenPort().ok());
    EXPECT_TRUE(Send(comm, {1, 2, 3}));
    EXPECT_TRUE(PumpUntil(queue, [&] { return written.size() == 1; }));
    EXPECT_EQ(written, (std::vector<std::size_t>{3}));

    // Nobody reads the line: the writer stalls once the terminal's buffers are full, and the
    // blocks it holds and has queued are reported dropped when the port closes.
    for (int i = 0; i < 64; ++i) EXPECT_TRUE(Send(comm, Bytes(60000, 0x42)));
    PumpUntil(queue, [&] { return written.size() > 1; }, 200ms);
    const std::size_t sent = written.size();
    comm.ClosePort();
    EXPECT_EQ(sent - 1 + dropped.size(), 64u);
    EXPECT_GT(dropped.size(), 0u);
}

TEST(TComm, LineSettingsApplyAtOnceExceptParityAndCommNameWhichWaitForTheNextOpen) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    comm.SetCommName(pty.path());
    LikeComm1(comm);
    const termios before = pty.settings();
    ASSERT_TRUE(comm.OpenPort().ok());

    termios t = pty.settings();
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));

    // A pseudo-terminal always reports CS8 and clears PARENB, so the data bits cannot be seen
    // here and parity shows in PARODD and CMSPAR only.
    comm.SetBaudRate(115200);
    comm.SetStopBits(serial::TStopBits::_2);
    comm.SetOutx_CtsFlow(true);
    comm.SetOutx_XonXoffFlow(true);
    comm.SetXonChar(0x01);
    t = pty.settings();
    EXPECT_EQ(cfgetospeed(&t), B115200);
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_iflag & IXOFF);
    EXPECT_EQ(t.c_cc[VSTART], 0x01);

    // A setter given the value it holds does nothing: a change made behind its back stays.
    termios outside = t;
    cfsetspeed(&outside, B1200);
    ::tcsetattr(pty.probe(), TCSANOW, &outside);
    comm.SetBaudRate(115200);
    t = pty.settings();
    EXPECT_EQ(cfgetospeed(&t), B1200);

    comm.SetParity(serial::TParity::Mark);
    PtyPair other;
    comm.SetCommName(other.path());
    t = pty.settings();
    EXPECT_FALSE(t.c_cflag & (PARODD | CMSPAR)) << "Parity reached the open port";
    EXPECT_EQ(comm.CommName(), other.path());
    EXPECT_TRUE(comm.IsOpen());

    // Closing restores what the device had before; the next open uses both stored values.
    comm.ClosePort();
    t = pty.settings();
    EXPECT_EQ(cfgetospeed(&t), cfgetospeed(&before));
    EXPECT_EQ(t.c_cflag, before.c_cflag);
    ASSERT_TRUE(comm.OpenPort().ok());
    t = other.settings();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), static_cast<tcflag_t>(PARODD | CMSPAR));
    comm.SetParity(serial::TParity::Space);
    comm.SetBaudRate(9600);  // applies the whole line, the stored parity with it
    t = other.settings();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), static_cast<tcflag_t>(CMSPAR));
    EXPECT_EQ(cfgetospeed(&t), B9600);
}

TEST(TComm, ReceivedBytesArriveExactlyAndInOrderInBlocksOfAtMost2048) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    Bytes received;
    comm.OnReceiveData = [&](TComm&, const std::uint8_t* b, std::uint16_t n) { received.insert(received.end(), b, b + n); };
    LikeComm1(comm);
    comm.SetCommName(pty.path());
    ASSERT_TRUE(comm.OpenPort().ok());

    pty.write({0x00, 0x0A, 0xFF});
    EXPECT_TRUE(PumpUntil(queue, [&] { return received.size() == 3; }));
    EXPECT_EQ(received, (Bytes{0x00, 0x0A, 0xFF}));
    pty.write({0x06});
    EXPECT_TRUE(PumpUntil(queue, [&] { return received.size() == 4; }));
    EXPECT_EQ(received, (Bytes{0x00, 0x0A, 0xFF, 0x06}));

    // A burst that comes while the owner is busy: queued as several blocks, delivered in
    // order once the loop runs.
    Blocks got;
    got.attach(comm);
    Bytes burst(5000);
    for (std::size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    pty.write(burst);
    // The owner does not dispatch until the burst has come in as several blocks.
    EXPECT_TRUE(testing_pty::WaitFor([&] { return queue.pending() >= 3; }, 2000ms));
    EXPECT_TRUE(PumpUntil(queue, [&] { return got.all().size() >= burst.size(); }));
    EXPECT_EQ(got.all(), burst);
    EXPECT_GE(got.blocks.size(), 3u);
    for (const auto& b : got.blocks) {
        EXPECT_LE(b.size(), serial::kReadBufferSize);
        EXPECT_FALSE(b.empty());
    }

    // IgnoreNullChar, applied at once: zero bytes are dropped on input.
    got.blocks.clear();
    comm.SetIgnoreNullChar(true);
    pty.write({0x00, 0x41, 0x00, 0x00, 0x42});
    EXPECT_TRUE(PumpUntil(queue, [&] { return got.all().size() == 2; }));
    EXPECT_EQ(got.all(), (Bytes{0x41, 0x42}));
}

TEST(TComm, NothingOfAnEarlierOpeningIsDeliveredAfterClosePort) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    Blocks got;
    got.attach(comm);
    int hangups = 0, empties = 0;
    comm.OnRequestHangup = [&](TComm&) { ++hangups; };
    comm.OnSendDataEmpty = [&](TComm&) { ++empties; };
    comm.SetCommName(pty.path());
    ASSERT_TRUE(comm.OpenPort().ok());
    pty.write({1, 2, 3});
    ASSERT_TRUE(queue.wait(2000ms));
    comm.ClosePort();
    EXPECT_EQ(queue.pending(), 0u);
    queue.dispatch();
    EXPECT_TRUE(got.blocks.empty());
    EXPECT_EQ(empties, 0);

    // Bytes that reached the device while it was closed are not delivered by the next
    // opening either; what comes after it is.
    pty.write({4, 5, 6});
    ASSERT_TRUE(testing_pty::WaitFor([&] { return pty.waitingAtDevice() >= 3; }, 2000ms));
    ASSERT_TRUE(comm.OpenPort().ok());
    pty.write({7});
    // Bytes come in order: once the 8 after it is here, anything stale would be too.
    pty.write({8});
    EXPECT_TRUE(PumpUntil(queue, [&] { return !got.all().empty() && got.all().back() == 8; }));
    EXPECT_EQ(got.all(), (Bytes{7, 8}));
    EXPECT_EQ(hangups, 0);
}

TEST(TComm, AVanishedDeviceGivesOneHangUpQuicklyAndTheReaderStops) {
    auto pty = std::make_unique<PtyPair>();
    OwnerQueue queue;
    TComm comm(queue);
    int hangups = 0;
    comm.OnRequestHangup = [&](TComm&) { ++hangups; };
    comm.SetCommName(pty->path());
    const auto threadsBefore = testing_pty::Threads();
    ASSERT_TRUE(comm.OpenPort().ok());
    ASSERT_TRUE(testing_pty::WaitForThreads(threadsBefore + 2));

    // Seen at once, not after a frame's time-out (bench_serial measures how soon).
    pty->hangUp();
    ASSERT_TRUE(PumpUntil(queue, [&] { return hangups > 0; }, 1000ms));

    // The reader has ended (the writer sleeps on), and nothing spins: over 200 ms the
    // process uses almost no processor time.
    EXPECT_TRUE(testing_pty::WaitForThreads(threadsBefore + 1));
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    ::usleep(200000);
    ::getrusage(RUSAGE_SELF, &after);
    const auto usec = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec + r.ru_stime.tv_usec;
    };
    EXPECT_LT(usec(after) - usec(before), 100000L);  // a spinning reader would take all 200 ms
    queue.dispatch();
    EXPECT_EQ(hangups, 1);

    EXPECT_TRUE(comm.IsOpen());  // formally open until ClosePort
    comm.ClosePort();
    EXPECT_EQ(testing_pty::Threads(), threadsBefore);
}

// The link closes the port from its own event handlers: what was still queued for that
// opening is not delivered, and the threads are gone when ClosePort returns.
TEST(TComm, AHandlerMayCloseThePortItIsCalledFor) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    LikeComm1(comm);
    comm.SetCommName(pty.path());
    const auto threads = testing_pty::Threads();
    int blocks = 0;
    comm.OnReceiveData = [&](TComm& sender, const std::uint8_t*, std::uint16_t) {
        ++blocks;
        sender.ClosePort();
    };
    ASSERT_TRUE(comm.OpenPort().ok());
    pty.write({1});
    ASSERT_TRUE(queue.wait(2000ms));
    // The second block is queued behind the first before the first's handler closes the port.
    pty.write({2});
    ASSERT_TRUE(testing_pty::WaitFor([&] { return queue.pending() >= 2; }, 2000ms));
    queue.dispatch();
    EXPECT_EQ(blocks, 1);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(testing_pty::Threads(), threads);

    int hangups = 0;
    comm.OnRequestHangup = [&](TComm& sender) {
        ++hangups;
        sender.ClosePort();
    };
    ASSERT_TRUE(comm.OpenPort().ok());
    pty.hangUp();
    EXPECT_TRUE(PumpUntil(queue, [&] { return !comm.IsOpen(); }));
    EXPECT_EQ(hangups, 1);
    EXPECT_EQ(testing_pty::Threads(), threads);
}

// A peer that sends faster than the owner takes its bytes costs no more than the bound: the
// rest is dropped and reported once as CE_RXOVER, and the port goes on working.
TEST(TComm, BytesWaitingForTheOwnerAreBoundedAndTheOverflowReported) {
    PtyPair pty;
    OwnerQueue queue;
    TComm comm(queue);
    LikeComm1(comm);
    Blocks got;
    got.attach(comm);
    std::vector<std::uint32_t> errors;
    comm.OnReceiveError = [&](TComm&, std::uint32_t e) { errors.push_back(e); };
    comm.SetCommName(pty.path());
    ASSERT_TRUE(comm.OpenPort().ok());
    pty.write(Bytes(8 * serial::kReceiveBacklog, 0x55));  // the owner dispatches nothing meanwhile
    for (int i = 0; i < 200 && pty.waitingAtDevice() > 0; ++i) std::this_thread::sleep_for(5ms);
    std::this_thread::sleep_for(20ms);
    queue.dispatch();
    EXPECT_LE(got.all().size(), serial::kReceiveBacklog);
    EXPECT_GE(got.all().size(), serial::kReceiveBacklog / 2);
    EXPECT_EQ(errors, (std::vector<std::uint32_t>{serial::platform::CE_RXOVER}));

    got.blocks.clear();
    pty.write({1, 2, 3});
    EXPECT_TRUE(PumpUntil(queue, [&] { return got.all().size() == 3; }));
    EXPECT_EQ(got.all(), (Bytes{1, 2, 3}));
}

}  // namespace
