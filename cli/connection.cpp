#include "cli/connection.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "link/comm1.h"
#include "link/trace.h"
#include "serial/comm.h"
#include "serial/owner_queue.h"
#include "serial/port_bar.h"
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
    SerialConnection() : comm_(queue_), pump_(queue_), radio_(comm_, pump_) {}
    ~SerialConnection() override {
        radio_.onTraffic = nullptr;
        comm_.ClosePort();
    }

    bool open(const std::string& device, std::string& error) {
        radiolink::ConfigureComm1(comm_);
        comm_.SetCommName(device);
        try {
            comm_.OpenPort();
        } catch (const serial::ECommsError& e) {
            error = serial::OpenFailureText(comm_.LastOpenFailure(), device);
            return false;
        }
        return true;
    }

    radiolink::Radio& radio() override { return radio_; }
    std::string closeTrace() override {
        if (!trace) return {};
        radiolink::TraceFile::detach(radio_);
        return trace->close();
    }

    std::unique_ptr<sim::VirtualRadio> virtualRadio;  // destroyed after the port is closed
    std::unique_ptr<radiolink::TraceFile> trace;

private:
    serial::OwnerQueue queue_;
    serial::TComm comm_;
    radiolink::QueuePump pump_;
    radiolink::Radio radio_;
};

// The suite's radio-cli runs shorten the protocol's waits as its in-process tests do, through
// RADIO_WAITS_MS="PROM_LIN wait,frame time-out,single-block wait,after EXIT" (milliseconds).
// A value that does not read as four whole numbers leaves the radio's waits.
void takeWaitsFromEnvironment(radiolink::Timing& timing) {
    const char* text = std::getenv("RADIO_WAITS_MS");
    if (!text) return;
    long ms[4];
    char end = 0;
    if (std::sscanf(text, "%ld,%ld,%ld,%ld%c", &ms[0], &ms[1], &ms[2], &ms[3], &end) != 4) return;
    for (long m : ms)
        if (m < 0 || m > 60000) return;
    using std::chrono::milliseconds;
    timing.promLinWait = milliseconds(ms[0]);
    timing.frameTimeout = milliseconds(ms[1]);
    timing.singleBlockWait = milliseconds(ms[2]);
    timing.afterExit = milliseconds(ms[3]);
}

}  // namespace

std::unique_ptr<Connection> Connect(const std::string& port, std::string& error, const std::string& trace) {
    std::unique_ptr<sim::VirtualRadio> virtualRadio;
    std::string device;
    if (port == "virtual") {
        try {
            virtualRadio = std::make_unique<sim::VirtualRadio>();
        } catch (const std::exception& e) {
            error = std::string("cannot start the virtual radio: ") + e.what();
            return nullptr;
        }
        device = virtualRadio->slavePath();
    } else {
        device = serial::DeviceName(port);
    }
    auto connection = std::make_unique<SerialConnection>();
    if (!connection->open(device, error)) return nullptr;
    takeWaitsFromEnvironment(connection->radio().timing);
    if (!trace.empty()) {
        connection->trace = std::make_unique<radiolink::TraceFile>();
        if (!connection->trace->open(trace, error)) return nullptr;
        connection->trace->attach(connection->radio());
    }
    connection->virtualRadio = std::move(virtualRadio);
    return connection;
}

ProgressBar::ProgressBar(int total, std::string label) : total_(total), label_(std::move(label)), startMs_(nowMs()) {}

ProgressBar::~ProgressBar() {
    if (drawn_) std::fputc('\n', stderr);
}

void ProgressBar::operator()(int done) {
    // Drawn only for a person at a terminal, and not more often than the eye follows.
    static const bool terminal = ::isatty(STDERR_FILENO) != 0;
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
