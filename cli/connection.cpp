#include "cli/connection.h"

#include <chrono>
#include <cstdio>

#include "cli/interrupts.h"
#include "link/line.h"
#include "link/trace.h"
#include "serial/port_list.h"
#include "sim/virtual_radio.h"

namespace cli {
namespace {

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class SerialConnection : public Connection {
public:
    explicit SerialConnection(const radiolink::Timing& timing) : line_(radiolink::LineSettings{timing}) {}
    ~SerialConnection() override { line_.radio().onTraffic = nullptr; }

    base::Outcome<> open(const std::string& device) { return line_.open(device); }

    radiolink::Radio& radio() override { return line_.radio(); }
    base::Outcome<> closeTrace() override {
        if (!trace) return {};
        radiolink::TraceFile::detach(line_.radio());
        return trace->close();
    }

    std::unique_ptr<sim::VirtualRadio> virtualRadio;  // destroyed after the port is closed
    std::unique_ptr<radiolink::TraceFile> trace;

private:
    radiolink::Line line_;
};

}  // namespace

base::Outcome<radiolink::Timing> ParseWaits(const std::string& text) {
    long ms[4];
    char end = 0;
    bool good = std::sscanf(text.c_str(), "%ld,%ld,%ld,%ld%c", &ms[0], &ms[1], &ms[2], &ms[3], &end) == 4;
    for (long m : ms) good = good && m >= 0 && m <= 60000;
    if (!good)
        return base::Failure<radiolink::Timing>("--waits-ms takes four whole milliseconds, 0 to 60000: '" + text + "'",
                                                 base::ErrorKind::BadData);
    using std::chrono::milliseconds;
    radiolink::Timing timing;
    timing.promLinWait = milliseconds(ms[0]);
    timing.frameTimeout = milliseconds(ms[1]);
    timing.singleBlockWait = milliseconds(ms[2]);
    timing.afterExit = milliseconds(ms[3]);
    return base::Success(timing);
}

base::Outcome<std::unique_ptr<Connection>> Connect(const std::string& port, const std::string& trace,
                                                    const radiolink::Timing& timing) {
    using Connected = base::Outcome<std::unique_ptr<Connection>>;
    std::string device;
    std::unique_ptr<sim::VirtualRadio> virtualRadio;
    if (port == "virtual") {
        try {
            virtualRadio = std::make_unique<sim::VirtualRadio>();
        } catch (const std::exception& e) {
            return base::Failure<std::unique_ptr<Connection>>(std::string("cannot start the virtual radio: ") + e.what(),
                                                               base::ErrorKind::System);
        }
        device = virtualRadio->slavePath();
    } else {
        device = serial::DeviceName(port);
    }
    auto connection = std::make_unique<SerialConnection>(timing);
    if (auto opened = connection->open(device); !opened.ok()) return base::Failure<std::unique_ptr<Connection>>(opened);
    if (!trace.empty()) {
        connection->trace = std::make_unique<radiolink::TraceFile>();
        if (auto opened = connection->trace->open(trace); !opened.ok())
            return base::Failure<std::unique_ptr<Connection>>(opened);
        connection->trace->attach(connection->radio());
    }
    connection->virtualRadio = std::move(virtualRadio);
    Connected connected;
    connected.value = std::move(connection);
    return connected;
}

ProgressBar::ProgressBar(int total, std::string label) : total_(total), label_(std::move(label)), startMs_(nowMs()) {}

ProgressBar::~ProgressBar() {
    if (drawn_) std::fputc('\n', stderr);
}

void ProgressBar::operator()(int done) {
    // Drawn only for a person at a terminal, and not more often than the eye follows.
    static const bool terminal = ErrorIsTerminal();
    if (!terminal) return;
    const long long now = nowMs();
    if (done != total_ && now - lastDrawMs_ < 50) return;
    lastDrawMs_ = now;
    constexpr int kWidth = 40;
    const int filled = total_ > 0 ? done * kWidth / total_ : 0;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    // Seconds and tenths as integers: no decimal point that depends on the locale.
    const long long tenths = (now - startMs_) / 100;
    std::fprintf(stderr, "\r%s%s[%s] %3d/%d  %lld.%lld s", label_.c_str(), label_.empty() ? "" : " ", bar.c_str(), done,
                 total_, tenths / 10, tenths % 10);
    std::fflush(stderr);
    drawn_ = true;
}

}  // namespace cli
