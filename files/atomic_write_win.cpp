// The atomic writer on Windows: the temporary file is created exclusively (CREATE_NEW) in the
// target's folder, written, flushed to the disk (FlushFileBuffers) and put in the target's
// place with ReplaceFileW, or MoveFileExW with MOVEFILE_WRITE_THROUGH for a new target, so
// the rename has reached the disk when the call returns. Paths are widened at the calls.
//
// Permissions: Windows keeps them in access lists, which a replaced file keeps and a new
// file inherits from its folder; WriteOptions::mode is not applied here.
#include "files/atomic_write.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>

#include "files/folders.h"
#include "files/wide_path_win.h"

namespace files {
namespace {

struct TempFile {
    HANDLE handle = INVALID_HANDLE_VALUE;
    std::wstring path;
    bool keep = false;
    ~TempFile() {
        if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
        if (!keep && !path.empty()) ::DeleteFileW(path.c_str());
    }
};

bool writeAll(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, want, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

// The same names as on the other systems: the process, a count and 64 random bits.
std::string temporaryName(const std::string& base) {
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    const std::uint64_t random = (static_cast<std::uint64_t>(device()) << 32) | device();
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(random));
    return "." + base + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++) + "-" + hex;
}

}  // namespace

base::Outcome<> WriteAtomically(const std::string& path, std::string_view bytes, const WriteOptions&) {
    namespace fs = std::filesystem;
    const fs::path target(Widen(path));
    const fs::path parent = target.parent_path();
    const std::string base = Narrow(target.filename().wstring());
    if (base.empty()) return base::Failure("Is a directory", base::ErrorKind::Folder);

    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return base::Failure("Is a directory", base::ErrorKind::Folder);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY)) return base::Failure(kReadOnly, base::ErrorKind::ReadOnly);

    RemoveStaleTemporaries(Narrow(parent.wstring()));
    TempFile temp;
    for (int attempt = 0; attempt < 100 && temp.handle == INVALID_HANDLE_VALUE; ++attempt) {
        const fs::path candidate = parent / Widen(temporaryName(base));
        temp.handle = ::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (temp.handle != INVALID_HANDLE_VALUE)
            temp.path = candidate.wstring();
        else if (::GetLastError() != ERROR_FILE_EXISTS)
            return WindowsFailure(::GetLastError());
    }
    if (temp.handle == INVALID_HANDLE_VALUE) return WindowsFailure(ERROR_FILE_EXISTS);
    if (!writeAll(temp.handle, bytes) || !::FlushFileBuffers(temp.handle)) return WindowsFailure(::GetLastError());
    HANDLE handle = temp.handle;
    temp.handle = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) return WindowsFailure(::GetLastError());
    // ReplaceFileW keeps the target's attributes and access list; where it cannot (a new
    // target, a file system without it), the rename replaces the file and reaches the disk
    // before it returns.
    const bool replaced =
        exists && ::ReplaceFileW(target.c_str(), temp.path.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!replaced &&
        !::MoveFileExW(temp.path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return WindowsFailure(::GetLastError());
    temp.keep = true;
    return {};
}

}  // namespace files
