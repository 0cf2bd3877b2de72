// A fleet batch against virtual radios pacing at 19200 baud: one radio in turn against the
// wire bound of its three passes (backup read, write, verify read: the bytes that cross the
// line x 10 bits / 19200, plus the 500 ms after each "PROM_LIN", the 500 ms the radio is
// given to leave programming before the next pass, and, as bench_link counts it, the radio's
// 2 ms turnaround before each of the 3 x 136 answers), and four radios on four ports at once
// against one.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "fleet/fleet.h"
#include "image/transfer.h"
#include "link/line.h"
#include "sim/virtual_radio.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
constexpr double kBaud = 19200;
constexpr double kTurnaroundS = 0.002;  // the virtual radio's, from a frame's end to its answer

class Port : public fleet::Station {
public:
    explicit Port(int n) : name_("bench" + std::to_string(n)) {
        sim::RadioOptions options;
        options.pacing = true;
        options.baudRate = 19200;
        options.turnaround = std::chrono::microseconds(static_cast<long>(kTurnaroundS * 1e6));
        radio_ = std::make_unique<sim::VirtualRadio>(options);
        if (const auto opened = line_.open(radio_->slavePath()); !opened.ok())
            std::fprintf(stderr, "%s\n", opened.message().c_str());
        line_.radio().onTraffic = [this](bool, const std::uint8_t*, std::size_t n) { bytes += n; };
    }
    ~Port() override { line_.radio().onTraffic = nullptr; }
    std::string name() const override { return name_; }
    radiolink::Radio* awaitRadio(const fleet::RadioRow&, const std::atomic<bool>&) override { return &line_.radio(); }
    std::size_t bytes = 0;

private:
    std::string name_;
    std::unique_ptr<sim::VirtualRadio> radio_;
    radiolink::Line line_;
};

struct Figures {
    double seconds;
    std::size_t bytes;  // on the busiest line
    bool ok;
};

Figures batch(int ports, const image::EditorState& plan, const fs::path& dir, int round) {
    std::vector<std::unique_ptr<Port>> owned;
    std::vector<fleet::Station*> stations;
    std::string csv = "label,id\n";
    for (int p = 0; p < ports; ++p) {
        owned.push_back(std::make_unique<Port>(p));
        stations.push_back(owned.back().get());
        csv += "R" + std::to_string(round) + "-" + std::to_string(p) + "," + std::to_string(100 * round + p) + "\n";
    }
    fleet::Log log;
    fleet::Log::Open(log, (dir / ("log" + std::to_string(round) + ".csv")).string());
    std::atomic<bool> stop{false};
    const auto start = Clock::now();
    const auto summary = fleet::Run(plan, fleet::ParseRadios(csv).value, stations, log, {}, {}, stop);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::size_t most = 0;
    for (const auto& p : owned) most = std::max(most, p->bytes);
    return {seconds, most, summary.allOk()};
}

}  // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("bench-fleet-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ::setenv("RADIO_BACKUP_DIR", (dir / "backups").c_str(), 1);
    const image::EditorState plan = image::NewState();

    const Figures one = batch(1, plan, dir, 1);
    // Three passes: each waits 500 ms after "PROM_LIN"; the write and the verify each wait
    // for the radio to have left programming 500 ms before.
    const double bound = static_cast<double>(one.bytes) * 10.0 / kBaud + 3 * 0.5 + 2 * 0.5 +
                         3 * image::kBlockCount * kTurnaroundS;
    std::printf("fleet, virtual radios at 19200 baud 8N1 (backup read, write, verify read)\n");
    std::printf("one radio     %s  %6.3f s  %5zu bytes on the line  bound %6.3f s  ratio %.3f\n",
                one.ok ? "ok    " : "FAILED", one.seconds, one.bytes, bound, one.seconds / bound);
    const Figures four = batch(4, plan, dir, 2);
    std::printf("four ports    %s  %6.3f s  for four radios at once  against one: ratio %.3f\n",
                four.ok ? "ok    " : "FAILED", four.seconds, four.seconds / one.seconds);
    ::unsetenv("RADIO_BACKUP_DIR");
    fs::remove_all(dir);
    return one.ok && four.ok ? 0 : 1;
}
