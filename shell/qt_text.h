// The core's texts are UTF-8: what the windows show of them.
#pragma once

#include <string>

#include <QString>

#include "base/text.h"

namespace shell {

inline QString text(const std::string& s) { return QString::fromStdString(s); }
inline QString utf8(const char* s) { return QString::fromUtf8(s); }

// A text of the program in the chosen language (base/text.h): Say("读取成功!"),
// Say("第 %1 块", block).
inline QString Say(const char* source) { return QString::fromUtf8(base::Tr(source)); }
inline QString Say(const std::string& source) { return QString::fromStdString(base::Tr(source)); }
template <class First, class... Rest>
QString Say(const char* source, const First& first, const Rest&... rest) {
    return QString::fromStdString(base::Tr(source, first, rest...));
}

}  // namespace shell
