// One radio line: the serial port (Comm1), the owner queue its threads post to, the pump that
// delivers those posts while a procedure waits, and the radio over them, built and wired in
// this one place. The windows pump with their event loop, the command line, the tests and the
// benchmarks with QueuePump: the pump is the one part given from outside.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/outcome.h"
#include "link/link.h"
#include "serial/comm.h"
#include "serial/owner_queue.h"

namespace radiolink {

// What a line is configured with, once.
struct LineSettings {
    Timing timing;  // the protocol's waits; tests shorten them
};

class Line {
public:
    // Makes the pump over the line's owner queue; by default a QueuePump.
    using PumpMaker = std::function<std::unique_ptr<Pump>(serial::OwnerQueue&)>;
    static std::unique_ptr<Pump> MakeQueuePump(serial::OwnerQueue& queue);

    // The port is set up as Comm1 (link/comm1.h) and stays closed until open().
    explicit Line(LineSettings settings = {}, const PumpMaker& makePump = MakeQueuePump);
    // The radio unhooks itself from the port, the port closes, then the queue goes.
    ~Line();
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    // Opens `device` (a path such as /dev/ttyUSB0) as Comm1. A failure has the kind of the
    // port's failure (NotFound, Permission, Busy, NotRegular) and the operator's text that
    // says what to do about it (radiolink::OpenFailureText).
    base::Outcome<> open(const std::string& device);
    void close() { comm_.ClosePort(); }

    serial::OwnerQueue& queue() { return queue_; }
    serial::TComm& comm() { return comm_; }
    Pump& pump() { return *pump_; }
    Radio& radio() { return radio_; }

private:
    serial::OwnerQueue queue_;
    serial::TComm comm_;
    std::unique_ptr<Pump> pump_;
    Radio radio_;
};

}  // namespace radiolink
