// The protocol's waits cut short, for tests that do not test the waits themselves: the
// virtual radio answers within milliseconds, so the procedures keep their every step and
// only stop waiting longer than they need to.
#pragma once

#include <chrono>

#include "link/link.h"

inline radiolink::Timing ShortWaits() {
    using std::chrono::milliseconds;
    radiolink::Timing t;
    t.promLinWait = milliseconds(20);
    t.frameTimeout = milliseconds(250);
    t.singleBlockWait = milliseconds(150);
    t.afterExit = milliseconds(20);
    return t;
}
