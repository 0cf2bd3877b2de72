// Programming a batch of radios from one plan: each radio read (and backed up), given the
// plan with its own ID code and the fields that belong to it, written, verified, and logged.
// One thread per port; the rows come from one shared queue. No Qt: the command line drives
// it, and a window can, through the callbacks.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/outcome.h"
#include "image/editor_state.h"
#include "link/link.h"
#include "link/pipelines.h"

namespace fleet {

// One row of the radio list. An empty controller_id, line1 or line2 keeps what the radio holds.
struct RadioRow {
    int line = 0;  // where the row starts in the file
    std::string label, id;
    std::optional<std::string> controllerId, line1, line2;
};

// The radio list: a header naming label and id (required) and controller_id, line1, line2,
// in any order. Every bad row is refused, each problem on a line of the error that names
// the file's line and column (BadData); so are duplicate IDs and labels.
base::Outcome<std::vector<RadioRow>> ParseRadios(std::string_view text);

inline constexpr const char* kLogHeader = "time,port,label,id_before,id_after,backup,sha256,result,seconds,detail";

struct LogLine {
    std::string time, port, label, idBefore, idAfter, backup, sha256, result, seconds, detail;
};
// The line as the log holds it, fields quoted where they need it, without the line end.
std::string FormatLogLine(const LogLine& line);

// The log of earlier runs: which labels and IDs are programmed (a line with result "ok").
struct Done {
    std::set<std::string> labels, ids;
};
base::Outcome<Done> ReadLog(std::string_view text);

// The rows this run programs: those whose label the log does not have as done. A row whose
// ID another, done, radio already has is refused (BadData, naming its line and column).
base::Outcome<std::vector<RadioRow>> RowsToDo(const std::vector<RadioRow>& rows, const Done& done);

// The log file: read at the start, then one line appended as each radio ends. Each line
// reaches the disk (files::WriteAtomically, synced) before the next radio starts, so a
// crash or a pulled plug loses at most the radio in progress. Thread-safe.
class Log {
public:
    // Opens an existing log (its header checked) or starts a new one, and saves it once:
    // a failure (no such folder, no permission) comes before any radio is touched.
    static base::Outcome<Done> Open(Log& log, const std::string& path);
    base::Outcome<> append(const LogLine& line);
    const std::string& path() const { return path_; }

private:
    std::mutex mutex_;
    std::string path_;
    std::string text_;
};

// What goes into one radio: the plan, with the radio's own ID code from the row, its
// controller ID code and power-on lines from the row where the row has them and as the radio
// held them where it does not, and the band limits and remote-control state as the radio held
// them (the plan's limits with `planLimits`). Codes the radio held are kept byte for byte.
image::EditorState StateFor(const image::EditorState& plan, const image::EditorState& radio, const RadioRow& row,
                            bool planLimits);

// One port of the batch. Its radio is used by one worker thread only, from awaitRadio on.
class Station {
public:
    virtual ~Station() = default;
    // The port as the log and the backup names show it.
    virtual std::string name() const = 0;
    // Waits until the radio for `row` is on the line (the operator connects it, or it
    // answers); nullptr when this port cannot go on or `stop` was set.
    virtual radiolink::Radio* awaitRadio(const RadioRow& row, const std::atomic<bool>& stop) = 0;
};

// Polls the handshake about once a second until a radio answers "PROM_LIN" (true) or `stop`
// is set (false). With `awayFirst`, first until no radio answers: the one just programmed must
// leave the line before the next is taken.
bool WaitForAnswer(radiolink::Radio& radio, const std::atomic<bool>& stop, bool awayFirst,
                   std::chrono::milliseconds interval = std::chrono::milliseconds(1000));

struct Settings {
    bool planLimits = false;
};

// What a window or the command line is told while a batch runs (from the workers' threads).
struct Callbacks {
    std::function<void(const std::string& port, const RadioRow& row)> started;
    std::function<void(const std::string& port, const RadioRow& row, radiolink::Step step, int done)> progress;
    std::function<void(const LogLine& line)> finished;
};

struct Summary {
    std::vector<std::string> programmed, failed, interrupted;  // labels, in the order they ended
    std::vector<std::string> notStarted;                      // labels no port took
    base::Outcome<> log;  // a log line that could not be saved stops the batch
    bool allOk() const { return failed.empty() && interrupted.empty() && notStarted.empty() && log.ok(); }
};

// Programs the rows on the stations, one worker per station, until the rows run out, every
// station gives up, or `stop` is set (the radios in progress stop at a block boundary with
// "EXIT" sent and are logged as interrupted).
Summary Run(const image::EditorState& plan, const std::vector<RadioRow>& rows, const std::vector<Station*>& stations,
            Log& log, const Settings& settings, const Callbacks& callbacks, std::atomic<bool>& stop);

}  // namespace fleet
