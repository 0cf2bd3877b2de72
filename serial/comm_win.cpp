// TComm's worker threads and time-outs on Windows: overlapped reads and writes on the comm
// handle, ClearCommError for the line-error flags, GetCommModemStatus for ring and carrier,
// and the close event. On a named pipe (a virtual radio's line) PeekNamedPipe stands in for
// ClearCommError, and the reader's wait its own time-out.
#include "serial/comm.h"

#include <windows.h>

#include <algorithm>

namespace serial {
namespace {

// How long a read waits for a first byte before the reader looks at the modem lines.
constexpr DWORD kQuietMs = 200;

HANDLE native(platform::Handle h) { return static_cast<HANDLE>(h); }

// One overlapped operation with its own event; cancelled and waited for when the port closes,
// so the system never writes into an OVERLAPPED that has gone.
struct Pending {
    OVERLAPPED overlapped{};
    Pending() { overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Pending() {
        if (overlapped.hEvent) ::CloseHandle(overlapped.hEvent);
    }
    Pending(const Pending&) = delete;
    Pending& operator=(const Pending&) = delete;
    bool ok() const { return overlapped.hEvent != nullptr; }
    void reset() {
        HANDLE event = overlapped.hEvent;
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event;
        ::ResetEvent(event);
    }
};

enum class Wait { Done, Closed, Failed };

// Waits for a started operation or the close event. Closed: the operation was cancelled and
// has ended. Failed: the operation ended with an error (in `error`). After `timeout` ms the
// operation is cancelled and ends Done with what it has moved, often nothing: a pipe's read
// has no time-out of its own.
Wait finish(HANDLE port, Pending& op, HANDLE closeEvent, DWORD& transferred, DWORD& error, DWORD timeout = INFINITE) {
    const HANDLE handles[2] = {closeEvent, op.overlapped.hEvent};
    const DWORD r = ::WaitForMultipleObjects(2, handles, FALSE, timeout);
    if (r == WAIT_TIMEOUT) {
        ::CancelIoEx(port, &op.overlapped);
        if (::GetOverlappedResult(port, &op.overlapped, &transferred, TRUE)) return Wait::Done;
        error = ::GetLastError();
        if (error != ERROR_OPERATION_ABORTED) return Wait::Failed;
        transferred = 0;
        return Wait::Done;
    }
    if (r != WAIT_OBJECT_0 + 1) {
        ::CancelIoEx(port, &op.overlapped);
        ::GetOverlappedResult(port, &op.overlapped, &transferred, TRUE);
        return Wait::Closed;
    }
    if (::GetOverlappedResult(port, &op.overlapped, &transferred, FALSE)) return Wait::Done;
    error = ::GetLastError();
    return Wait::Failed;
}

}  // namespace

// The reader's read returns as soon as a byte has arrived, with what the driver holds, or
// after kQuietMs without one (ReadIntervalTimeout and ReadTotalTimeoutMultiplier MAXDWORD,
// ReadTotalTimeoutConstant kQuietMs); the writer waits until a block is written or the port
// closes (no write time-outs). The five properties are stored, as on POSIX. A pipe has no
// time-outs to set: the reader times its own wait.
void TComm::ApplyTimeouts() {
    if (platform::IsPipe(PortHandle_)) return;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = kQuietMs;
    ::SetCommTimeouts(native(PortHandle_), &timeouts);
}

// The reader: one overlapped read of up to 2048 bytes at a time, each posted as one CM_DATA,
// in order. After every read ClearCommError gives the line-error flags (CM_ERROR), and a quiet
// line looks at the modem lines (CM_MODEM for ring and carrier changes; a port that cannot
// report them, such as a pseudo-terminal under Wine, has none). Waiting for line events with
// WaitCommEvent would need the modem lines on every port. A read or status call that fails
// (a USB adapter unplugged, a pipe whose server has gone) posts CM_HANGUP and ends the thread;
// the port stays formally open until ClosePort. Beyond kReceiveBacklog bytes not yet handed
// over, what is read is dropped (CE_RXOVER, once until the backlog has halved).
void TComm::ReadThreadMain() {
    const HANDLE port = native(PortHandle_);
    const HANDLE closeEvent = native(CloseEvent_);
    Pending readOp;
    if (!readOp.ok()) {
        PostFromThread(CM_HANGUP);
        return;
    }
    std::uint8_t buffer[kReadBufferSize];
    bool overflowing = false;
    const bool pipe = platform::IsPipe(PortHandle_);
    DWORD modemBefore = 0;
    const bool haveModem = !pipe && ::GetCommModemStatus(port, &modemBefore) != 0;
    constexpr DWORD kErrors = CE_RXOVER | CE_OVERRUN | CE_RXPARITY | CE_FRAME | CE_BREAK;
    // False when the thread must end (posted already where that is news).
    auto readInto = [&](std::uint8_t* into, DWORD want, DWORD& got, DWORD timeout) {
        readOp.reset();
        DWORD error = 0;
        if (!::ReadFile(port, into, want, nullptr, &readOp.overlapped) && ::GetLastError() != ERROR_IO_PENDING) {
            if (!platform::IsSignalled(CloseEvent_)) PostFromThread(CM_HANGUP);
            return false;
        }
        switch (finish(port, readOp, closeEvent, got, error, timeout)) {
            case Wait::Done: return true;
            case Wait::Closed: return false;
            case Wait::Failed:
                // A quiet line: Windows ends the read with no bytes, Wine with ERROR_TIMEOUT.
                if (error == ERROR_TIMEOUT) {
                    got = 0;
                    return true;
                }
                break;
        }
        if (!platform::IsSignalled(CloseEvent_)) PostFromThread(CM_HANGUP);
        return false;
    };

    for (;;) {
        // One byte, or none after kQuietMs; then what has come with it, which is there already.
        DWORD got = 0;
        if (!readInto(buffer, 1, got, pipe ? kQuietMs : INFINITE)) return;
        DWORD waiting = 0;  // bytes that have come besides
        bool known;
        if (pipe) {
            known = ::PeekNamedPipe(port, nullptr, 0, nullptr, &waiting, nullptr) != 0;
        } else {
            DWORD errors = 0;
            COMSTAT status{};
            known = ::ClearCommError(port, &errors, &status) != 0;
            if (known && (errors & kErrors)) PostFromThread(CM_ERROR, errors & kErrors);
            waiting = status.cbInQue;
        }
        if (!known) {
            if (!platform::IsSignalled(CloseEvent_)) PostFromThread(CM_HANGUP);
            return;
        }
        if (got == 1 && waiting > 0) {
            DWORD more = 0;
            if (!readInto(buffer + 1, std::min<DWORD>(waiting, kReadBufferSize - 1), more, INFINITE)) return;
            got += more;
        }
        if (got == 0) {
            DWORD modem = 0;
            if (haveModem && ::GetCommModemStatus(port, &modem)) {
                std::uint32_t changed = 0;
                if ((modem ^ modemBefore) & MS_RING_ON) changed |= platform::MODEM_RING;
                if ((modem ^ modemBefore) & MS_RLSD_ON) changed |= platform::MODEM_CARRIER;
                if (changed) PostFromThread(CM_MODEM, changed);
                modemBefore = modem;
            }
            continue;
        }
        if (!Deliver(buffer, got, overflowing)) return;
    }
}

// The writer's wait for SendData's next block: true when one may be queued, false when the
// port closes.
bool TComm::WaitForQueue() {
    const HANDLE handles[2] = {native(CloseEvent_), native(WriteWake_)};
    if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return false;
    ::ResetEvent(handles[1]);  // SendData queues before it signals: the queue is looked at next
    return true;
}

bool TComm::WriteBlock(const std::vector<std::uint8_t>& block) {
    const HANDLE port = native(PortHandle_);
    Pending op;
    if (!op.ok()) {
        PostFromThread(CM_HANGUP);
        return false;
    }
    std::size_t sent = 0;
    while (sent < block.size()) {
        op.reset();
        DWORD written = 0, error = 0;
        const DWORD want = static_cast<DWORD>(block.size() - sent);
        if (!::WriteFile(port, block.data() + sent, want, nullptr, &op.overlapped) && ::GetLastError() != ERROR_IO_PENDING) {
            PostFromThread(CM_HANGUP);
            return false;
        }
        switch (finish(port, op, native(CloseEvent_), written, error)) {
            case Wait::Done: break;
            case Wait::Closed: return false;
            case Wait::Failed:
                if (!platform::IsSignalled(CloseEvent_)) PostFromThread(CM_HANGUP);
                return false;
        }
        sent += written;
    }
    return true;
}

}  // namespace serial
