#include <algorithm>

#include "image/hex.h"
#include "link/link.h"
#include "serial/comm.h"
#include "serial/owner_queue.h"

namespace radiolink {

void PumpDelay(Pump& pump, int ms) {
    pump.runUntil(Clock::now() + std::chrono::milliseconds(ms), [] { return false; });
}

void QueuePump::runUntil(Clock::time_point deadline, const std::function<bool()>& done) {
    for (;;) {
        queue_.dispatch();
        if (done()) return;
        const auto now = Clock::now();
        if (now >= deadline) return;
        // poll() counts whole milliseconds: round up so the deadline is never missed early.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        queue_.wait(left);
    }
}

Radio::Radio(serial::TComm& comm, Pump& pump) : comm_(comm), pump_(pump) {
    comm_.OnReceiveData = [this](serial::TComm&, const std::uint8_t* buffer, std::uint16_t length) {
        recvHex_ += image::BytesToHex(buffer, length);  // Comm1ReceiveData
        lastReceive_ = Clock::now();
        if (onTraffic) onTraffic(false, buffer, length);
    };
    comm_.OnRequestHangup = [this](serial::TComm&) {
        hungUp_ = true;
        if (onHangup) onHangup();
    };
}

Radio::~Radio() {
    comm_.OnReceiveData = nullptr;
    comm_.OnRequestHangup = nullptr;
}

bool Radio::send(const std::string& hex) {
    const auto bytes = image::HexToBytes(hex);
    if (!bytes.ok() || bytes.bytes.empty() || bytes.bytes.size() > 0xFFFF) return false;
    if (onTraffic) onTraffic(true, bytes.bytes.data(), bytes.bytes.size());
    return comm_.SendData(bytes.bytes.data(), static_cast<std::uint16_t>(bytes.bytes.size()));
}

std::chrono::microseconds Radio::quietTime() const {
    const auto baud = std::max<std::uint32_t>(comm_.BaudRate(), 300);
    return std::chrono::microseconds(2 * 10 * 1000000LL / baud);
}

}  // namespace radiolink
