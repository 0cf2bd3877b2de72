// A pseudo-terminal for the port tests: the test plays the far end on the master side; the
// slave path is what a TComm opens. A second slave descriptor is kept open, so the slave
// side does not hang up between openings, and serves to look at the line settings.
#pragma once

#include <fcntl.h>
#include <sys/ioctl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "serial/owner_queue.h"

namespace testing_pty {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            throw std::runtime_error("no pseudo-terminal");
        char name[128];
        if (::ptsname_r(master_, name, sizeof name) != 0) throw std::runtime_error("ptsname");
        path_ = name;
        keep_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
        ::tcgetattr(keep_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(keep_, TCSANOW, &t);
    }
    ~PtyPair() {
        if (master_ >= 0) ::close(master_);
        if (keep_ >= 0) ::close(keep_);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& path() const { return path_; }
    int probe() const { return keep_; }  // a slave descriptor: same line settings as the port

    termios settings() const {
        termios t{};
        ::tcgetattr(keep_, &t);
        return t;
    }

    void write(const Bytes& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + sent, bytes.size() - sent);
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                continue;
            }
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }

    // Reads until `count` bytes have come or the time has passed.
    Bytes read(std::size_t count, std::chrono::milliseconds timeout = 2000ms) {
        Bytes out;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (out.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) break;
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            std::uint8_t buf[4096];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

    // Bytes written to the line that no reader on the device side has taken yet.
    int waitingAtDevice() const {
        int n = 0;
        return ::ioctl(keep_, FIONREAD, &n) == 0 ? n : -1;
    }

    // The far end goes away, as an unplugged adapter does.
    void hangUp() {
        ::close(master_);
        master_ = -1;
        ::close(keep_);
        keep_ = -1;
    }

private:
    int master_ = -1;
    int keep_ = -1;
    std::string path_;
};

// A thread started and ended before any test counts threads: some runtimes (ThreadSanitizer)
// start a helper thread of their own with the first thread of the process.
inline const bool kRuntimeThreadsStarted = [] {
    std::thread([] {}).join();
    return true;
}();

inline std::size_t CountEntries(const char* dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}
inline std::size_t OpenFds() { return CountEntries("/proc/self/fd"); }
inline std::size_t Threads() { return CountEntries("/proc/self/task"); }

// Runs the owner's loop until done() holds or the time has passed.
template <class Done>
bool PumpUntil(serial::OwnerQueue& queue, Done done, std::chrono::milliseconds timeout = 2000ms) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        queue.dispatch();
        if (done()) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        queue.wait(std::min(left, std::chrono::milliseconds(50)));
    }
}

// Waits, without dispatching, until `done` holds.
template <class Done>
bool WaitFor(Done done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::usleep(1000);
    }
    return true;
}

// Waits, without dispatching, until the thread count is `count`.
inline bool WaitForThreads(std::size_t count, std::chrono::milliseconds timeout = 2000ms) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (Threads() != count) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::usleep(1000);
    }
    return true;
}

}  // namespace testing_pty
