// What the port list does the same on every system.
#include <algorithm>
#include <cctype>

#include "serial/port_list.h"

namespace serial {

std::string PortLabel(const std::string& name, const std::string& sysClassTty, const std::string& byIdDir) {
    const std::string description = PortDescription(name, sysClassTty, byIdDir);
    return description.empty() ? name : name + " \u2013 " + description;
}

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

}  // namespace serial
