#include "files/atomic_write.h"
#include "files/folders.h"
#include "files/system_reason.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace files {
namespace {

// Closes the descriptor and removes the temporary file unless it became the target.
struct TempFile {
    int fd = -1;
    std::string path;
    bool keep = false;
    ~TempFile() {
        if (fd >= 0) ::close(fd);
        if (!keep && !path.empty()) ::unlink(path.c_str());
    }
};

bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A symbolic link at the target is followed, so the file it names is replaced, not the link
// (unless LinkRefusal refused it).
std::string resolveTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto real = std::filesystem::canonical(path, ec);
        if (!ec) return real.string();
    }
    return path;
}


// A name no one can plant in advance: the process, a count and 64 random bits.
std::string temporaryName(const std::string& base) {
    static std::atomic<unsigned> counter{0};
    std::uint64_t random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random))
        random = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(random));
    return "." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" + hex;
}

}  // namespace

base::Outcome<> WriteAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options) {
    if (auto refused = LinkRefusal(path); !refused.ok()) return refused;
    const std::string target = resolveTarget(path);
    const std::filesystem::path parent = std::filesystem::path(target).parent_path();
    const std::string base = std::filesystem::path(target).filename().string();
    if (base.empty()) return SystemFailure(EISDIR);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return SystemFailure(EISDIR);
    // The owner marked the file read-only: it is not ours to replace (root included).
    if (exists && S_ISREG(old.st_mode) && (old.st_mode & 0222) == 0) return base::Failure(kReadOnly, base::ErrorKind::ReadOnly);

    RemoveStaleTemporaries(parent.string());
    TempFile temp;
    for (int attempt = 0; attempt < 100 && temp.fd < 0; ++attempt) {
        const std::string name = temporaryName(base);
        const std::string candidate = parent.empty() ? name : (parent / name).string();
        temp.fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         options.mode.value_or(0666));
        if (temp.fd >= 0)
            temp.path = candidate;
        else if (errno != EEXIST)
            return SystemFailure(errno);
    }
    if (temp.fd < 0) return SystemFailure(EEXIST);
    if (options.mode)
        (void)::fchmod(temp.fd, *options.mode);
    else if (exists && S_ISREG(old.st_mode))
        (void)::fchmod(temp.fd, old.st_mode & 07777);  // an existing file keeps its permissions

    if (!writeAll(temp.fd, bytes) || ::fsync(temp.fd) != 0) return SystemFailure(errno);
    const int fd = temp.fd;
    temp.fd = -1;
    if (::close(fd) != 0) return SystemFailure(errno);
    if (::rename(temp.path.c_str(), target.c_str()) != 0) return SystemFailure(errno);
    temp.keep = true;
    // The rename itself reaches the disk with the folder.
    const int dir = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace files
