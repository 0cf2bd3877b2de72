// The bounded reader on Windows: the same refusals as on the other systems, the path widened
// at the call.
#include "files/read_file.h"

#include <windows.h>

#include <algorithm>

#include "files/wide_path_win.h"

namespace files {
namespace {

using Read = base::Outcome<std::string>;
using base::ErrorKind;

struct Handle {
    HANDLE h;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
};

}  // namespace

base::Outcome<std::string> ReadFile(const std::string& path, std::size_t maxBytes) {
    const std::wstring wide = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return base::Failure<std::string>("Is a directory", ErrorKind::Folder);
    // Overlapped: a pipe or a device named here is refused before anything could wait on it.
    Handle file{::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return WindowsFailure<std::string>(::GetLastError());
    if (::GetFileType(file.h) != FILE_TYPE_DISK)
        return base::Failure<std::string>("Not a regular file (a device, pipe or socket)", ErrorKind::NotRegular);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.h, &size)) return WindowsFailure<std::string>(::GetLastError());
    const auto tooLarge = [maxBytes] {
        return base::Failure<std::string>("Larger than " + std::to_string(maxBytes) + " bytes", ErrorKind::TooLarge);
    };
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return tooLarge();

    // The size may change while reading: up to one byte more than the bound shows it.
    std::string bytes(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
    std::size_t done = 0;
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!event) return WindowsFailure<std::string>(::GetLastError());
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes) {
                ::CloseHandle(event);
                return tooLarge();
            }
            bytes.resize(std::min(maxBytes + 1, bytes.size() * 2));
        }
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(done & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(done) >> 32);
        at.hEvent = event;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD got = 0;
        if (!::ReadFile(file.h, bytes.data() + done, want, nullptr, &at) && ::GetLastError() != ERROR_IO_PENDING) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF) break;
            ::CloseHandle(event);
            return WindowsFailure<std::string>(error);
        }
        if (!::GetOverlappedResult(file.h, &at, &got, TRUE)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF) break;
            ::CloseHandle(event);
            return WindowsFailure<std::string>(error);
        }
        if (got == 0) break;
        done += got;
    }
    ::CloseHandle(event);
    bytes.resize(done);
    return base::Success(std::move(bytes));
}

}  // namespace files
