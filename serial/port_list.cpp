#include "serial/port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace serial {
namespace {

namespace fs = std::filesystem;

// A port of the serial core that found no UART reports type 0 (PORT_UNKNOWN); opening it
// fails, so it is not offered.
bool ReportsNoUart(const fs::path& entry) {
    std::ifstream in(entry / "type");
    int type = -1;
    return in && (in >> type) && type == 0;
}

}  // namespace

bool LessNoCase(const std::string& a, const std::string& b) {
    const auto n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::vector<std::string> PortList(const std::string& sysClassTty, const std::vector<std::string>& extraNames) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(sysClassTty, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        std::error_code linkError;
        if (!fs::exists(entry / "device", linkError)) continue;
        if (ReportsNoUart(entry)) continue;
        names.push_back(entry.filename().string());
    }
    for (const auto& extra : extraNames)
        if (std::find(names.begin(), names.end(), extra) == names.end()) names.push_back(extra);
    std::sort(names.begin(), names.end(), LessNoCase);
    return names;
}

// The original rule prefixes names of 5 or more characters with the Windows device namespace
// ("\\.\COM10"); on this system the device namespace is /dev, and a name that already is a
// path is left alone.
std::string DeviceName(const std::string& entry) {
    if (entry.size() < 5) return entry;
    if (!entry.empty() && entry.front() == '/') return entry;
    return "/dev/" + entry;
}

}  // namespace serial
