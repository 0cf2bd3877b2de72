// The virtual radio's line on Windows, which has no pseudo-terminal: the server end of a named
// pipe, \\.\pipe\radio-virtual-<pid>-<n>, that the serial layer opens like a port. Overlapped
// I/O throughout, so one wait covers the pipe, the stop and the wake. One client at a time:
// when it closes the port, the pipe is disconnected and waits for the next, as a
// pseudo-terminal keeps serving when its port is closed and opened again.
#include "sim/line.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>

namespace sim {
namespace {

// Room for a whole transfer's frames either way, and for the flood of a fault plan's radio.
constexpr DWORD kPipeBuffer = 64 * 1024;
constexpr std::size_t kHeld = 4096;

std::atomic<unsigned> lines{0};

std::system_error WindowsError(const char* what) {
    return std::system_error(static_cast<int>(::GetLastError()), std::system_category(), what);
}

// What a pipe says when its client has closed it (or closes it while we look).
bool ClientGone(DWORD error) {
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
}

DWORD Milliseconds(std::chrono::steady_clock::duration left) {
    // Rounded up: a wait that ends early would only be waited again.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<DWORD>(std::clamp<long long>(ms, 0, INFINITE - 1));
}

// One overlapped operation with its own manual-reset event.
struct Op {
    OVERLAPPED overlapped{};
    bool pending = false;
    Op() { overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Op() {
        if (overlapped.hEvent) ::CloseHandle(overlapped.hEvent);
    }
    Op(const Op&) = delete;
    Op& operator=(const Op&) = delete;
    OVERLAPPED* start() {
        HANDLE event = overlapped.hEvent;
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        ::ResetEvent(event);
        return &overlapped;
    }
};

}  // namespace

struct RadioLine::Native {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    HANDLE stop = nullptr;  // manual reset: stays set for every wait after it
    HANDLE wake = nullptr;  // auto reset: one wake, one Event::Wake
    Op connect, reading, writing;
    bool connected = false;
    std::uint8_t held[kHeld];  // what the last read brought, until read() takes it
    std::size_t heldAt = 0, heldEnd = 0;

    ~Native() {
        for (HANDLE h : {stop, wake})
            if (h) ::CloseHandle(h);
    }

