// The virtual radio's line on POSIX: the master side of a pseudo-terminal, whose slave a port
// opens; an eventfd each for the stop and the wake.
#include "sim/line.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace sim {
namespace {

std::system_error SystemError(const char* what) { return std::system_error(errno, std::generic_category(), what); }

void Raw(int fd) {
    termios t{};
    if (::tcgetattr(fd, &t) != 0) return;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    ::cfsetspeed(&t, B19200);
    ::tcsetattr(fd, TCSANOW, &t);
}

void Drain(int eventFd) {
    std::uint64_t count;
    [[maybe_unused]] const auto got = ::read(eventFd, &count, sizeof count);
}

void Signal(int eventFd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(eventFd, &one, sizeof one);
}

}  // namespace

struct RadioLine::Native {
    int master = -1;
    int slaveKeeper = -1;  // keeps the slave side from hanging up while no port has it open
    int stop = -1;         // eventfd: the owner ends the thread
    int wake = -1;         // eventfd: the owner has something for the thread
};

RadioLine::RadioLine() : native_(std::make_unique<Native>()) {
    Native& n = *native_;
    n.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (n.master < 0) throw SystemError("posix_openpt");
    char name[128];
    if (::grantpt(n.master) != 0 || ::unlockpt(n.master) != 0 || ::ptsname_r(n.master, name, sizeof name) != 0) {
        const auto error = SystemError("pseudo-terminal");
        ::close(n.master);
        throw error;
    }
    name_ = name;
    n.slaveKeeper = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    n.stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    n.wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (n.slaveKeeper < 0 || n.stop < 0 || n.wake < 0) {
        const auto error = SystemError("pseudo-terminal");
        for (int fd : {n.master, n.slaveKeeper, n.stop, n.wake})
            if (fd >= 0) ::close(fd);
        throw error;
    }
    Raw(n.master);
    Raw(n.slaveKeeper);
}

RadioLine::~RadioLine() {
    close();
    ::close(native_->stop);
    ::close(native_->wake);
}

bool RadioLine::open() const { return native_->master >= 0; }

void RadioLine::close() {
    Native& n = *native_;
    if (n.master >= 0) ::close(n.master);
    if (n.slaveKeeper >= 0) ::close(n.slaveKeeper);
    n.master = n.slaveKeeper = -1;
}

void RadioLine::stop() { Signal(native_->stop); }
void RadioLine::wake() { Signal(native_->wake); }

// One poll() on the line, the stop and the wake.
RadioLine::Event RadioLine::wait(std::optional<Clock::time_point> deadline) {
    Native& n = *native_;
    for (;;) {
        int timeout = -1;
        if (deadline) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
            timeout = static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
        }
        pollfd fds[3] = {{n.stop, POLLIN, 0}, {n.wake, POLLIN, 0}, {n.master, POLLIN, 0}};
        const int r = ::poll(fds, n.master >= 0 ? 3 : 2, timeout);
        if (r < 0) {
            if (errno == EINTR) continue;
            return Event::Stop;
        }
        if (fds[0].revents) return Event::Stop;
        if (fds[1].revents) {
            Drain(n.wake);
            return Event::Wake;
        }
        if (r == 0) return Event::Quiet;
        if (n.master < 0) continue;
        // A hang-up cannot happen while the keeper is open; never spin on it.
        if (!(fds[2].revents & POLLIN) && (fds[2].revents & (POLLHUP | POLLERR | POLLNVAL))) return Event::Gone;
        return Event::Readable;
    }
}

std::ptrdiff_t RadioLine::read(std::uint8_t* buffer, std::size_t size) {
    const ssize_t got = ::read(native_->master, buffer, size);
    if (got >= 0) return got;
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

bool RadioLine::sleepUntil(Clock::time_point when) {
    for (;;) {
        const auto now = Clock::now();
        if (now >= when) return true;
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(when - now);
        timespec ts{static_cast<time_t>(left.count() / 1'000'000'000), static_cast<long>(left.count() % 1'000'000'000)};
        pollfd p{native_->stop, POLLIN, 0};
        const int r = ::ppoll(&p, 1, &ts, nullptr);
        if (r > 0) return false;
    }
}

bool RadioLine::send(const std::uint8_t* data, std::size_t length) {
    Native& n = *native_;
    std::size_t sent = 0;
    while (sent < length) {
        if (n.master < 0) return false;
        const ssize_t written = ::write(n.master, data + sent, length - sent);
        if (written > 0) {
            sent += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd fds[2] = {{n.stop, POLLIN, 0}, {n.master, POLLOUT, 0}};
        if (::poll(fds, 2, -1) > 0 && fds[0].revents) return false;
    }
    return true;
}

}  // namespace sim
