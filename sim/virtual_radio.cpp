// The virtual radio's protocol, the same on every system; its line is sim/line.h.
#include "sim/virtual_radio.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "sim/line.h"

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kNak = 0x15;
constexpr char kPromLin[] = "PROM_LIN";
constexpr char kRead[] = "READ";
constexpr char kWrie[] = "WRIE";
constexpr char kExit[] = "EXIT";
constexpr std::size_t kHeader = 8;  // command, address, length

// What a radio may send back to the handshake when its line is noisy: nothing the program
// looks at, since it discards whatever came after 500 ms.
constexpr std::uint8_t kNoise[] = {0x00, 0xFF, 0x06, 0x55, 0xAA, 0x15, 0x06, 0x7E,
                                   0x80, 0x01, 0xFE, 0x52, 0x06, 0x0D, 0x0A, 0xF0};

std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }

bool StartsWith(const Bytes& b, const char* text, std::size_t length) {
    return b.size() >= length && std::memcmp(b.data(), text, length) == 0;
}

// Could `pending` be the beginning of a frame of this command?
bool CouldBe(const Bytes& pending, const char* text, std::size_t length) {
    return std::memcmp(pending.data(), text, std::min(pending.size(), length)) == 0;
}

}  // namespace

VirtualRadio::VirtualRadio(RadioOptions options, Bytes memory) : options_(options), memory_(std::move(memory)) {
    if (memory_.size() != kMemorySize) throw std::invalid_argument("a radio memory holds 7168 bytes");
    line_ = std::make_unique<RadioLine>();
    slavePath_ = line_->name();
    thread_ = std::thread([this] { serve(); });
}

VirtualRadio::~VirtualRadio() {
    line_->stop();
    thread_.join();
    closeDevice();
}

void VirtualRadio::closeDevice() {
    std::lock_guard lock(mutex_);
    line_->close();
    vanished_ = true;
    changed_.notify_all();
}

Bytes VirtualRadio::memory() const {
    std::lock_guard lock(mutex_);
    return memory_;
}

void VirtualRadio::setMemory(const Bytes& memory) {
    if (memory.size() != kMemorySize) throw std::invalid_argument("a radio memory holds 7168 bytes");
    std::lock_guard lock(mutex_);
    memory_ = memory;
}

Bytes VirtualRadio::read(std::uint16_t address, std::size_t length) const {
    std::lock_guard lock(mutex_);
    Bytes out(length, 0xFF);
    for (std::size_t i = 0; i < length; ++i)
        if (address + i < memory_.size()) out[i] = memory_[address + i];
    return out;
}

void VirtualRadio::write(std::uint16_t address, const Bytes& bytes) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < bytes.size() && address + i < memory_.size(); ++i) memory_[address + i] = bytes[i];
}

Bytes VirtualRadio::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::vector<Bytes> VirtualRadio::frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

void VirtualRadio::clearReceived() {
    std::lock_guard lock(mutex_);
    received_.clear();
    frames_.clear();
}

bool VirtualRadio::waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
}

void VirtualRadio::setFault(const FaultPlan& fault) {
    std::lock_guard lock(mutex_);
    options_.fault = fault;
}

FaultPlan VirtualRadio::fault() const {
    std::lock_guard lock(mutex_);
    return options_.fault;
}

bool VirtualRadio::programming() const {
    std::lock_guard lock(mutex_);
    return programming_;
}

void VirtualRadio::vanish() {
    std::unique_lock lock(mutex_);
    if (vanished_) return;
    vanishRequested_ = true;
    line_->wake();
    changed_.wait(lock, [&] { return vanished_; });
}

bool VirtualRadio::vanished() const {
    std::lock_guard lock(mutex_);
    return vanished_;
}

