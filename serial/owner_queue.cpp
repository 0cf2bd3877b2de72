#include "serial/owner_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
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

std::size_t OwnerQueue::dispatch() {
    std::size_t budget;
    {
        std::lock_guard lock(mutex_);
        budget = entries_.size();
    }
    std::size_t delivered = 0;
    while (delivered < budget) {
        Entry entry;
        {
            std::lock_guard lock(mutex_);
            if (entries_.empty()) {
                settleLocked();
                break;
            }
            entry = std::move(entries_.front());
            entries_.pop_front();
            settleLocked();
        }
        entry.target->HandleNotification(entry.notification);
        ++delivered;
    }
    return delivered;
}

bool OwnerQueue::wait(std::chrono::milliseconds timeout) const {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + timeout;
    for (;;) {
        if (pending() > 0) return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0) return false;
        pollfd p{eventFd_, POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left));
        if (r < 0 && errno != EINTR) return pending() > 0;
    }
}

void OwnerQueue::cancel(NotifyTarget* target) {
    std::deque<Entry> dropped;  // buffers freed outside the lock
    std::lock_guard lock(mutex_);
    auto keep = std::stable_partition(entries_.begin(), entries_.end(),
                                      [target](const Entry& e) { return e.target != target; });
    std::move(keep, entries_.end(), std::back_inserter(dropped));
    entries_.erase(keep, entries_.end());
    settleLocked();
}

std::size_t OwnerQueue::pending() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

}  // namespace serial
