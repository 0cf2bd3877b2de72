// A virtual radio: a real peer on a line a port opens like any serial device, slavePath(): a
// pseudo-terminal, or a named pipe on Windows (sim/line.h). The radio's own thread serves the
// programming protocol on its end of the line:
//   "PROM_LIN"                          enter programming; acknowledged with 06
//   52 45 41 44 addr16 len16 ("READ")   answered with exactly len bytes of memory from addr
//   57 52 49 45 addr16 len16 data       ("WRIE") the data stored, then acknowledged with 06
//   "EXIT"                              leave programming; no answer
// (numbers high byte first). Read and write frames are served only in programming mode.
// Answers go out at the line speed (10 bits a byte) after a turnaround, unless pacing is
// off; a fault plan makes the radio misbehave in one chosen way. Every byte received is
// recorded, and the frames recognised in them, so a test can check what a procedure sent.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/fault_plan.h"
#include "sim/sample_image.h"

namespace sim {

class RadioLine;
using Bytes = std::vector<std::uint8_t>;

struct RadioOptions {
    bool pacing = true;                            // answer at the line speed
    std::uint32_t baudRate = 19200;                // 10 bits a byte: 0.52 ms at 19200
    std::chrono::microseconds turnaround{2000};    // from the end of a frame to the answer
    std::chrono::milliseconds frameTimeout{200};   // a frame that stops halfway is dropped after
    std::chrono::milliseconds readLag{0};          // takes bytes off its line this much late
    // Told of every frame recognised, on the radio's thread, before it is answered.
    std::function<void(const std::vector<std::uint8_t>& frame)> onFrame;
    FaultPlan fault;
};

class VirtualRadio {
public:
    static constexpr std::size_t kKeptFrames = 1024;

    // Throws std::system_error when no line or thread can be had, and std::invalid_argument
    // for a memory that is not kMemorySize bytes.
    explicit VirtualRadio(RadioOptions options = {}, Bytes memory = sampleImage());
    // Stops the radio's thread and closes the line.
    ~VirtualRadio();
    VirtualRadio(const VirtualRadio&) = delete;
    VirtualRadio& operator=(const VirtualRadio&) = delete;

    // The device to open: /dev/pts/3, or on Windows \\.\pipe\radio-virtual-<pid>-<n>.
    const std::string& slavePath() const { return slavePath_; }

    // The memory, all thread-safe.
    Bytes memory() const;
    void setMemory(const Bytes& memory);  // kMemorySize bytes
    Bytes read(std::uint16_t address, std::size_t length) const;  // 0xFF beyond the memory
    void write(std::uint16_t address, const Bytes& bytes);       // beyond the memory: dropped

    // What came in: every byte, and the frames recognised (PROM_LIN, READ, WRIE with its
    // data, EXIT), each as its bytes. Only the latest are kept (kKeptFrames frames, and the
    // bytes since the oldest of them), so a radio serving for days keeps flat memory.
    Bytes received() const;
    std::vector<Bytes> frames() const;
    void clearReceived();
    // Waits until at least `count` frames have been recognised.
    bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;

    void setFault(const FaultPlan& fault);
    FaultPlan fault() const;
    bool programming() const;  // between "PROM_LIN" and "EXIT"

    // The radio disappears: its line is closed, as when the cable is pulled.
    void vanish();
    bool vanished() const;

private:
    void serve();
    void handle(const Bytes& frame);
    void answer(Bytes bytes, std::chrono::microseconds extraDelay, int pieces, std::chrono::milliseconds gap);
    bool sleepUntil(std::chrono::steady_clock::time_point when);  // false when stopping
    bool sendAll(const std::uint8_t* data, std::size_t length);   // false when stopping or gone
    void closeDevice();

    RadioOptions options_;
    // The destructor stops it to end the thread; vanish() wakes the thread to close it.
    std::unique_ptr<RadioLine> line_;
    std::string slavePath_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    Bytes memory_;
    Bytes received_;
    std::vector<Bytes> frames_;
    bool programming_ = false;
    bool vanished_ = false;
    bool vanishRequested_ = false;
    int block_ = 0;  // read and write frames since "PROM_LIN"
    int handshakes_ = 0;  // "PROM_LIN" frames so far (intermittent: every second one goes unheard)
    bool droppedOut_ = false;  // intermittent: deaf until the next "PROM_LIN"

    std::thread thread_;
};

}  // namespace sim
