// A full read and a full write against the virtual radio pacing at 19200 baud with a 2 ms
// turnaround, each with its ratio to the wire-time bound: the bytes that cross the line x
// 10 bits / 19200, plus the 500 ms after "PROM_LIN", plus 136 turnarounds.
#include <chrono>
#include <cstdio>
#include <thread>

#include "image/transfer.h"
#include "link/line.h"
#include "sim/virtual_radio.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kBaud = 19200;
constexpr double kTurnaroundS = 0.002;

struct Figures {
    double seconds;
    std::size_t bytes;
    bool ok;
};

template <class Procedure>
Figures measure(radiolink::Radio& radio, Procedure procedure) {
    std::size_t bytes = 0;
    radio.onTraffic = [&](bool, const std::uint8_t*, std::size_t n) { bytes += n; };
    const auto start = Clock::now();
    const bool ok = procedure();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    radio.onTraffic = nullptr;
    return {seconds, bytes, ok};
}

void print(const char* name, const Figures& f) {
    const double bound = static_cast<double>(f.bytes) * 10.0 / kBaud + 0.5 + image::kBlockCount * kTurnaroundS;
    std::printf("%-6s %s  %6.3f s  %5zu bytes on the line  bound %6.3f s  ratio %.3f\n", name, f.ok ? "ok    " : "FAILED",
                f.seconds, f.bytes, bound, f.seconds / bound);
}

}  // namespace

int main() {
    sim::RadioOptions options;
    options.pacing = true;
    options.baudRate = 19200;
    options.turnaround = std::chrono::microseconds(2000);
    sim::VirtualRadio virtualRadio(options);
    radiolink::Line line;
    if (const auto opened = line.open(virtualRadio.slavePath()); !opened.ok()) {
        std::fprintf(stderr, "%s\n", opened.message().c_str());
        return 1;
    }
    radiolink::Radio& radio = line.radio();

    image::EditorState state;
    const auto read = measure(radio, [&] { return radiolink::ReadRadio(radio, state).ok(); });
    // Each procedure as the operator starts it: the write does not pay for the 500 ms that
    // the radio is given to leave programming mode after the read's "EXIT".
    std::this_thread::sleep_for(radio.openingDelay());
    const auto write = measure(radio, [&] { return radiolink::WriteRadio(radio, state).ok(); });
    std::printf("full transfers, virtual radio at 19200 baud 8N1, 2 ms turnaround\n");
    print("read", read);
    print("write", write);
    line.close();
    return read.ok && write.ok ? 0 : 1;
}
