// Ctrl+C, SIGTERM and SIGHUP during a transfer: instead of killing the program halfway
// through a frame, they ask the radio's procedure to stop at the next block boundary, where
// it still sends "EXIT" and lets it drain. Further signals change nothing: "EXIT" is never
// skipped. The command then exits with 128 + the signal's number.
#pragma once

#include <atomic>
#include <string>

namespace radiolink {
class Radio;
}

namespace cli {

class StopOnSignals {
public:
    explicit StopOnSignals(radiolink::Radio& radio);  // installs the handlers
    // For work on several radios at once (a fleet): the signal sets `flag`, and the work
    // passes it on to each radio at its next block boundary.
    explicit StopOnSignals(std::atomic<bool>& flag);
    ~StopOnSignals();                                 // restores the earlier ones
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

    // The first signal caught, 0 for none.
    static int caught();
    static std::string name(int signal);  // "SIGINT"
};

// Whether standard input (or error) is a person's terminal, to whom one may speak and whom
// one may ask. On Windows a console; the NUL device, which Windows also calls a character
// device, is none.
bool InputIsTerminal();
bool ErrorIsTerminal();

}  // namespace cli
