// radio-cli fleet: one plan into many radios, each with its own ID code, one thread per port.
#include <unistd.h>
#ifndef _WIN32
#include <poll.h>
#endif

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "cli/command.h"
#include "cli/connection.h"
#include "cli/files.h"
#include "cli/interrupts.h"
#include "cli/options.h"
#include "base/text.h"
#include "fleet/fleet.h"
#include "image/page_tables.h"

namespace cli {
namespace {

constexpr const char* kFleet = "fleet";
// A radio list of thousands of rows stays far below this.
constexpr std::size_t kMaxListBytes = 4u << 20;

std::mutex terminalMutex;  // whole lines on stderr
std::mutex inputMutex;     // one question to the operator at a time

void say(const std::string& text) {
    std::lock_guard<std::mutex> lock(terminalMutex);
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

// Waits for Enter on the terminal; false when stopped first.
bool awaitEnter(const std::atomic<bool>& stop) {
#ifdef _WIN32
    (void)stop;
    char line[256];
    return std::fgets(line, sizeof line, stdin) != nullptr;
#else
    for (;;) {
        if (stop.load()) return false;
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, 200) <= 0) continue;
        char c = 0;
        const auto n = ::read(STDIN_FILENO, &c, 1);
        if (n <= 0) return false;  // the terminal went away
        if (c == '\n') return true;
    }
#endif
}

// A port given with --port: the operator connects each radio in turn (asked on a terminal),
// or, without a terminal, the next radio to answer is taken.
class PortStation : public fleet::Station {
public:
    PortStation(std::string port, std::unique_ptr<Connection> connection, const radiolink::Timing& timing,
                bool terminal, bool several)
        : port_(std::move(port)),
          connection_(std::move(connection)),
          timing_(timing),
          terminal_(terminal),
          several_(several) {}

    std::string name() const override { return name_.empty() ? port_ : name_; }
    void rename(std::string name) { name_ = std::move(name); }

    radiolink::Radio* awaitRadio(const fleet::RadioRow& row, const std::atomic<bool>& stop) override {
        // A cable pulled (a USB adapter with it) closed the port: opened again once it is back.
        while (connection_->radio().hungUp()) {
            if (auto again = Connect(port_, "", timing_); again.ok()) {
                connection_ = std::move(again.value);
                break;
            }
            for (int i = 0; i < 10 && !stop.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
            if (stop.load()) return nullptr;
        }
        radiolink::Radio& radio = connection_->radio();
        const bool first = first_;
        first_ = false;
        if (terminal_) {
            // One question at a time, so that each Enter answers the one asked; the other
            // ports' reports go on meanwhile.
            std::lock_guard<std::mutex> lock(inputMutex);
            say((several_ ? name() + ": " : std::string()) + "connect " + row.label + " and press Enter");
            return awaitEnter(stop) ? &radio : nullptr;
        }
        // The radio just programmed stays on the line until it is taken off: wait for it to go.
        return fleet::WaitForAnswer(radio, stop, !first) ? &radio : nullptr;
    }

private:
    std::string port_;
    std::string name_;  // when the port's own name does not tell it apart
    std::unique_ptr<Connection> connection_;
    radiolink::Timing timing_;
    bool terminal_;
    bool several_;
    bool first_ = true;
};

std::string labels(const std::vector<std::string>& list) {
    std::string text;
    for (const auto& l : list) text += (text.empty() ? "" : ", ") + l;
    return text;
}

int runFleet(const std::vector<std::string>& given) {
    // --port may come many times: taken out before the other options are parsed.
    std::vector<std::string> ports, rest;
    const auto args = SplitEquals(given);
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (args[i] == "--port" && i + 1 < args.size())
            ports.push_back(args[++i]);
        else
            rest.push_back(args[i]);
    }
    const Options options = ParseOptions(rest, {"plan", "radios", "log", "port", "waits-ms"}, {"plan-limits"});
    if (!options.error.empty() || !options.positional.empty()) {
        Fail(kFleet, (options.error.empty() ? "unexpected argument " + options.positional.front() : options.error) +
                        " (see --help)");
        return kUsage;
    }
    for (const char* required : {"plan", "radios", "log"})
        if (!options.value(required)) {
            Fail(kFleet, std::string("--") + required + " is required (see --help)");
            return kUsage;
        }
    if (ports.empty()) {
        Fail(kFleet, "--port is required (see --help)");
        return kUsage;
    }
    // A port twice would put two workers on one line.
    for (const auto& port : ports) {
        if (port != "virtual" && std::count(ports.begin(), ports.end(), port) > 1) {
            Fail(kFleet, "--port " + port + " is given twice");
            return kUsage;
        }
    }
    radiolink::Timing timing;
    if (const auto waits = options.value("waits-ms")) {
        const auto parsed = ParseWaits(*waits);
        if (!parsed.ok()) {
            Fail(kFleet, parsed.message());
            return kUsage;
        }
        timing = parsed.value;
    }

