// A port of a batch that takes the next radio when one answers: the radio just programmed
// must first leave the line (no answer), then the next one to answer is taken. Owns its line,
// so a window can program on ports of its own while its editor keeps its state.
#pragma once

#include <functional>
#include <string>

#include "base/outcome.h"
#include "fleet/fleet.h"
#include "link/line.h"

namespace fleet {

class LineStation : public Station {
public:
    // `waiting` is told (on the worker's thread) which radio the port waits for.
    LineStation(std::string port, radiolink::LineSettings settings = {},
                std::function<void(const std::string& port, const RadioRow& row)> waiting = {});

    // Opens the port (serial::DeviceName of the name); the failure says why it cannot be.
    base::Outcome<> open();
    std::string name() const override { return port_; }
    radiolink::Radio* awaitRadio(const RadioRow& row, const std::atomic<bool>& stop) override;

private:
    std::string port_;
    radiolink::Line line_;
    std::function<void(const std::string&, const RadioRow&)> waiting_;
    bool first_ = true;
};

}  // namespace fleet
