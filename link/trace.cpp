#include "link/trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "files/folders.h"
#include "files/system_reason.h"
#include "base/hex.h"

namespace radiolink {

TraceFile::~TraceFile() { (void)close(); }

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
                return base::Failure("the file belongs to another user", base::ErrorKind::Refused).within(cannot);
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

void TraceFile::attach(Radio& radio) {
    radio.onTraffic = [this](bool sent, const std::uint8_t* data, std::size_t length) { bytes(sent, data, length); };
    radio.onNote = [this](const std::string& text) { note(text); };
}

void TraceFile::detach(Radio& radio) {
    radio.onTraffic = nullptr;
    radio.onNote = nullptr;
}

void TraceFile::bytes(bool sent, const std::uint8_t* data, std::size_t length) {
    std::string hex;
    hex.reserve(length * 3);
    const std::string digits = base::BytesToHex(data, length);
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        if (i) hex.push_back(' ');
        hex.append(digits, i, 2);
    }
    line(sent ? '>' : '<', hex);
}

void TraceFile::note(const std::string& text) { line('!', text); }

void TraceFile::line(char direction, const std::string& text) {
    if (fd_ < 0 || !failure_.empty()) return;
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&t, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d.%03lld %c ", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<long long>(ms), direction);
    const std::string whole = stamp + text + "\n";
    // Written as it happens, with one write a line; a failure is kept and said at the end.
    std::size_t done = 0;
    while (done < whole.size()) {
        const ssize_t n = ::write(fd_, whole.data() + done, whole.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failureErrno_ = n < 0 ? errno : EIO;
            failure_ = "the trace file \"" + path_ + "\" could not be written: " + files::SystemReason(failureErrno_);
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

base::Outcome<> TraceFile::close() {
    const auto fail = [this](int error) {
        failureErrno_ = error;
        failure_ = "the trace file \"" + path_ + "\" could not be written: " + files::SystemReason(error);
    };
    if (fd_ >= 0) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && ::fsync(fd_) != 0 && failure_.empty()) fail(errno);
        if (::close(fd_) != 0 && failure_.empty() && errno != EINTR) fail(errno);
        fd_ = -1;
    }
    if (failure_.empty()) return {};
    return base::Failure(failure_, files::KindOf(failureErrno_));
}

}  // namespace radiolink
