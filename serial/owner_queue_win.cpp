// The owner queue on Windows: a manual-reset event is signalled while something is pending.
#include "serial/owner_queue.h"

#include <windows.h>

#include <algorithm>
#include <system_error>

namespace serial {

OwnerQueue::OwnerQueue() {
    event_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!event_) throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "CreateEvent");
}

OwnerQueue::~OwnerQueue() { ::CloseHandle(event_); }

bool OwnerQueue::post(NotifyTarget* target, Notification notification) noexcept {
    try {
        std::lock_guard lock(mutex_);
        entries_.push_back(Entry{target, std::move(notification)});
        if (!signalled_) {
            ::SetEvent(event_);
            signalled_ = true;
        }
        return true;
    } catch (...) {
        return false;
    }
}

void OwnerQueue::settleLocked() {
    if (entries_.empty() && signalled_) {
        ::ResetEvent(event_);
        signalled_ = false;
    }
}

bool OwnerQueue::wait(std::chrono::milliseconds timeout) const {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + timeout;
    for (;;) {
        if (pending() > 0) return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0) return false;
        ::WaitForSingleObject(event_, static_cast<DWORD>(left));
    }
}

}  // namespace serial
