// The protocol's waits cut short, for tests that do not test the waits themselves: the
// virtual radio answers within milliseconds, so the procedures keep their every step and
// only stop waiting longer than they need to. The wait after "PROM_LIN" stays long enough
// for its acknowledgement to come in and be thrown away on a loaded machine; a late one
// would be taken for the next frame's.
#pragma once

#include <chrono>

#include "link/link.h"

inline radiolink::Timing ShortWaits() {
    using std::chrono::milliseconds;
    radiolink::Timing t;
    t.promLinWait = milliseconds(150);
    t.frameTimeout = milliseconds(1000);  // only a fault waits it out: room for a loaded machine
    t.singleBlockWait = milliseconds(300);
    t.afterExit = milliseconds(50);
    return t;
}
