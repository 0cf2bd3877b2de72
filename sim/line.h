// The virtual radio's end of its line, the one part that differs between systems: the master
// side of a pseudo-terminal on POSIX (sim/line_posix.cpp), the server end of a named pipe on
// Windows (sim/line_win.cpp). The protocol above it (sim/virtual_radio.cpp) is the same on both.
//
// wait, read, sleepUntil, send and close belong to the radio's thread (close also to its
// owner once that thread has ended); stop and wake may be called from any thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace sim {

class RadioLine {
public:
    using Clock = std::chrono::steady_clock;
    enum class Event {
        Readable,  // bytes wait: read() takes them
        Quiet,     // the deadline passed first
        Wake,      // wake() was called
        Stop,      // stop() was called; it stays so
        Gone,      // the line broke under the radio: close() it
    };

    // Throws std::system_error when no line can be had.
    RadioLine();
    ~RadioLine();
    RadioLine(const RadioLine&) = delete;
    RadioLine& operator=(const RadioLine&) = delete;

    // What a port opens: /dev/pts/3, or \\.\pipe\radio-virtual-<pid>-<n>.
    const std::string& name() const { return name_; }
    bool open() const;  // until close()

    // Sleeps until one of the events; without a deadline, until anything but Quiet. Once
    // closed, only stop, wake and the deadline end it.
    Event wait(std::optional<Clock::time_point> deadline);
    // Takes what the line holds, at most `size` bytes: 0 when nothing, -1 when the line broke.
    std::ptrdiff_t read(std::uint8_t* buffer, std::size_t size);
    bool sleepUntil(Clock::time_point when);                  // false when stopping
    bool send(const std::uint8_t* data, std::size_t length);  // false when stopping or gone
    // The line goes away: a port on it sees its cable pulled.
    void close();

    void stop();
    void wake();

private:
    struct Native;
    std::unique_ptr<Native> native_;
    std::string name_;
};

}  // namespace sim