    // Waits for a client, unless one is there already; false when the pipe has failed.
    bool listen() {
        if (::ConnectNamedPipe(pipe, connect.start())) {
            connected = true;
            return true;
        }
        switch (::GetLastError()) {
            case ERROR_IO_PENDING: connect.pending = true; return true;
            case ERROR_PIPE_CONNECTED: connected = true; return true;
            case ERROR_NO_DATA: ::DisconnectNamedPipe(pipe); return true;  // came and went: the next
            default: return false;
        }
    }
    // The client has closed its port: the pipe is made ready for the next.
    void hangUp() {
        ::DisconnectNamedPipe(pipe);
        connected = false;
        heldAt = heldEnd = 0;
    }
    // False when the pipe has failed.
    bool startRead() {
        if (::ReadFile(pipe, held, kHeld, nullptr, reading.start()) || ::GetLastError() == ERROR_IO_PENDING) {
            reading.pending = true;  // a read done at once sets the event too
            return true;
        }
        if (!ClientGone(::GetLastError())) return false;
        hangUp();
        return true;
    }
};

RadioLine::RadioLine() : native_(std::make_unique<Native>()) {
    Native& n = *native_;
    name_ = "\\\\.\\pipe\\radio-virtual-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(lines++);
    n.stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    n.wake = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!n.stop || !n.wake || !n.connect.overlapped.hEvent || !n.reading.overlapped.hEvent ||
        !n.writing.overlapped.hEvent)
        throw WindowsError("event");
    const std::wstring wide(name_.begin(), name_.end());  // ASCII
    // A first instance, so a name some other program holds is never joined; one client at a
    // time, as a port is opened by one program.
    n.pipe = ::CreateNamedPipeW(wide.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
                                kPipeBuffer, kPipeBuffer, 0, nullptr);
    if (n.pipe == INVALID_HANDLE_VALUE) throw WindowsError("named pipe");
}

RadioLine::~RadioLine() { close(); }

bool RadioLine::open() const { return native_->pipe != INVALID_HANDLE_VALUE; }

// Disconnected first: bytes the client has not read are lost with the cable, and its next
// read or write fails at once.
void RadioLine::close() {
    Native& n = *native_;
    if (n.pipe == INVALID_HANDLE_VALUE) return;
    ::CancelIoEx(n.pipe, nullptr);
    DWORD ignored = 0;
    for (Op* op : {&n.connect, &n.reading})
        if (op->pending) ::GetOverlappedResult(n.pipe, &op->overlapped, &ignored, TRUE);
    n.connect.pending = n.reading.pending = false;
    ::DisconnectNamedPipe(n.pipe);
    ::CloseHandle(n.pipe);
    n.pipe = INVALID_HANDLE_VALUE;
    n.connected = false;
    n.heldAt = n.heldEnd = 0;
}

void RadioLine::stop() { ::SetEvent(native_->stop); }
void RadioLine::wake() { ::SetEvent(native_->wake); }

// A client is waited for, then a read is kept pending; the wait is on its event (or the
// connection's), the stop and the wake.
RadioLine::Event RadioLine::wait(std::optional<Clock::time_point> deadline) {
    Native& n = *native_;
    for (;;) {
        const DWORD timeout = deadline ? Milliseconds(*deadline - Clock::now()) : INFINITE;
        HANDLE handles[3] = {n.stop, n.wake, nullptr};
        DWORD count = 2;
        if (n.pipe != INVALID_HANDLE_VALUE) {
            if (n.heldAt < n.heldEnd) return Event::Readable;
            if (!n.connected && !n.connect.pending && !n.listen()) return Event::Gone;
            if (n.connected && !n.reading.pending && !n.startRead()) return Event::Gone;
            if (n.connect.pending) handles[count++] = n.connect.overlapped.hEvent;
            else if (n.reading.pending) handles[count++] = n.reading.overlapped.hEvent;
            else continue;  // a client came and went before it was seen: listen again
        }
        const DWORD r = ::WaitForMultipleObjects(count, handles, FALSE, timeout);
        if (r == WAIT_OBJECT_0) return Event::Stop;
        if (r == WAIT_OBJECT_0 + 1) return Event::Wake;
        if (r == WAIT_TIMEOUT) return Event::Quiet;
        if (r != WAIT_OBJECT_0 + 2) return Event::Stop;  // the wait itself failed: nothing to serve
        DWORD got = 0;
        if (n.connect.pending) {
            n.connect.pending = false;
            if (::GetOverlappedResult(n.pipe, &n.connect.overlapped, &got, FALSE)) n.connected = true;
            else if (ClientGone(::GetLastError())) ::DisconnectNamedPipe(n.pipe);
            else return Event::Gone;
            continue;
        }
        n.reading.pending = false;
        if (::GetOverlappedResult(n.pipe, &n.reading.overlapped, &got, FALSE)) {
            n.heldAt = 0;
            n.heldEnd = got;
            continue;
        }
        if (!ClientGone(::GetLastError())) return Event::Gone;
        n.hangUp();
    }
}

// What the last read brought, and what has come since (a radio that takes its bytes late
// takes them all at once, as from a pseudo-terminal).
std::ptrdiff_t RadioLine::read(std::uint8_t* buffer, std::size_t size) {
    Native& n = *native_;
    if (n.pipe == INVALID_HANDLE_VALUE) return -1;
    const std::size_t taken = std::min(n.heldEnd - n.heldAt, size);
    std::memcpy(buffer, n.held + n.heldAt, taken);
    n.heldAt += taken;
    DWORD more = 0, waiting = 0;
    if (taken < size && n.connected && !n.reading.pending &&
        ::PeekNamedPipe(n.pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(waiting, size - taken));
        // There already: the read ends at once.
        const bool started = ::ReadFile(n.pipe, buffer + taken, want, nullptr, n.reading.start()) ||
                             ::GetLastError() == ERROR_IO_PENDING;
        if (!started || !::GetOverlappedResult(n.pipe, &n.reading.overlapped, &more, TRUE)) more = 0;
    }
    return static_cast<std::ptrdiff_t>(taken + more);
}

bool RadioLine::sleepUntil(Clock::time_point when) {
    for (;;) {
        const auto now = Clock::now();
        if (now >= when) return true;
        if (::WaitForSingleObject(native_->stop, Milliseconds(when - now)) == WAIT_OBJECT_0) return false;
    }
}

bool RadioLine::send(const std::uint8_t* data, std::size_t length) {
    Native& n = *native_;
    std::size_t sent = 0;
    while (sent < length) {
        // No client: the bytes would go nowhere, as a cable with nothing at its other end.
        if (n.pipe == INVALID_HANDLE_VALUE || !n.connected) return false;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length - sent, kPipeBuffer));
        if (!::WriteFile(n.pipe, data + sent, want, nullptr, n.writing.start()) && ::GetLastError() != ERROR_IO_PENDING)
            return false;  // the client has gone; the pending read tells wait() so
        const HANDLE handles[2] = {n.stop, n.writing.overlapped.hEvent};
        DWORD written = 0;
        if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            ::CancelIoEx(n.pipe, &n.writing.overlapped);
            ::GetOverlappedResult(n.pipe, &n.writing.overlapped, &written, TRUE);
            return false;
        }
        if (!::GetOverlappedResult(n.pipe, &n.writing.overlapped, &written, FALSE)) return false;
        sent += written;
    }
    return true;
}

}  // namespace sim
