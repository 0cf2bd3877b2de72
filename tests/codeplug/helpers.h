// Small tools the codeplug tests share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace cptest {

// The records of a file as Save writes it (CR after each, CR LF after the last), without
// their line ends.
inline std::vector<std::string> Records(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") bytes.remove_suffix(2);
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = bytes.find('\r', start);
        out.emplace_back(bytes.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return out;
}

inline std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string s;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) s += separator;
        s += parts[i];
    }
    return s;
}

}  // namespace cptest