    // Everything is checked before the first radio is touched.
    const auto plan = OpenCodeplug(kFleet, *options.value("plan"));
    if (!plan) return kUsage;
    const std::string listPath = *options.value("radios");
    const auto list = ReadFile(listPath, kMaxListBytes);
    if (!list.ok()) {
        Fail(kFleet, listPath + ": " + list.message());
        return kUsage;
    }
    const auto rows = fleet::ParseRadios(list.value);
    auto refuse = [&](const std::string& problems) {
        std::size_t from = 0;
        while (from <= problems.size()) {
            const std::size_t to = std::min(problems.find('\n', from), problems.size());
            Fail(kFleet, listPath + " " + problems.substr(from, to - from));
            from = to + 1;
        }
        Fail(kFleet, "nothing was written");
        return kUsage;
    };
    if (!rows.ok()) return refuse(rows.error);
    fleet::Log log;
    const auto done = fleet::Log::Open(log, *options.value("log"));
    if (!done.ok()) {
        Fail(kFleet, done.message());
        return kUsage;
    }
    const auto todo = fleet::RowsToDo(rows.value, done.value);
    if (!todo.ok()) return refuse(todo.error);
    if (const auto skipped = rows.value.size() - todo.value.size())
        say(std::to_string(skipped) + " radio(s) the log has as programmed are skipped");

    std::vector<std::unique_ptr<PortStation>> stations;
    const bool terminal = InputIsTerminal();
    // In-process virtual radios, one per `virtual`, are told apart by number (in the log and
    // the backup names).
    const auto virtuals = std::count(ports.begin(), ports.end(), std::string("virtual"));
    int virtualNumber = 0;
    for (const auto& port : ports) {
        auto connected = Connect(port, "", timing);
        if (!connected.ok()) {
            Fail(kFleet, port + ": " + connected.message());
            return kUsage;
        }
        stations.push_back(
            std::make_unique<PortStation>(port, std::move(connected.value), timing, terminal, ports.size() > 1));
        if (port == "virtual" && virtuals > 1) stations.back()->rename("virtual-" + std::to_string(++virtualNumber));
    }
    std::vector<fleet::Station*> pointers;
    for (auto& s : stations) pointers.push_back(s.get());

    fleet::Callbacks callbacks;
    callbacks.started = [](const std::string& port, const fleet::RadioRow& row) {
        say(port + ": programming " + row.label + " (ID " + row.id + ")");
    };
    callbacks.finished = [](const fleet::LogLine& line) {
        say(line.port + ": " + line.label + " " + line.result + " in " + line.seconds + " s" +
            (line.detail.empty() ? "" : ": " + line.detail));
    };
    std::atomic<bool> stop{false};
    fleet::Summary summary;
    {
        StopOnSignals signals(stop);
        summary = fleet::Run(*plan, todo.value, pointers, log, fleet::Settings{options.has("plan-limits")}, callbacks,
                             stop);
    }
    std::string verdict = std::to_string(summary.programmed.size()) + " programmed, " +
                          std::to_string(summary.failed.size()) + " failed";
    if (!summary.failed.empty()) verdict += " (" + labels(summary.failed) + ")";
    if (!summary.interrupted.empty())
        verdict += ", " + std::to_string(summary.interrupted.size()) + " interrupted (" + labels(summary.interrupted) + ")";
    if (!summary.notStarted.empty())
        verdict += ", " + std::to_string(summary.notStarted.size()) + " not started (" + labels(summary.notStarted) + ")";
    std::printf("%s\n", verdict.c_str());
    if (!summary.log.ok()) Fail(kFleet, "the log could not be saved, the batch was stopped: " + summary.log.message());
    if (const int signal = StopOnSignals::caught()) {
        Fail(kFleet, "interrupted by " + StopOnSignals::name(signal) +
                        "; EXIT was sent to the radios in progress. Run again with the same --log to go on.");
        return 128 + signal;
    }
    if (!summary.log.ok()) return kUsage;
    return summary.allOk() ? kOk : kFailed;
}

// The identity page's names the help cites, as the page says them: %1 the radio's own ID
// code, %2 the controller's, %3 the remote-control states.
std::vector<std::string> fleetHelpWords() {
    std::vector<std::string> words(3);
    for (const auto& c : image::IdentityControls()) {
        std::string label = base::Tr(c.label);
        while (!label.empty() && label.back() == ':') label.pop_back();
        if (c.number == 1) words[0] = label;
        if (c.number == 2) words[1] = label;
        if (c.number == 9)
            for (const auto& item : c.items) words[2] += (words[2].empty() ? "" : "/") + std::string(base::Tr(item));
    }
    return words;
}

}  // namespace

