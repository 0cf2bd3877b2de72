// Opening and closing the trace file on POSIX.
#include "link/trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/text.h"
#include "files/folders.h"
#include "files/system_reason.h"

namespace radiolink {

base::Outcome<> TraceFile::open(const std::string& path) {
    const std::string cannot = "cannot create the trace file \"" + path + "\"";
    if (auto refused = files::LinkRefusal(path); !refused.ok()) return std::move(refused).within(cannot);
    constexpr int kFlags = O_WRONLY | O_NOCTTY | O_CLOEXEC;
    std::error_code ec;
    int fd;
    if (std::filesystem::is_symlink(path, ec)) {
        // A link LinkRefusal lets through (the user's own, /dev/stderr) is followed.
        fd = ::open(path.c_str(), kFlags | O_NONBLOCK | O_CREAT, 0600);
    } else {
        // A new file is made here, never through a link that appears meanwhile.
        fd = ::open(path.c_str(), kFlags | O_NOFOLLOW | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), kFlags | O_NOFOLLOW | O_NONBLOCK);
    }
    if (fd >= 0) {
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            // Another user's file (planted in a shared folder, or open there already) would
            // let them read the trace: it is not written to.
            if (st.st_uid != ::geteuid()) {
                ::close(fd);
                return base::Failure(base::Tr("文件属于另一个用户"), base::ErrorKind::Refused).within(cannot);
            }
            if (::ftruncate(fd, 0) != 0 || ((st.st_mode & 077) && ::fchmod(fd, 0600) != 0)) {
                const int error = errno;
                ::close(fd);
                return files::SystemFailure(error).within(cannot);
            }
        }
        // A device or a pipe the operator named (/dev/stderr) takes the lines as they come.
        (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    if (fd < 0) {
        if (errno == ELOOP) return base::Failure(files::kPlantedLink, base::ErrorKind::Refused).within(cannot);
        return files::SystemFailure(errno).within(cannot);
    }
    fd_ = fd;
    path_ = path;
    failure_.clear();
    return {};
}

base::Outcome<> TraceFile::close() {
    if (fd_ >= 0) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd_) != 0) failed(errno);
        if (::close(fd_) != 0 && errno != EINTR) failed(errno);
        fd_ = -1;
    }
    if (failure_.empty()) return {};
    return base::Failure(failure_, files::KindOf(failureErrno_));
}

}  // namespace radiolink
