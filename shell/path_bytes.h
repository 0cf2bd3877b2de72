// A file name as the core takes it: the system's own bytes on POSIX (what the locale encodes),
// UTF-8 on Windows, where the core widens every name for the system's calls itself.
#pragma once

#include <string>

#include <QFile>
#include <QString>

namespace shell {

inline std::string PathBytes(const QString& path) {
#ifdef _WIN32
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

}  // namespace shell
