#include "serial/owner_queue.h"

#include <algorithm>

namespace serial {

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

bool OwnerQueue::wait(std::chrono::milliseconds timeout) const {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + timeout;
    for (;;) {
        if (pending() > 0) return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0) return false;
        if (!waitForSignal(left)) return pending() > 0;
    }
}

}  // namespace serial
