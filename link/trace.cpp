#include "link/trace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "files/system_reason.h"
#include "image/hex.h"

namespace radiolink {

TraceFile::~TraceFile() {
    if (file_) std::fclose(file_);
}

bool TraceFile::open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        error = "cannot create the trace file \"" + path + "\": " + files::SystemReason(errno);
        return false;
    }
    return true;
}

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
    const std::string digits = image::BytesToHex(data, length);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i) hex.push_back(' ');
        hex.append(digits, i, 2);
    }
    line(sent ? '>' : '<', hex);
}

void TraceFile::note(const std::string& text) { line('!', text); }

void TraceFile::line(char direction, const std::string& text) {
    if (!file_) return;
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&t, &local);
    std::fprintf(file_, "%02d:%02d:%02d.%03lld %c %s\n", local.tm_hour, local.tm_min, local.tm_sec,
                 static_cast<long long>(ms), direction, text.c_str());
    std::fflush(file_);  // written as it happens
}

}  // namespace radiolink
