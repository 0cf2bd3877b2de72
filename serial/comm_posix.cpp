// TComm's worker threads and time-outs on POSIX: poll() on the device and the eventfds.
#include "serial/comm.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace serial {
namespace {

// While the driver keeps error and modem counters, the reader also wakes this often to see
// ring and carrier changes, which arrive without data. Line errors come with data and are
// seen at once. Without counters (a pseudo-terminal) the reader sleeps until data,
// hang-up or the close event.
constexpr int kCounterCheckMs = 200;

}  // namespace

// The five time-outs have no effect on this system and are only stored: the reader hands
// over bytes as soon as they arrive instead of waiting for ReadIntervalTimeout to pass
// without a byte, and the writer waits until a block is written or the port closes (a
// write cut short by a time-out would only continue with the rest).
void TComm::ApplyTimeouts() {}

// The reader: one poll() on the device and the close event; every read of up to 2048
// bytes is posted as one CM_DATA, in order. The device vanishing (POLLHUP, POLLERR, a read
// of 0 or EIO: an unplugged adapter, a closed pseudo-terminal) posts CM_HANGUP and ends the
// thread; the port stays formally open until ClosePort. Beyond kReceiveBacklog bytes not yet
// handed over, what is read is dropped (CE_RXOVER, once until the backlog has halved).
void TComm::ReadThreadMain() {
    const int fd = PortHandle_;
    const int closeEvent = CloseEvent_;
    platform::Counters counters;
    const bool haveCounters = platform::ReadCounters(fd, counters);
    std::uint8_t buffer[kReadBufferSize];
    bool overflowing = false;

    auto checkCounters = [&] {
        platform::Counters now;
        if (!haveCounters || !platform::ReadCounters(fd, now)) return;
        if (const auto errors = platform::LineErrorsBetween(counters, now)) PostFromThread(CM_ERROR, errors);
        if (const auto modem = platform::ModemEventsBetween(counters, now)) PostFromThread(CM_MODEM, modem);
        counters = now;
    };

    for (;;) {
        pollfd fds[2] = {{closeEvent, POLLIN, 0}, {fd, POLLIN, 0}};
        const int r = ::poll(fds, 2, haveCounters ? kCounterCheckMs : -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            PostFromThread(CM_HANGUP);
            return;
        }
        if (fds[0].revents) return;
        const short ev = fds[1].revents;
        if (ev & POLLNVAL) return;  // the handle went away under us: end silently
        if (ev & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                checkCounters();
                if (!Deliver(buffer, static_cast<std::size_t>(got), overflowing)) return;
                continue;
            }
            const int error = got < 0 ? errno : 0;
            if (got < 0 && (error == EAGAIN || error == EINTR) && !(ev & (POLLHUP | POLLERR))) continue;
            if (error == EBADF) return;
            PostFromThread(CM_HANGUP);
            return;
        }
        checkCounters();
    }
}

// The writer's wait for SendData's next block: true when one may be queued, false when the
// port closes (or the wait fails, CM_HANGUP posted).
bool TComm::WaitForQueue() {
    pollfd fds[2] = {{CloseEvent_, POLLIN, 0}, {WriteWake_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) return true;
        PostFromThread(CM_HANGUP);
        return false;
    }
    if (fds[0].revents) return false;
    std::uint64_t count;
    [[maybe_unused]] const auto got = ::read(WriteWake_, &count, sizeof count);
    return true;
}

bool TComm::WriteBlock(const std::vector<std::uint8_t>& block) {
    const int fd = PortHandle_;
    std::size_t sent = 0;
    while (sent < block.size()) {
        const ssize_t n = ::write(fd, block.data() + sent, block.size() - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EBADF) return false;
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            PostFromThread(CM_HANGUP);
            return false;
        }
        // The driver's output queue is full: wait until it takes more, or the port closes.
        pollfd fds[2] = {{CloseEvent_, POLLIN, 0}, {fd, POLLOUT, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            PostFromThread(CM_HANGUP);
            return false;
        }
        if (fds[0].revents) return false;
        if (fds[1].revents & POLLNVAL) return false;
        if (fds[1].revents & (POLLHUP | POLLERR)) {
            PostFromThread(CM_HANGUP);
            return false;
        }
    }
    return true;
}

}  // namespace serial
