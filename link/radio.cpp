#include <algorithm>

#include "base/hex.h"
#include "link/link.h"
#include "serial/comm.h"
#include "serial/owner_queue.h"

namespace radiolink {
namespace {

// How often the driver's output queue is asked while it drains.
constexpr auto kDrainStep = std::chrono::milliseconds(2);

}  // namespace

void PumpDelay(Pump& pump, Clock::duration wait) {
    pump.runUntil(Clock::now() + wait, [] { return false; });
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
    comm_.OnReceiveData = [this](serial::TComm&, const std::uint8_t* buffer, std::uint16_t given) {
        lastReceive_ = Clock::now();
        // Comm1ReceiveData, up to the bound: a radio that floods the line costs no memory.
        // (The port's own bound, serial::kReceiveBacklog, is far above any answer's: when it
        // drops bytes, what it delivered has overflowed this one already.)
        const std::size_t room = 2 * receiveLimit_ > recvHex_.size() ? (2 * receiveLimit_ - recvHex_.size()) / 2 : 0;
        const std::size_t length = std::min<std::size_t>(given, room);
        if (length < given && !overflowed_) {
            overflowed_ = true;
            note("receive bound: more than " + std::to_string(receiveLimit_) + " bytes for one answer, the rest dropped");
        }
        if (length == 0) return;
        recvHex_ += base::BytesToHex(buffer, length);
        // An answer proves its frame has left, though the writer's word of it may still be on
        // its way (the two threads race): the trace shows the frame first.
        if (tracedAhead_ == 0 && !unsent_.empty()) {
            if (onTraffic) onTraffic(true, unsent_.front().data(), unsent_.front().size());
            tracedAhead_ = 1;
        }
        if (onTraffic) onTraffic(false, buffer, length);
    };
    comm_.OnDataSent = [this](serial::TComm&, const std::uint8_t* buffer, std::uint16_t length) {
        if (!unsent_.empty()) unsent_.pop_front();
        if (tracedAhead_ > 0)
            --tracedAhead_;
        else if (onTraffic)
            onTraffic(true, buffer, length);
    };
    comm_.OnDataDropped = [this](serial::TComm&, const std::uint8_t* buffer, std::uint16_t length) {
        if (!unsent_.empty()) unsent_.pop_front();
        if (tracedAhead_ > 0) --tracedAhead_;
        note("dropped unsent: " + base::BytesToHex(buffer, length));
    };
    comm_.OnRequestHangup = [this](serial::TComm&) {
        hungUp_ = true;
        if (onHangup) onHangup();
    };
}

Radio::~Radio() {
    comm_.OnReceiveData = nullptr;
    comm_.OnDataSent = nullptr;
    comm_.OnDataDropped = nullptr;
    comm_.OnRequestHangup = nullptr;
}

void Radio::clearReceived(std::size_t expectedBytes) {
    recvHex_.clear();
    receiveLimit_ = expectedBytes + kReceiveMargin;
    overflowed_ = false;
}

bool Radio::send(const std::string& hex) {
    const auto bytes = base::HexToBytes(hex);
    if (!bytes.ok() || bytes.value.empty() || bytes.value.size() > 0xFFFF) return false;
    if (!comm_.SendData(bytes.value.data(), static_cast<std::uint16_t>(bytes.value.size()))) {
        note("not sent, the port is closed: " + hex);
        return false;
    }
    unsent_.push_back(bytes.value);
    lastFrameSize_ = bytes.value.size();
    return true;
}

bool Radio::drain() {
    // A dead adapter (or one held by flow control) must not hang the program.
    const auto deadline = Clock::now() + timing.drainBound;
    pump_.runUntil(deadline, [this] { return unsent_.empty() || hungUp_ || !comm_.IsOpen(); });
    if (!unsent_.empty()) {
        note("the last frames did not leave within " + std::to_string(timing.drainBound.count()) + " ms");
        return false;
    }
    // Written to the device is not yet on the line: the driver's queue drains first, and the
    // adapter still holds up to the last frame, which needs its character times.
    while (comm_.OutputQueued() > 0 && Clock::now() < deadline)
        PumpDelay(pump_, kDrainStep);
    const auto lineTime = std::chrono::microseconds(lastFrameSize_ * 10 * 1000000 / std::max<std::uint32_t>(comm_.BaudRate(), 300));
    PumpDelay(pump_, lineTime + std::chrono::milliseconds(1));
    return comm_.OutputQueued() == 0;
}

Clock::duration Radio::openingDelay() const {
    if (lastExit_ == Clock::time_point{}) return Clock::duration::zero();
    return std::max(Clock::duration::zero(), lastExit_ + timing.afterExit - Clock::now());
}

std::chrono::microseconds Radio::quietTime() const {
    const auto baud = std::max<std::uint32_t>(comm_.BaudRate(), 300);
    return std::chrono::microseconds(2 * 10 * 1000000LL / baud);
}

}  // namespace radiolink
