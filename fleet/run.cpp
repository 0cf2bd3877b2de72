// The batch: one worker per port, each taking the next row from a shared queue.
#include <chrono>
#include <ctime>
#include <deque>
#include <thread>

#include "base/hex.h"
#include "base/sha256.h"
#include "base/text.h"
#include "fleet/fleet.h"
#include "image/transfer.h"
#include "link/waits.h"

namespace fleet {
namespace {

using Clock = std::chrono::steady_clock;

std::string isoTime() {
    const std::time_t t = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&t, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// Whole milliseconds as seconds with three decimals: "." whatever the locale.
std::string seconds(Clock::duration d) {
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
    std::string frac = std::to_string(ms % 1000);
    return std::to_string(ms / 1000) + "." + std::string(3 - frac.size(), '0') + frac;
}

// The pass a failure came in, in the language its reason is told in.
const char* stepName(radiolink::Step step) {
    switch (step) {
        case radiolink::Step::Backup: return base::Tr("备份读取");
        case radiolink::Step::Write: return base::Tr("写入");
        case radiolink::Step::Verify: return base::Tr("校验");
    }
    return "";
}

// One line of the detail: the log keeps a line per radio.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ';';
    return text;
}

class Queue {
public:
    explicit Queue(const std::vector<RadioRow>& rows) : rows_(rows.begin(), rows.end()) {}
    std::optional<RadioRow> take() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (rows_.empty()) return std::nullopt;
        RadioRow row = rows_.front();
        rows_.pop_front();
        return row;
    }
    void giveBack(const RadioRow& row) {
        std::lock_guard<std::mutex> lock(mutex_);
        rows_.push_front(row);
    }
    std::vector<std::string> left() {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<std::string> labels;
        for (const auto& row : rows_) labels.push_back(row.label);
        return labels;
    }

private:
    std::mutex mutex_;
    std::deque<RadioRow> rows_;
};

// One radio: backup read, write, verify read. The log line says how it went.
LogLine programOne(radiolink::Radio& radio, const std::string& port, const image::EditorState& plan,
                   const RadioRow& row, const Settings& settings, const Callbacks& callbacks,
                   const std::atomic<bool>& stop) {
    const auto start = Clock::now();
    LogLine line;
    line.port = port;
    line.label = row.label;
    radiolink::Step step = radiolink::Step::Backup;
    // A stop asked for reaches the procedure at the next block boundary.
    auto progress = [&](int done) {
        if (callbacks.progress) callbacks.progress(port, row, step, done);
        if (stop.load()) radio.requestStop();
    };
    auto end = [&](const radiolink::Result& r) {
        line.time = isoTime();
        line.seconds = seconds(Clock::now() - start);
        line.result = r.ok() ? "ok" : r.interrupted ? "interrupted" : "failed";
        if (!r.ok()) line.detail = std::string(stepName(step)) + ": " + oneLine(r.error);
        return line;
    };

    radio.clearStop();
    if (stop.load()) radio.requestStop();
    image::EditorState read;
    radiolink::Result r = radiolink::ReadKeepingBackup(radio, read, port, progress);
    line.backup = r.backup;
    if (r.ok()) line.idBefore = read.dtmf.sypz[1];
    if (r.ok() && r.backup.empty()) {
        // Read, but the backup not saved: nothing may be written.
        radiolink::Result refused = radiolink::Failed("", r.detail(), base::ErrorKind::Refused);
        return end(refused);
    }
    if (!r.ok()) return end(r);

    const image::EditorState state = StateFor(plan, read, row, settings.planLimits);
    const auto frames = image::BuildWriteFrames(state);
    if (!frames.ok()) return end(radiolink::Failed("", frames.error, base::ErrorKind::BadData));
    const auto image = image::ImageFromFrames(frames.value);
    // The backup was read just now: the write goes on to the verify without a second one.
    r = radiolink::WriteSafely(radio, state, radiolink::WritePlan{false, true}, port, progress,
                               [&](radiolink::Step s) { step = s; });
    if (step != radiolink::Step::Backup) {
        line.idAfter = row.id;
        line.sha256 = base::Sha256Hex(std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    }
    return end(r);
}

}  // namespace

bool WaitForAnswer(radiolink::Radio& radio, const std::atomic<bool>& stop, bool awayFirst,
                   std::chrono::milliseconds interval) {
    auto answers = [&] {
        if (const auto wait = radio.openingDelay(); wait > radiolink::Clock::duration::zero())
            radiolink::PumpDelay(radio.pump(), wait);
        radio.clearReceived(1);
        radio.send(base::BytesToHex(std::string_view("PROM_LIN")));
        radio.pump().runUntil(radiolink::Clock::now() + radio.timing.promLinWait,
                              [&] { return !radio.RecvHexView().empty() || radio.hungUp(); });
        const bool answered = !radio.RecvHexView().empty();
        radiolink::CloseProcedure(radio);
        return answered;
    };
    radiolink::Radio::Session session(radio);
    if (!session.acquired()) return false;
    bool away = !awayFirst;
    for (;;) {
        if (stop.load()) return false;
        const auto next = radiolink::Clock::now() + interval;
        const bool answered = answers();
        if (answered && away) return true;
        if (!answered) away = true;
        while (radiolink::Clock::now() < next && !stop.load())
            radiolink::PumpDelay(radio.pump(), std::chrono::milliseconds(50));
    }
}

Summary Run(const image::EditorState& plan, const std::vector<RadioRow>& rows, const std::vector<Station*>& stations,
            Log& log, const Settings& settings, const Callbacks& callbacks, std::atomic<bool>& stop) {
    Summary summary;
    std::mutex summaryMutex;
    Queue queue(rows);
    auto work = [&](Station& station) {
        const std::string port = station.name();
        while (!stop.load()) {
            const auto row = queue.take();
            if (!row) return;
            radiolink::Radio* radio = station.awaitRadio(*row, stop);
            if (!radio) {
                queue.giveBack(*row);  // another port may still take it
                return;
            }
            if (callbacks.started) callbacks.started(port, *row);
            const LogLine line = programOne(*radio, port, plan, *row, settings, callbacks, stop);
            const auto logged = log.append(line);
            {
                std::lock_guard<std::mutex> lock(summaryMutex);
                auto& list = line.result == "ok" ? summary.programmed
                             : line.result == "interrupted" ? summary.interrupted
                                                            : summary.failed;
                list.push_back(line.label);
                if (!logged.ok() && summary.log.ok()) summary.log = logged;
            }
            if (callbacks.finished) callbacks.finished(line);
            if (!logged.ok()) stop.store(true);  // without its log a rerun would not know what was done
        }
    };
    std::vector<std::thread> workers;
    for (Station* station : stations) workers.emplace_back(work, std::ref(*station));
    for (auto& w : workers) w.join();
    summary.notStarted = queue.left();
    return summary;
}

}  // namespace fleet