RADIO_CLI_COMMAND(kFleet, "program many radios from one plan, each with its own ID code", [] {
                  return base::Fill("usage: radio-cli fleet --plan PLAN.bc --radios RADIOS.csv --port DEV [--port DEV2 ...]\n"
                  "                       --log LOG.csv [--plan-limits]\n"
                  "\n"
                  "Programs every radio of RADIOS.csv with the plan: each radio is read (and its raw\n"
                  "backup kept, as every read does), given the plan with its own fields, written, and\n"
                  "read back to compare every byte written.\n"
                  "\n"
                  "  --plan PLAN.bc      the codeplug every radio gets\n"
                  "  --radios FILE.csv   one row per radio; the header names the columns, in any order:\n"
                  "                        label          what the sticker says (required, unique)\n"
                  "                        id             the radio's own ID code (%1): up to 7 DTMF\n"
                  "                                       digits 0-9 * # A B C D (required, unique)\n"
                  "                        controller_id  the controller ID code (%2)\n"
                  "                        line1, line2   the power-on message lines, up to 7 GBK bytes\n"
                  "                      An empty controller_id, line1 or line2 keeps the radio's own.\n"
                  "                      A bad row, or an ID or label twice, refuses the whole list\n"
                  "                      (the line and column are named) before anything is written.\n"
                  "  --port DEV          a port as for read and write. Given several times, one radio is\n"
                  "                      programmed on each port at once. `virtual` serves an in-process\n"
                  "                      virtual radio, which never leaves its line: one radio each.\n"
                  "  --log LOG.csv       one line per radio as it ends, saved at once:\n"
                  "                        " + std::string(fleet::kLogHeader) + "\n"
                  "                      result is ok, failed or interrupted; detail says which pass\n"
                  "                      (backup read, write, verify) failed at which block and why.\n"
                  "                      Run again with the same log: the radios with an ok line are\n"
                  "                      skipped, failed and interrupted ones are done again, and an ID\n"
                  "                      an ok radio already has is refused.\n"
                  "  --plan-limits       give every radio the plan's band limits; without it each radio\n"
                  "                      keeps its own. The remote-control state (%3) is\n"
                  "                      always the radio's own.\n"
                  "\n"
                  "On a terminal, each radio is asked for in turn: \"connect <label> and press Enter\".\n"
                  "Without one, the next radio is taken when it answers (the handshake is tried every\n"
                  "second, once the radio before has left the line). One radio failing does not stop\n"
                  "the others. The end: \"N programmed, M failed (labels...)\".\n"
                  "\n"
                  "Example:\n"
                  "  $ cat radios.csv\n"
                  "  label,id,line1\n"
                  "  Truck 1,1001,TRUCK1\n"
                  "  Truck 2,1002,TRUCK2\n"
                  "  $ radio-cli fleet --plan depot.bc --radios radios.csv --port /dev/ttyUSB0 --log depot-log.csv\n"
                  "\n"
                  "Exit status: 0 every radio programmed, 1 one or more failed or were not reached,\n"
                  "2 bad usage, a bad radio list or log, a port that cannot be opened, or a log line\n"
                  "that could not be saved, 128 + N stopped by signal N (Ctrl+C: 130; the radios in\n"
                  "progress stop at the next block, EXIT is sent, and the log says interrupted).",
                  fleetHelpWords());
                  },
                  runFleet)

}  // namespace cli
