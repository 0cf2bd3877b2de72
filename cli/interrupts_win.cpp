// Ctrl+C, Ctrl+Break and closing the console on Windows: the console's control handler, which
// the system runs on a thread of its own, asks the procedure to stop at the next block
// boundary as the POSIX signals do. Closing the console ends the process once the handler
// returns, so for that one the handler waits (a few seconds at most, the system's limit)
// until the procedure has sent "EXIT" and the command is done with the radio.
#include "cli/interrupts.h"

#include <windows.h>

#include <atomic>

#include "link/link.h"

namespace cli {
namespace {

// The numbers the exit code is made of: 128 + N, as a shell on the other systems would say.
constexpr int kInterrupt = 2;   // Ctrl+C, SIGINT
constexpr int kHangUp = 1;      // the console closed, SIGHUP
constexpr int kBreak = 21;      // Ctrl+Break, SIGBREAK

std::atomic<int> caughtSignal{0};
std::atomic<radiolink::Radio*> stopping{nullptr};
std::atomic<std::atomic<bool>*> stoppingFlag{nullptr};
HANDLE finished = nullptr;  // signalled when the transfer's guard goes

BOOL WINAPI onControl(DWORD type) {
    int signal = 0;
    switch (type) {
        case CTRL_C_EVENT: signal = kInterrupt; break;
        case CTRL_BREAK_EVENT: signal = kBreak; break;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT: signal = kHangUp; break;
        default: return FALSE;
    }
    int none = 0;
    caughtSignal.compare_exchange_strong(none, signal);
    if (radiolink::Radio* radio = stopping.load()) radio->requestStop();  // an atomic store
    if (std::atomic<bool>* flag = stoppingFlag.load()) flag->store(true);
    if (signal == kHangUp && finished) ::WaitForSingleObject(finished, 4500);
    return TRUE;
}

void install() {
    if (!finished) finished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (finished) ::ResetEvent(finished);
    ::SetConsoleCtrlHandler(onControl, TRUE);
}

}  // namespace

StopOnSignals::StopOnSignals(radiolink::Radio& radio) {
    stopping.store(&radio);
    install();
}

StopOnSignals::StopOnSignals(std::atomic<bool>& flag) {
    stoppingFlag.store(&flag);
    install();
}

StopOnSignals::~StopOnSignals() {
    ::SetConsoleCtrlHandler(onControl, FALSE);
    stopping.store(nullptr);
    stoppingFlag.store(nullptr);
    if (finished) ::SetEvent(finished);
}

int StopOnSignals::caught() { return caughtSignal.load(); }

std::string StopOnSignals::name(int signal) {
    switch (signal) {
        case kInterrupt: return "Ctrl+C";
        case kBreak: return "Ctrl+Break";
        case kHangUp: return "the console closing";
        default: return "signal " + std::to_string(signal);
    }
}

namespace {
bool isConsole(DWORD stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(stream), &mode) != 0;
}
}  // namespace

bool InputIsTerminal() { return isConsole(STD_INPUT_HANDLE); }
bool ErrorIsTerminal() { return isConsole(STD_ERROR_HANDLE); }

}  // namespace cli
