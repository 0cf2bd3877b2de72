#include "link/line.h"

#include "link/comm1.h"
#include "link/port_failure.h"

namespace radiolink {

std::unique_ptr<Pump> Line::MakeQueuePump(serial::OwnerQueue& queue) { return std::make_unique<QueuePump>(queue); }

Line::Line(LineSettings settings, const PumpMaker& makePump)
    : comm_(queue_), pump_(makePump(queue_)), radio_(comm_, *pump_) {
    ConfigureComm1(comm_);
    radio_.timing = settings.timing;
}

// The radio lets go of the port's events first, then the port closes, then the queue goes.
Line::~Line() = default;

base::Outcome<> Line::open(const std::string& device) {
    comm_.SetCommName(device);
    base::Outcome<> opened = comm_.OpenPort();
    if (!opened.ok())
        if (std::string text = radiolink::OpenFailureText(comm_.LastOpenFailure(), device); !text.empty())
            opened.error = std::move(text);
    return opened;
}

}  // namespace radiolink
