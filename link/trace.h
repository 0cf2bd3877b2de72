// The serial trace: every byte sent and received, as hex with millisecond timestamps and
// direction, and the time-outs, written as it happens so a failed transfer can be diagnosed
// from the file alone.
#pragma once

#include <cstdio>
#include <string>

#include "link/link.h"

namespace radiolink {

class TraceFile {
public:
    TraceFile() = default;
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool open(const std::string& path, std::string& error);
    // Hooks the radio's traffic and remarks; detach before the file goes away.
    void attach(Radio& radio);
    static void detach(Radio& radio);

    // "HH:MM:SS.mmm > 52 45 41 44 ...", "... < 06", "... ! time-out ...".
    void bytes(bool sent, const std::uint8_t* data, std::size_t length);
    void note(const std::string& text);

private:
    void line(char direction, const std::string& text);
    std::FILE* file_ = nullptr;
};

}  // namespace radiolink
