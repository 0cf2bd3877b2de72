// The serial trace: every byte sent and received, as hex with millisecond timestamps and
// direction, and the time-outs, written as it happens so a failed transfer can be diagnosed
// from the file alone.
#pragma once

#include <string>

#include "link/link.h"

namespace radiolink {

class TraceFile {
public:
    TraceFile() = default;
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // The trace holds what the radio holds (stun and kill codes included): the file is made
    // 0600, new and never through a link; an existing file is emptied and made 0600. A link
    // at the name is followed only where files::LinkRefusal allows it. A failure is Refused
    // (a link that may have been planted, another user's file) or the system's, with
    // "cannot create the trace file \"<path>\"" as its context.
    base::Outcome<> open(const std::string& path);
    // Hooks the radio's traffic and remarks; detach before the file goes away.
    void attach(Radio& radio);
    static void detach(Radio& radio);

    // "HH:MM:SS.mmm > 52 45 41 44 ...", "... < 06", "... ! time-out ...".
    void bytes(bool sent, const std::uint8_t* data, std::size_t length);
    void note(const std::string& text);

    // Syncs and closes the file. A failure says why the trace is incomplete (a write that
    // failed, a full disk); after the first failed line, later lines are dropped.
    base::Outcome<> close();

private:
    void line(char direction, const std::string& text);
    int fd_ = -1;
    std::string path_;
    // The first failure to write or close, kept for close(); later ones add nothing.
    void failed(int error);
    std::string failure_;  // why a line could not be written, kept for close()
    int failureErrno_ = 0;
};

}  // namespace radiolink
