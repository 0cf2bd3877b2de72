#include "link/waits.h"

#include <algorithm>

#include "base/hex.h"

namespace radiolink {

void OpenProcedure(Radio& radio) {
    if (const auto wait = radio.openingDelay(); wait > Clock::duration::zero())
        PumpDelay(radio.pump(), wait);
    radio.clearReceived(1);
    radio.send(base::BytesToHex(std::string_view("PROM_LIN")));
    PumpDelay(radio.pump(), radio.timing.promLinWait);
    radio.clearReceived(1);
}

void CloseProcedure(Radio& radio) {
    radio.send(base::BytesToHex(std::string_view("EXIT")));
    radio.drain();
    radio.markExit();
}

bool AwaitReply(Radio& radio, const std::function<bool(const std::string&)>& complete) {
    const auto deadline = Clock::now() + radio.timing.frameTimeout;
    const auto quiet = radio.quietTime();
    for (;;) {
        const auto now = Clock::now();
        if (radio.overflowed()) return false;  // said in the trace when it happened
        const bool whole = complete(radio.RecvHex());
        const bool settled = now - radio.lastReceive() >= quiet;
        if (whole && settled) return true;
        // An answer that was complete in time may settle just past the deadline.
        if (radio.hungUp() || now >= deadline + (whole ? quiet : Clock::duration::zero())) {
            radio.note(radio.hungUp() ? "hang-up: the port was closed or unplugged"
                                      : "time-out: " + std::to_string(radio.RecvHex().size() / 2) + " bytes in " +
                                            std::to_string(radio.timing.frameTimeout.count()) + " ms");
            return false;
        }
        const auto until = whole ? radio.lastReceive() + quiet : deadline;
        const std::size_t before = radio.RecvHex().size();
        radio.pump().runUntil(until, [&] {
            return radio.RecvHex().size() != before || radio.hungUp() || radio.overflowed();
        });
    }
}

}  // namespace radiolink
