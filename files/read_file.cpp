#include "files/read_file.h"
#include "files/system_reason.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace files {
namespace {

struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

ReadResult refused(ReadProblem problem, int error = 0) {
    ReadResult r;
    r.problem = problem;
    r.error = error;
    return r;
}

}  // namespace

std::string ReadResult::reason(std::size_t maxBytes) const {
    switch (problem) {
        case ReadProblem::kNone: return {};
        case ReadProblem::kCannotOpen:
        case ReadProblem::kCannotRead: return SystemReason(error);
        case ReadProblem::kDirectory: return SystemReason(EISDIR);  // "Is a directory", as the system says
        case ReadProblem::kNotRegular: return "Not a regular file (a device, pipe or socket)";
        case ReadProblem::kTooLarge: return "Larger than " + std::to_string(maxBytes) + " bytes";
    }
    return {};
}

ReadResult ReadFile(const std::string& path, std::size_t maxBytes) {
    // Non-blocking: opening a FIFO without a writer must not wait for one.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) return refused(errno == EISDIR ? ReadProblem::kDirectory : ReadProblem::kCannotOpen, errno);
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) return refused(ReadProblem::kCannotOpen, errno);
    if (S_ISDIR(st.st_mode)) return refused(ReadProblem::kDirectory);
    if (!S_ISREG(st.st_mode)) return refused(ReadProblem::kNotRegular);
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) return refused(ReadProblem::kTooLarge);

    // The size may change while reading: read up to one byte more than the bound to see it.
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes) return refused(ReadProblem::kTooLarge);
            bytes.resize(std::min(maxBytes + 1, bytes.size() * 2));
        }
        const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return refused(ReadProblem::kCannotRead, errno);
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    ReadResult r;
    r.bytes = std::move(bytes);
    return r;
}

std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes, std::string& reason) {
    ReadResult r = ReadFile(path, maxBytes);
    if (!r.ok()) {
        reason = r.reason(maxBytes);
        return std::nullopt;
    }
    return std::move(r.bytes);
}

}  // namespace files
