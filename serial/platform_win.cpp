// The Windows side of the serial port: the comm API on a handle opened for overlapped I/O, or
// a named pipe (a virtual radio's line), which has none of it: what the comm API would set
// there is skipped.
#include "serial/platform.h"

#include <windows.h>
#undef CreateEvent  // ours, not the macro for CreateEventW

#include "files/wide_path_win.h"

namespace serial::platform {
namespace {

// The driver's queues: room for a whole transfer's answers at 19200 baud and more.
constexpr DWORD kInputQueue = 8192;
constexpr DWORD kOutputQueue = 4096;
// A pipe whose one instance is between two clients is busy for a moment: waited for this long.
constexpr DWORD kPipeWaitMs = 2000;

HANDLE native(Handle h) { return static_cast<HANDLE>(h); }

OpenProblem problemOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BAD_UNIT: return OpenProblem::Missing;
        // A comm port is opened exclusively: a second opener is refused access.
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
        case ERROR_PIPE_BUSY: return OpenProblem::Busy;
        default: return OpenProblem::Other;
    }
}

HANDLE openForOverlapped(const std::wstring& name) {
    return ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                         nullptr);
}

}  // namespace

bool IsPipe(Handle fd) { return ::GetFileType(native(fd)) == FILE_TYPE_PIPE; }

OpenResult OpenDevice(const std::string& name, Device& device, OpenFailure* failure) {
    device = Device{};
    const std::wstring wide = files::Widen(name);
    HANDLE h = openForOverlapped(wide);
    DWORD error = h == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    // A pipe's server takes a moment to see that the last port on it closed: a port closed and
    // opened again at once finds it still busy.
    if (error == ERROR_PIPE_BUSY && ::WaitNamedPipeW(wide.c_str(), kPipeWaitMs)) {
        h = openForOverlapped(wide);
        error = h == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    }
    if (h == INVALID_HANDLE_VALUE) {
        if (failure) *failure = {problemOf(error), static_cast<int>(error), {}};
        return OpenResult::CannotOpen;
    }
    if (IsPipe(h)) {
        if (failure) *failure = {};
        device.fd = h;
        return OpenResult::Ok;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (::GetFileType(h) != FILE_TYPE_CHAR || !::GetCommState(h, &dcb)) {
        error = ::GetLastError();
        ::CloseHandle(h);
        if (failure) *failure = {OpenProblem::NotSerial, static_cast<int>(error), {}};
        return OpenResult::NotATty;
    }
    if (failure) *failure = {};
    device.fd = h;
    return OpenResult::Ok;
}

void CloseDevice(Device& device) {
    if (device.fd == kNoHandle) return;
    if (!IsPipe(device.fd)) ::SetCommMask(native(device.fd), 0);
    ::CloseHandle(native(device.fd));
    device = Device{};
}

bool SetQueueSizes(const Device& device) {
    return IsPipe(device.fd) || ::SetupComm(native(device.fd), kInputQueue, kOutputQueue) != 0;
}

void ApplyLine(Handle fd, const LineSettings& line) {
    if (IsPipe(fd)) return;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(native(fd), &dcb)) return;
    dcb.BaudRate = line.baudRate;
    dcb.ByteSize = static_cast<BYTE>(line.dataBits >= 5 && line.dataBits <= 8 ? line.dataBits : 8);
    switch (line.parity) {
        case ParityMode::None: dcb.Parity = NOPARITY; break;
        case ParityMode::Odd: dcb.Parity = ODDPARITY; break;
        case ParityMode::Even: dcb.Parity = EVENPARITY; break;
        case ParityMode::Mark: dcb.Parity = MARKPARITY; break;
        case ParityMode::Space: dcb.Parity = SPACEPARITY; break;
    }
    switch (line.stopBits) {
        case StopBitsMode::One: dcb.StopBits = ONESTOPBIT; break;
        case StopBitsMode::OneAndHalf: dcb.StopBits = ONE5STOPBITS; break;
        case StopBitsMode::Two: dcb.StopBits = TWOSTOPBITS; break;
    }
    dcb.fBinary = TRUE;
    // As on POSIX: a byte with a parity error is read as 0x00 when the check is on.
    dcb.fParity = line.inputParityCheck ? TRUE : FALSE;
    dcb.fErrorChar = line.inputParityCheck ? TRUE : FALSE;
    dcb.ErrorChar = 0;
    dcb.fOutxCtsFlow = line.hardwareFlow ? TRUE : FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = line.hardwareFlow ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = line.xonXoffOutput ? TRUE : FALSE;
    dcb.fInX = line.xonXoffInput ? TRUE : FALSE;
    dcb.XonChar = static_cast<char>(line.xonChar);
    dcb.XoffChar = static_cast<char>(line.xoffChar);
    dcb.XonLim = static_cast<WORD>(kInputQueue / 4);
    dcb.XoffLim = static_cast<WORD>(kInputQueue / 4);
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    ::SetCommState(native(fd), &dcb);
}

// The DCB takes any rate the driver takes.
bool SetCustomSpeed(Handle fd, std::uint32_t baudRate) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(native(fd), &dcb)) return false;
    dcb.BaudRate = baudRate;
    return ::SetCommState(native(fd), &dcb) != 0;
}

void SetDtr(Handle fd, bool on) {
    if (!IsPipe(fd)) ::EscapeCommFunction(native(fd), on ? SETDTR : CLRDTR);
}
void SetRts(Handle fd, bool on) {
    if (!IsPipe(fd)) ::EscapeCommFunction(native(fd), on ? SETRTS : CLRRTS);
}

// A pipe's reader is ended by the close event alone, and what the pipe holds is its server's.
void PurgeInput(Handle fd) {
    if (!IsPipe(fd)) ::PurgeComm(native(fd), PURGE_RXABORT | PURGE_RXCLEAR);
}

// A pipe's writes are done once they are in the pipe: nothing is held for a line.
std::size_t OutputQueued(Handle fd) {
    if (IsPipe(fd)) return 0;
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(native(fd), &errors, &status)) return 0;
    return status.cbOutQue;
}

// Only what the driver still holds is thrown away, as on POSIX.
void PurgeOutput(Handle fd) {
    if (OutputQueued(fd) > 0) ::PurgeComm(native(fd), PURGE_TXABORT | PURGE_TXCLEAR);
}

void SetLowLatency(Device&) {}

// The driver reports line errors through ClearCommError, read by the reader as they come.
bool ReadCounters(Handle, Counters&) { return false; }

std::uint32_t LineErrorsBetween(const Counters&, const Counters&) { return 0; }
std::uint32_t ModemEventsBetween(const Counters&, const Counters&) { return 0; }

Handle CreateEvent() { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
void SignalEvent(Handle event) { ::SetEvent(native(event)); }
bool IsSignalled(Handle event) { return ::WaitForSingleObject(native(event), 0) == WAIT_OBJECT_0; }

void CloseFd(Handle& fd) {
    if (fd != kNoHandle) ::CloseHandle(native(fd));
    fd = kNoHandle;
}

}  // namespace serial::platform
