// Folders on Windows. A folder made here inherits the access list of the folder above it:
// under %LOCALAPPDATA% or %APPDATA% that is the user's alone, as a 0700 folder is elsewhere.
#include "files/folders.h"

#include <windows.h>

#include <filesystem>

#include "files/temporary_names.h"
#include "files/wide_path_win.h"

namespace files {
namespace {

// When this program started: a temporary file older than this is not one of its own writes.
const ULONGLONG kStarted = [] {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}();

bool running(DWORD pid) {
    if (pid == ::GetCurrentProcessId()) return false;  // an earlier process that had our number
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;  // someone's, running
    DWORD code = 0;
    const bool alive = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return alive;
}

}  // namespace

base::Outcome<> MakePrivateFolders(const std::string& dir) {
    if (dir.empty()) return {};
    namespace fs = std::filesystem;
    fs::path built;
    for (const fs::path& part : fs::path(Widen(dir)).lexically_normal()) {
        if (part.empty()) continue;
        built /= part;
        if (built == built.root_name() || built == built.root_path()) continue;  // "C:", "C:\"
        if (::CreateDirectoryW(built.c_str(), nullptr)) continue;
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(built.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            return WindowsFailure(ERROR_DIRECTORY).within(Narrow(built.wstring()));
        }
        return WindowsFailure(error).within(Narrow(built.wstring()));
    }
    return {};
}

bool MayCreateIn(const std::string& dir) {
    if (dir.empty()) return false;
    const std::wstring probe = Widen(dir) + L"\\.probe" + std::to_wstring(::GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Removed by the system when the handle closes, even if this program is killed first.
        HANDLE file = ::CreateFileW((probe + std::to_wstring(attempt)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

void CloseToOthers(const std::string&) {}

// Making a symbolic link needs a privilege on Windows that a user's programs do not hold by
// default; a link found is the user's own and is followed.
base::Outcome<> LinkRefusal(const std::string&) { return {}; }

int RemoveStaleTemporaries(const std::string& dir) {
    const std::wstring folder = Widen(dir.empty() ? "." : dir);
    WIN32_FIND_DATAW entry{};
    HANDLE search = ::FindFirstFileW((folder + L"\\.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const long pid = TemporaryOwner(Narrow(entry.cFileName));
        if (pid <= 0) continue;
        const ULONGLONG written =
            (static_cast<ULONGLONG>(entry.ftLastWriteTime.dwHighDateTime) << 32) | entry.ftLastWriteTime.dwLowDateTime;
        if (written >= kStarted || running(static_cast<DWORD>(pid))) continue;
        if (::DeleteFileW((folder + L"\\" + entry.cFileName).c_str())) ++removed;
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return removed;
}

}  // namespace files
