// The protocol's waits, shared by every procedure.
#pragma once

#include <functional>
#include <string>

#include "link/link.h"

namespace radiolink {

// Clears RecvHex, sends "PROM_LIN", waits (500 ms) with the events running, clears RecvHex
// (for an answer of one byte: Radio::clearReceived).
// Waits first, if need be, until the radio has been out of programming mode for 500 ms.
void OpenProcedure(Radio& radio);
// Sends "EXIT" and returns once it has left the computer (Radio::drain).
void CloseProcedure(Radio& radio);

// Waits until RecvHex is complete and the line has stayed quiet for two character times
// since the last byte (so a longer answer than asked still fails), or until the frame's
// time-out. The test runs as soon as data arrive. False at once when more came than RecvHex
// may hold (Radio::overflowed).
bool AwaitReply(Radio& radio, const std::function<bool(const std::string&)>& complete);

}  // namespace radiolink
