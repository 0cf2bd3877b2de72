#include "fleet/line_station.h"

#include "serial/port_list.h"

namespace fleet {

LineStation::LineStation(std::string port, radiolink::LineSettings settings,
                         std::function<void(const std::string&, const RadioRow&)> waiting)
    : port_(std::move(port)), line_(settings), waiting_(std::move(waiting)) {}

base::Outcome<> LineStation::open() { return line_.open(serial::DeviceName(port_)); }

radiolink::Radio* LineStation::awaitRadio(const RadioRow& row, const std::atomic<bool>& stop) {
    if (waiting_) waiting_(port_, row);
    const bool awayFirst = !first_;
    first_ = false;
    return WaitForAnswer(line_.radio(), stop, awayFirst) ? &line_.radio() : nullptr;
}

}  // namespace fleet
