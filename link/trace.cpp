#include "link/trace.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "files/system_reason.h"
#include "base/hex.h"

namespace radiolink {

TraceFile::~TraceFile() { (void)close(); }

void TraceFile::attach(Radio& radio) {
    radio.onTraffic = [this](bool sent, const std::uint8_t* data, std::size_t length) { bytes(sent, data, length); };
    radio.onNote = [this](const std::string& text) { note(text); };
}

void TraceFile::detach(Radio& radio) {
    radio.onTraffic = nullptr;
    radio.onNote = nullptr;
}

void TraceFile::bytes(bool sent, const std::uint8_t* data, std::size_t length) {
    std::string hex;
    hex.reserve(length * 3);
    const std::string digits = base::BytesToHex(data, length);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i) hex.push_back(' ');
        hex.append(digits, i, 2);
    }
    line(sent ? '>' : '<', hex);
}

void TraceFile::note(const std::string& text) { line('!', text); }

void TraceFile::line(char direction, const std::string& text) {
    if (fd_ < 0 || !failure_.empty()) return;
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&t, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03lld %c ", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<long long>(ms), direction);
    const std::string whole = stamp + text + "\n";
    // Written as it happens, with one write a line; a failure is kept and said at the end.
    std::size_t done = 0;
    while (done < whole.size()) {
        const ssize_t n = ::write(fd_, whole.data() + done, whole.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failed(n < 0 ? errno : EIO);
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

void TraceFile::failed(int error) {
    if (!failure_.empty()) return;
    failureErrno_ = error;
    failure_ = "the trace file \"" + path_ + "\" could not be written: " + files::SystemReason(error);
}

}  // namespace radiolink