// The radio's thread: sleeps in one wait on the line, the stop and the vanish request; a frame
// that stops halfway adds a time-out, after which it is dropped.
void VirtualRadio::serve() {
    Bytes pending;
    Clock::time_point lastByte{};
    // A pseudo-terminal hands over a whole frame at once; a line delivers it byte by byte.
    // With pacing, a frame counts as arrived when its last byte would have crossed the line.
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / std::max<std::uint32_t>(options_.baudRate, 1));
    Clock::time_point lineFreeAt{};
    for (;;) {
        std::optional<Clock::time_point> deadline;
        if (!pending.empty()) deadline = lastByte + options_.frameTimeout;
        switch (line_->wait(deadline)) {
            case RadioLine::Event::Stop: return;
            case RadioLine::Event::Wake: {
                bool asked;
                {
                    std::lock_guard lock(mutex_);
                    asked = vanishRequested_;
                }
                if (asked) closeDevice();
                pending.clear();
                continue;
            }
            case RadioLine::Event::Quiet:
                pending.clear();  // a frame that never ended
                continue;
            case RadioLine::Event::Gone:
                closeDevice();
                continue;
            case RadioLine::Event::Readable: break;
        }
        // A radio busy with something else takes its bytes late; the line holds them.
        if (options_.readLag.count() > 0 && !sleepUntil(Clock::now() + options_.readLag)) return;
        std::uint8_t buffer[4096];
        const std::ptrdiff_t got = line_->read(buffer, sizeof buffer);
        if (got < 0) {
            closeDevice();
            continue;
        }
        if (got > 0) {
            FaultPlan::Kind kind;
            {
                std::lock_guard lock(mutex_);
                received_.insert(received_.end(), buffer, buffer + got);
                kind = options_.fault.kind;
            }
            // A looped-back line: what goes out comes back at once, whatever it is.
            if (kind == FaultPlan::Kind::Echo && !sendAll(buffer, static_cast<std::size_t>(got))) continue;
            pending.insert(pending.end(), buffer, buffer + got);
            lastByte = Clock::now();
            lineFreeAt = std::max(lineFreeAt, lastByte) + byteTime * got;
        }

        // Take every whole frame from the front; bytes that begin no frame are skipped.
        while (!pending.empty() && line_->open()) {
            std::size_t need = 0;
            if (CouldBe(pending, kPromLin, 8)) need = 8;
            else if (CouldBe(pending, kExit, 4)) need = 4;
            else if (CouldBe(pending, kRead, 4)) need = kHeader;
            else if (CouldBe(pending, kWrie, 4)) need = pending.size() >= kHeader ? kHeader + Be16(&pending[6]) : kHeader;
            else {
                pending.erase(pending.begin());
                continue;
            }
            if (pending.size() < need) break;
            Bytes frame(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(need));
            pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(need));
            if (options_.pacing && !sleepUntil(lineFreeAt)) return;
            handle(frame);
        }
        if (!line_->open()) pending.clear();
    }
}

