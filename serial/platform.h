// The POSIX side of the serial port: opening a tty exclusively, its line settings through
// termios and the modem-control ioctls, purging, the driver's error and modem counters, and
// the eventfd that plays the close event. Nothing here knows the component above it.
//
// The results of the setting calls are ignored on purpose: a pseudo-terminal refuses some
// of them (modem lines, counters, serial_struct) and a port must still work there.
//
// On Windows the same functions stand on the comm API (serial/platform_win.cpp): a handle
// opened for overlapped I/O, a DCB, EscapeCommFunction, PurgeComm, ClearCommError, and a
// manual-reset event for the close event. A named pipe opens there too (a virtual radio's
// line, sim/line_win.cpp), and the comm API is left out for it.
#pragma once

#ifndef _WIN32
#include <sys/types.h>
#include <termios.h>
#endif

#include <cstddef>
#include <cstdint>
#include <string>

namespace serial::platform {

enum class ParityMode { None, Odd, Even, Mark, Space };
enum class StopBitsMode { One, OneAndHalf, Two };

// The line as termios can express it.
struct LineSettings {
    std::uint32_t baudRate = 9600;
    int dataBits = 8;  // 5 .. 8
    ParityMode parity = ParityMode::None;
    StopBitsMode stopBits = StopBitsMode::One;
    bool inputParityCheck = false;  // INPCK: a byte with a parity error reads as 0x00
    bool hardwareFlow = false;      // CRTSCTS: output waits for CTS, RTS follows the input queue
    bool xonXoffOutput = false;     // IXON
    bool xonXoffInput = false;      // IXOFF
    std::uint8_t xonChar = 0x11;    // VSTART
    std::uint8_t xoffChar = 0x13;   // VSTOP
};

#ifdef _WIN32
// A HANDLE; kNoHandle while closed.
using Handle = void*;
inline const Handle kNoHandle = nullptr;
struct Device {
    Handle fd = kNoHandle;
};
// A named pipe rather than a comm port: no line settings, modem lines or driver queues.
bool IsPipe(Handle fd);
#else
using Handle = int;
inline constexpr Handle kNoHandle = -1;
// An open device. The fd is non-blocking and close-on-exec.
struct Device {
    int fd = -1;
    termios original{};          // restored on close
    bool haveOriginal = false;
    int originalSerialFlags = 0;  // serial_struct flags before low latency was asked for
    bool changedSerialFlags = false;
};

#endif

enum class OpenResult { Ok, CannotOpen, NotATty };

// Why a device could not be opened, as the operator must hear it.
enum class OpenProblem { None, Missing, Permission, Busy, NotSerial, Other };
struct OpenFailure {
    OpenProblem problem = OpenProblem::None;
    int error = 0;       // the system's errno (GetLastError() on Windows), 0 where none applies
    std::string holder;  // Busy: the program holding the port where the system says, "cat (pid 4242)"
};

// Opens an existing device read-write, without becoming its controlling terminal, and
// exclusively: TIOCEXCL keeps out later opens by other users, and an advisory flock keeps
// out everyone else, root included, in this process or another. The flock is what makes a
// second opener fail as root, since root is exempt from TIOCEXCL. A program that opened the
// port before us without either (a terminal program, `cat`) is found among the open files
// of the processes (OtherOpeners): the port is then busy too, not ours to share.
// CannotOpen: missing, no rights, or in use. NotATty: opened, but no terminal device (the fd
// is closed again). `failure`, when given, says which.
OpenResult OpenDevice(const std::string& name, Device& device, OpenFailure* failure = nullptr);

#ifndef _WIN32
// The other processes that hold the character device `device` open, as "comm (pid N)",
// joined by ", ". Processes whose open files this user may not see are not named; our own
// process is left out, and so is a process that holds the master side of the same
// pseudo-terminal (the far end of the line, like a virtual radio, not a second reader).
std::string OtherOpeners(dev_t device);
#endif

// Restores the termios and serial flags found at open, lifts the exclusive mode (a
// pseudo-terminal whose other side stays open would keep it otherwise), unlocks, closes.
void CloseDevice(Device& device);

// The driver's queue sizes: fixed on POSIX (the tty layer buffers 4096 bytes and more), so
// this does nothing there; SetupComm on Windows. False when the driver refuses.
bool SetQueueSizes(const Device& device);

// Raw mode (no echo, no line editing, no translation, no signals), receiver on, modem
// status lines ignored for open/read (CLOCAL), and the given line.
void ApplyLine(Handle fd, const LineSettings& line);

// Sets a baud rate that has no Bnnn constant (termios2, BOTHER). Defined apart, since the
// kernel's termios2 header clashes with the C library's termios.
bool SetCustomSpeed(Handle fd, std::uint32_t baudRate);

// Raises or lowers DTR or RTS (TIOCMBIS, TIOCMBIC).
void SetDtr(Handle fd, bool on);
void SetRts(Handle fd, bool on);

// tcflush of the given directions: what is queued and not yet moved is thrown away
// (PurgeOutput: only when the driver reports bytes it has not sent).
void PurgeInput(Handle fd);
void PurgeOutput(Handle fd);

// Bytes the driver still holds for output (TIOCOUTQ); 0 when it cannot tell.
std::size_t OutputQueued(Handle fd);

// Asks the driver not to hold received bytes back (ASYNC_LOW_LATENCY; on a USB adapter this
// drops the latency timer from 16 ms to 1 ms). Remembers the old flags in the device.
void SetLowLatency(Device& device);

// Error and modem counters of the driver (TIOCGICOUNT). Real UARTs and most USB adapters
// keep them; a pseudo-terminal does not, and then this returns false.
struct Counters {
    std::uint32_t frame = 0, parity = 0, overrun = 0, bufferOverrun = 0, brk = 0;
    std::uint32_t ring = 0, carrier = 0;
};
bool ReadCounters(Handle fd, Counters& counters);

// Line-error flags, as the receive-error event reports them.
inline constexpr std::uint32_t CE_RXOVER = 0x0001;    // input buffer overflow
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;   // character lost in the UART
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;  // parity error
inline constexpr std::uint32_t CE_FRAME = 0x0008;     // framing error
inline constexpr std::uint32_t CE_BREAK = 0x0010;     // break received
// Modem mask of the modem-state event.
inline constexpr std::uint32_t MODEM_RING = 4;
inline constexpr std::uint32_t MODEM_CARRIER = 8;

// Flags for what changed between two readings; 0 when nothing did.
std::uint32_t LineErrorsBetween(const Counters& before, const Counters& after);
std::uint32_t ModemEventsBetween(const Counters& before, const Counters& after);

// The close event: an eventfd that, once signalled, stays readable (nobody reads it), so
// every thread polling it sees it, like a manual-reset event.
Handle CreateEvent();  // kNoHandle on failure
void SignalEvent(Handle event);
bool IsSignalled(Handle event);
void CloseFd(Handle& fd);  // closes and sets kNoHandle; does nothing for kNoHandle

}  // namespace serial::platform
