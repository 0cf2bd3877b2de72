// The owner queue on POSIX: an eventfd is readable while something is pending.
#include "serial/owner_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace serial {

OwnerQueue::OwnerQueue() {
    eventFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (eventFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
}

OwnerQueue::~OwnerQueue() { ::close(eventFd_); }

bool OwnerQueue::post(NotifyTarget* target, Notification notification) noexcept {
    try {
        std::lock_guard lock(mutex_);
        entries_.push_back(Entry{target, std::move(notification)});
        if (!signalled_) {
            const std::uint64_t one = 1;
            // Cannot fail short of a counter overflow, which one pending flag never reaches.
            [[maybe_unused]] const auto written = ::write(eventFd_, &one, sizeof one);
            signalled_ = true;
        }
        return true;
    } catch (...) {
        return false;
    }
}

void OwnerQueue::settleLocked() {
    if (entries_.empty() && signalled_) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto got = ::read(eventFd_, &count, sizeof count);
        signalled_ = false;
    }
}

// Waits up to `ms` for the eventfd; false when the wait itself failed.
bool OwnerQueue::waitForSignal(long long ms) const {
    pollfd p{eventFd_, POLLIN, 0};
    return ::poll(&p, 1, static_cast<int>(ms)) >= 0 || errno == EINTR;
}

}  // namespace serial