void VirtualRadio::handle(const Bytes& frame) {
    FaultPlan fault;
    bool programming;
    int j = -1;
    const bool isRead = StartsWith(frame, kRead, 4);
    const bool isWrite = StartsWith(frame, kWrie, 4);
    {
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
        if (frames_.size() > kKeptFrames) {
            // Forget the older half, and the bytes that came with it.
            std::size_t bytes = 0;
            for (std::size_t i = 0; i < kKeptFrames / 2; ++i) bytes += frames_[i].size();
            frames_.erase(frames_.begin(), frames_.begin() + kKeptFrames / 2);
            received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(std::min(bytes, received_.size())));
        }
        changed_.notify_all();
        fault = options_.fault;
        if (StartsWith(frame, kPromLin, 8)) {
            programming_ = true;
            block_ = 0;
            droppedOut_ = options_.fault.kind == FaultPlan::Kind::Intermittent && handshakes_++ % 2 == 1;
        } else if (StartsWith(frame, kExit, 4)) {
            programming_ = false;
        } else if (programming_) {
            j = block_++;
        }
        programming = programming_;
        if (droppedOut_) return;
    }
    if (options_.onFrame) options_.onFrame(frame);
    using Kind = FaultPlan::Kind;
    if (fault.kind == Kind::Off || fault.kind == Kind::Echo) return;  // an echo was sent as the bytes came
    if (fault.kind == Kind::Garbage) {
        answer(Bytes(std::begin(kNoise), std::end(kNoise)), {}, 1, {});
        return;
    }

    if (StartsWith(frame, kPromLin, 8)) {
        if (fault.kind == Kind::Noise)
            answer(Bytes(std::begin(kNoise), std::end(kNoise)), {}, 1, {});
        else
            answer({kAck}, {}, 1, {});
        return;
    }
    if (!(isRead || isWrite) || !programming) return;  // EXIT, or a frame outside programming

    if (fault.kind == Kind::SilentFrom && j >= fault.block) return;
    if (fault.kind == Kind::VanishAt && j >= fault.block) {
        closeDevice();
        return;
    }

    const std::uint16_t address = Be16(&frame[4]);
    const std::uint16_t length = Be16(&frame[6]);
    Bytes reply;
    if (isRead) {
        reply = read(address, length);
    } else {
        write(address, Bytes(frame.begin() + kHeader, frame.end()));
        reply = {kAck};
    }

    std::chrono::microseconds extra{0};
    int pieces = 1;
    std::chrono::milliseconds gap{0};
    if (fault.touches(j)) {
        switch (fault.kind) {
            case Kind::Short: reply.resize(reply.size() > static_cast<std::size_t>(fault.bytes) ? reply.size() - static_cast<std::size_t>(fault.bytes) : 0); break;
            case Kind::Long:
                if (isRead) {
                    const Bytes more = read(static_cast<std::uint16_t>(address + length), static_cast<std::size_t>(fault.bytes));
                    reply.insert(reply.end(), more.begin(), more.end());
                } else {
                    reply.insert(reply.end(), static_cast<std::size_t>(fault.bytes), 0x00);
                }
                break;
            case Kind::DoubleAck:
                if (isWrite) reply = {kAck, kAck};
                break;
            case Kind::WrongAck:
                if (isWrite) reply = {kNak};
                break;
            case Kind::Late: extra = std::chrono::milliseconds(fault.delayMs); break;
            case Kind::Pieces:
                pieces = fault.pieces;
                gap = std::chrono::milliseconds(fault.delayMs);
                break;
            default: break;
        }
    }
    if (fault.kind == Kind::Flood && fault.touches(j)) {
        // Nothing more is served: the radio's thread sends until it is stopped or gone. The
        // answer and the first bytes after it leave in one write, so the answer never stands
        // alone on the line (a busy machine would otherwise let it pass for a whole one).
        const Bytes flood(4096, 0x55);
        reply.insert(reply.end(), flood.begin(), flood.end());
        while (sendAll(reply.data(), reply.size()) && sendAll(flood.data(), flood.size())) {
            reply.clear();
        }
        return;
    }
    answer(std::move(reply), extra, pieces, gap);
}

void VirtualRadio::answer(Bytes bytes, std::chrono::microseconds extraDelay, int pieces, std::chrono::milliseconds gap) {
    if (bytes.empty()) return;
    const auto byteTime = std::chrono::nanoseconds(10'000'000'000LL / std::max<std::uint32_t>(options_.baudRate, 1));
    auto next = Clock::now() + options_.turnaround + extraDelay;
    const std::size_t count = std::clamp<std::size_t>(static_cast<std::size_t>(pieces), 1, bytes.size());
    std::size_t at = 0;
    for (std::size_t piece = 0; piece < count; ++piece) {
        // The first pieces take the remainder, so every piece has at least one byte.
        const std::size_t size = bytes.size() / count + (piece < bytes.size() % count ? 1 : 0);
        if (piece > 0) next += gap;
        if (!options_.pacing) {
            if (!sleepUntil(next) || !sendAll(&bytes[at], size)) return;
        } else {
            for (std::size_t i = 0; i < size; ++i) {
                if (!sleepUntil(next) || !sendAll(&bytes[at + i], 1)) return;
                next += byteTime;
            }
        }
        at += size;
        next = std::max(next, Clock::now());
    }
}

bool VirtualRadio::sleepUntil(Clock::time_point when) { return line_->sleepUntil(when); }

bool VirtualRadio::sendAll(const std::uint8_t* data, std::size_t length) { return line_->send(data, length); }

}  // namespace sim
