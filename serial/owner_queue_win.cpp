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

// Waits up to `ms` for the event; false when the wait itself failed.
bool OwnerQueue::waitForSignal(long long ms) const {
    return ::WaitForSingleObject(event_, static_cast<DWORD>(ms)) != WAIT_FAILED;
}

}  // namespace serial
