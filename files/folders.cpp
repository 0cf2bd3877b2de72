#include "files/folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "files/system_reason.h"
#include "files/temporary_names.h"

namespace files {
namespace {

// When this program started: a temporary file older than this is not one of its own writes.
const timespec kStarted = [] {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}();

bool olderThanStart(const struct stat& st) {
    return st.st_mtim.tv_sec < kStarted.tv_sec ||
           (st.st_mtim.tv_sec == kStarted.tv_sec && st.st_mtim.tv_nsec < kStarted.tv_nsec);
}

bool running(pid_t pid) {
    if (pid == ::getpid()) return false;  // an earlier process that had our number
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

base::Outcome<> MakePrivateFolders(const std::string& dir) {
    if (dir.empty()) return {};
    namespace fs = std::filesystem;
    fs::path built;
    for (const fs::path& part : fs::path(dir).lexically_normal()) {
        if (part.empty()) continue;
        built /= part;
        if (::mkdir(built.c_str(), 0700) == 0) {
            // Made here: 0700 whatever the umask left of it.
            const int fd = ::open(built.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (fd >= 0) {
                (void)::fchmod(fd, 0700);
                ::close(fd);
            }
            continue;
        }
        const int error = errno;
        struct stat st {};
        if (::stat(built.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode)) continue;  // found: its mode is its owner's business
            return SystemFailure(ENOTDIR).within(built.string());
        }
        return SystemFailure(error).within(built.string());
    }
    return {};
}

bool MayCreateIn(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

void CloseToOthers(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 077) != 0) (void)::fchmod(fd, st.st_mode & 0700);
    ::close(fd);
}

base::Outcome<> LinkRefusal(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return {};
    std::string parent = std::filesystem::path(path).parent_path().string();
    if (parent.empty()) parent = ".";
    struct stat folder {};
    if (::stat(parent.c_str(), &folder) != 0) return base::Failure(kPlantedLink, base::ErrorKind::Refused);
    const uid_t me = ::geteuid();
    const bool stickyShared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    const bool othersWrite =
        (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 || (folder.st_uid != me && folder.st_uid != 0);
    if (stickyShared || (othersWrite && link.st_uid != me)) return base::Failure(kPlantedLink, base::ErrorKind::Refused);
    return {};
}

int RemoveStaleTemporaries(const std::string& dir) {
    DIR* folder = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!folder) return 0;
    const uid_t me = ::geteuid();
    int removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const auto pid = static_cast<pid_t>(TemporaryOwner(entry->d_name));
        if (pid <= 0) continue;
        struct stat st {};
        if (::fstatat(::dirfd(folder), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != me || !olderThanStart(st) || running(pid)) continue;
        if (::unlinkat(::dirfd(folder), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(folder);
    return removed;
}

}  // namespace files
