// A radio reached from the command line: a serial device opened as the main window opens
// Comm1, or an in-process virtual radio (--port virtual), with the link over it.
#pragma once

#include <memory>
#include <string>

#include "base/outcome.h"
#include "link/link.h"

namespace cli {

class Connection {
public:
    virtual ~Connection() = default;
    virtual radiolink::Radio& radio() = 0;
    // Ends the trace (--trace): a failure says why not every line reached the file.
    virtual base::Outcome<> closeTrace() { return {}; }
};

// Opens DEV (a port-list name or a device path, or "virtual") with the protocol's waits
// `timing`. A failure gives the reason to show and its kind (the port's: NotFound,
// Permission, Busy, ...; the trace file's); `trace`, when not empty, is a file that receives
// every byte sent and received.
base::Outcome<std::unique_ptr<Connection>> Connect(const std::string& port, const std::string& trace = {},
                                                    const radiolink::Timing& timing = {});

// The hidden option --waits-ms "PROM_LIN wait,frame time-out,single-block wait,after EXIT"
// (whole milliseconds, 0 to 60000 each), with which the suite shortens the protocol's waits
// as its in-process tests do. BadData for a text that is no such list.
base::Outcome<radiolink::Timing> ParseWaits(const std::string& text);

// A progress bar on stderr: blocks done of the total, elapsed time, and what is being done.
// It ends its line when it goes away, so what follows starts on a line of its own.
class ProgressBar {
public:
    explicit ProgressBar(int total, std::string label = {});
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    void operator()(int done);

private:
    int total_;
    std::string label_;
    long long startMs_;
    long long lastDrawMs_ = 0;
    bool drawn_ = false;
};

}  // namespace cli
