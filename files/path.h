// Paths from this program's text and back. Text is UTF-8 inside this program; on Windows a
// path is UTF-16, and std::filesystem would read a narrow string in the ANSI code page (a
// folder with Chinese letters would name another folder or throw), so the text is widened
// here. On the other systems a path is the bytes as they are.
#pragma once

#include <filesystem>
#include <string>

#ifdef _WIN32
#include "files/wide_path_win.h"
#endif

namespace files {

#ifdef _WIN32
inline std::filesystem::path PathOf(const std::string& utf8) { return std::filesystem::path(Widen(utf8)); }
inline std::string TextOf(const std::filesystem::path& path) { return Narrow(path.wstring()); }
#else
inline std::filesystem::path PathOf(const std::string& text) { return std::filesystem::path(text); }
inline std::string TextOf(const std::filesystem::path& path) { return path.string(); }
#endif

}  // namespace files
