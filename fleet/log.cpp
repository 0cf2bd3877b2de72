// The fleet log: one CSV line per radio, what a rerun resumes from.
#include "exchange/csv_text.h"
#include "files/atomic_write.h"
#include "files/read_file.h"
#include "fleet/fleet.h"

namespace fleet {
namespace {

// A log of many thousands of radios stays far below this.
constexpr std::size_t kMaxLogBytes = 64u << 20;

enum Field { kTime, kPort, kLabel, kIdBefore, kIdAfter, kBackup, kSha, kResult, kSeconds, kDetail, kFields };

}  // namespace

std::string FormatLogLine(const LogLine& l) {
    std::string text;
    for (const std::string* f : {&l.time, &l.port, &l.label, &l.idBefore, &l.idAfter, &l.backup, &l.sha256, &l.result,
                                 &l.seconds, &l.detail})
        text += (text.empty() ? "" : ",") + exchange::CsvField(*f);
    return text;
}

base::Outcome<Done> ReadLog(std::string_view text) {
    const exchange::CsvRecords parsed = exchange::ParseCsvRecords(text);
    if (parsed.fault)  // English in either language, as the fleet's other messages
        return base::Failure<Done>("line " + std::to_string(parsed.fault->line) +
                                       ": a quoted field that starts in this row is never closed",
                                   base::ErrorKind::BadData);
    Done done;
    if (parsed.records.empty()) return base::Success(done);
    std::string header;
    for (const auto& f : parsed.records.front().fields) header += (header.empty() ? "" : ",") + f;
    if (header != kLogHeader)
        return base::Failure<Done>("line 1: no fleet log (its header is not " + std::string(kLogHeader) + ")",
                                   base::ErrorKind::BadData);
    for (std::size_t r = 1; r < parsed.records.size(); ++r) {
        const auto& fields = parsed.records[r].fields;
        if (fields.size() != kFields)
            return base::Failure<Done>("line " + std::to_string(parsed.records[r].line) + ": " +
                                           std::to_string(fields.size()) + " fields, a log line has " +
                                           std::to_string(kFields),
                                       base::ErrorKind::BadData);
        if (fields[kResult] != "ok") continue;
        done.labels.insert(fields[kLabel]);
        done.ids.insert(fields[kIdAfter]);
    }
    return base::Success(done);
}

base::Outcome<Done> Log::Open(Log& log, const std::string& path) {
    log.path_ = path;
    auto read = files::ReadFile(path, kMaxLogBytes);
    if (!read.ok() && read.kind != base::ErrorKind::NotFound) return base::Failure<Done>(read).within(path);
    log.text_ = read.ok() ? read.value : "";
    if (!log.text_.empty() && log.text_.back() != '\n') log.text_ += "\n";  // a line cut by a crash ends here
    auto done = ReadLog(log.text_);
    if (!done.ok()) return done.within(path);
    if (log.text_.find_first_not_of(" \t\r\n") == std::string::npos) log.text_ = std::string(kLogHeader) + "\n";
    // Written once now: a log that cannot be saved stops the batch before a radio is touched,
    // not after the first one is programmed.
    if (auto written = files::WriteAtomically(path, log.text_); !written.ok())
        return base::Failure<Done>(written).within(path);
    return done;
}

base::Outcome<> Log::append(const LogLine& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::size_t before = text_.size();
    text_ += FormatLogLine(line) + "\n";
    // The whole log through the one writer: it reaches the disk synced, and a crash leaves
    // the log as it was before this line or after it, never half a line.
    auto written = files::WriteAtomically(path_, text_);
    if (!written.ok()) text_.resize(before);
    return written.within(path_);
}

}  // namespace fleet
