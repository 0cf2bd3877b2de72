// What a virtual radio does wrong, for the tests and the demo: one fault at a time.
//
// Text form (radio-cli virtual-radio --fault, and tests):
//   none | ""           answers as a healthy radio does
//   off                 switched off: answers nothing at all
//   silent-from:J       stops answering from block J on
//   short:N             answers N bytes short (a write: no acknowledgement)
//   long:N              answers N bytes too many (a write: the acknowledgement and N zeros)
//   double-ack          acknowledges a write twice (06 06)
//   wrong-ack           acknowledges a write with 15 (NAK) instead of 06
//   late:T              answers T ms late
//   pieces:K:G          answers in K pieces with G ms between them
//   noise               answers "PROM_LIN" with noise instead of an acknowledgement
//   vanish-at:J         disappears (closes its line) when block J comes
//   flood               answers, then sends bytes without end, as fast as the line takes them
//   echo                no radio, a line that loops back: every byte sent comes straight back
//   garbage             answers every frame with bytes that are no answer (another device, a wrong speed)
//   intermittent        a loose plug: the radio drops out on every second "PROM_LIN" (the 2nd, 4th...)
//                       and answers nothing until the next one
// A radio that answers "PROM_LIN" and never a read is silent-from:0.
// short, long, double-ack, wrong-ack, late, pieces and flood take "@J" at the end to start only at
// block J ("short:3@130"). Blocks are the read and write frames counted from 0 after each
// "PROM_LIN".
#pragma once

#include <string>
#include <string_view>

#include "base/outcome.h"

namespace sim {

struct FaultPlan {
    enum class Kind { None, Off, SilentFrom, Short, Long, DoubleAck, WrongAck, Late, Pieces, Noise, VanishAt, Flood, Echo, Garbage, Intermittent };
    Kind kind = Kind::None;
    int block = 0;    // silent-from, vanish-at: J; the others: the first block they touch
    int bytes = 0;    // short, long: N
    int delayMs = 0;  // late: T; pieces: G
    int pieces = 0;   // pieces: K

    // A text that is no plan is BadData, and the error says why.
    static base::Outcome<FaultPlan> Parse(std::string_view text);
    std::string ToString() const;

    // Does the fault touch block j (a read or write frame after "PROM_LIN")?
    bool touches(int j) const { return kind != Kind::None && j >= block; }
};

}  // namespace sim
