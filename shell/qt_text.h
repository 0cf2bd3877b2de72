// The core's texts are UTF-8: what the windows show of them.
#pragma once

#include <string>

#include <QString>

namespace shell {

inline QString text(const std::string& s) { return QString::fromStdString(s); }
inline QString utf8(const char* s) { return QString::fromUtf8(s); }

}  // namespace shell
