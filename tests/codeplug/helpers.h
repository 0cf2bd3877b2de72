// Small tools the codeplug and command tests share.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace cptest {

// The records of a file as Save writes it, without their line ends.
inline std::vector<std::string> Records(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") bytes.remove_suffix(2);
    std::vector<std::string> out;
    std::istringstream in{std::string(bytes)};
    for (std::string r; std::getline(in, r, '\r');) out.push_back(r);
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

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace cptest
