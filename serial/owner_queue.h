// The owner thread's event queue: the place where the port's worker threads leave what they
// learned (received blocks, line errors, modem changes, hang-up, send queue empty) for the
// thread that owns the port. Worker threads only post; the owner thread delivers, from its
// event loop, by calling dispatch(). It plays the part of the component's hidden notify
// window: a Qt window hangs a QSocketNotifier on fd(), a command-line loop calls wait().
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace serial {

// Notification numbers: user message base 0x400 plus 1 ... 5.
enum CommMessage : std::uint32_t {
    CM_DATA = 0x400 + 1,       // bytes received
    CM_ERROR = 0x400 + 2,      // line-error flags in param
    CM_HANGUP = 0x400 + 3,     // a worker thread ended on a failure, or the device vanished
    CM_MODEM = 0x400 + 4,      // modem mask in param: 4 ring, 8 carrier detect
    CM_SENDEMPTY = 0x400 + 5,  // the writer found its queue empty
    CM_SENT = 0x400 + 6,       // a queued block has been written to the device in full
};

struct Notification {
    CommMessage message = CM_HANGUP;
    std::uint32_t param = 0;         // CM_ERROR flags, CM_MODEM mask, otherwise 0
    std::vector<std::uint8_t> data;  // CM_DATA, CM_SENT: the block; owned by the entry, freed after delivery
};

// What a notification is addressed to. HandleNotification runs on the owner thread only.
class NotifyTarget {
public:
    virtual void HandleNotification(Notification& notification) = 0;

protected:
    ~NotifyTarget() = default;
};

class OwnerQueue {
public:
    OwnerQueue();  // throws std::system_error when the eventfd cannot be created
    ~OwnerQueue();
    OwnerQueue(const OwnerQueue&) = delete;
    OwnerQueue& operator=(const OwnerQueue&) = delete;

    // Any thread. Appends the notification behind everything already pending and makes fd()
    // readable. False only when the entry cannot be stored (out of memory).
    bool post(NotifyTarget* target, Notification notification) noexcept;

#ifdef _WIN32
    // A manual-reset event, signalled while something is pending.
    void* event() const { return event_; }
#else
    // Readable while something is pending.
    int fd() const { return eventFd_; }
#endif

    // Owner thread. Delivers, in the order posted, the entries pending when it was called
    // (entries posted meanwhile wait for the next call, so a busy reader cannot starve the
    // caller). Entries are taken one at a time, so a handler may call dispatch() again (a
    // wait inside a handler) or cancel its own target without disturbing the order.
    // Returns the number delivered.
    std::size_t dispatch();

    // Owner thread. Sleeps in poll() on fd() (on the event on Windows) until something is pending or the time has
    // passed; does not dispatch. True when something is pending.
    bool wait(std::chrono::milliseconds timeout) const;

    // Owner thread. Drops every pending entry addressed to target (with its buffer). A port
    // calls it when it closes and when it is destroyed, so nothing of an earlier opening
    // reaches it afterwards.
    void cancel(NotifyTarget* target);

    std::size_t pending() const;

private:
    struct Entry {
        NotifyTarget* target = nullptr;
        Notification notification;
    };

    bool waitForSignal(long long ms) const;  // the platform's wait on the signal, up to ms
    void settleLocked();  // clears the eventfd (the event) once nothing is pending; mutex_ held

#ifdef _WIN32
    void* event_ = nullptr;
#else
    int eventFd_ = -1;
#endif
    mutable std::mutex mutex_;
    std::deque<Entry> entries_;
    bool signalled_ = false;  // eventfd holds a count
};

}  // namespace serial
