// The names of WriteAtomically's temporary files, ".NAME.tmpPID-N-XXXXXXXXXXXXXXXX", the same
// on every system: the process in them says whether their writer may still be running.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>

namespace files {

inline bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

inline bool AllHex(std::string_view s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

// The process of a temporary name ".NAME.tmpPID-N-XXXXXXXXXXXXXXXX", 0 for another name.
inline long TemporaryOwner(std::string_view name) {
    constexpr std::size_t kRandom = 16;
    if (name.size() < 2 || name[0] != '.' || name.size() < kRandom + 1) return 0;
    const std::string_view random = name.substr(name.size() - kRandom);
    if (!AllHex(random) || name[name.size() - kRandom - 1] != '-') return 0;
    name.remove_suffix(kRandom + 1);
    const auto dash = name.rfind('-');
    if (dash == std::string_view::npos || !AllDigits(name.substr(dash + 1))) return 0;
    name.remove_suffix(name.size() - dash);
    const auto tmp = name.rfind(".tmp");
    if (tmp == std::string_view::npos || tmp == 0) return 0;
    const std::string_view pid = name.substr(tmp + 4);
    if (!AllDigits(pid) || pid.size() > 9) return 0;
    return std::atol(std::string(pid).c_str());
}

}  // namespace files
