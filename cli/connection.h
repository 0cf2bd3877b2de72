// A radio reached from the command line: a serial device opened as the main window opens
// Comm1, or an in-process virtual radio (--port virtual), with the link over it.
#pragma once

#include <memory>
#include <string>

#include "link/link.h"

namespace cli {

class Connection {
public:
    virtual ~Connection() = default;
    virtual radiolink::Radio& radio() = 0;
    // Ends the trace (--trace): "" when every line reached the file, otherwise why not.
    virtual std::string closeTrace() { return {}; }
};

// Opens DEV (a port-list name or a device path, or "virtual"). On failure returns nullptr
// and `error` gives the system's reason; `trace`, when not empty, is a file that receives
// every byte sent and received.
std::unique_ptr<Connection> Connect(const std::string& port, std::string& error, const std::string& trace = {});

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
