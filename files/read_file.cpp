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

using Read = base::Outcome<std::string>;
using base::ErrorKind;

Read folder() { return base::Failure<std::string>(SystemReason(EISDIR), ErrorKind::Folder); }  // as the system says
Read notRegular() {
    return base::Failure<std::string>("Not a regular file (a device, pipe or socket)", ErrorKind::NotRegular);
}
Read tooLarge(std::size_t maxBytes) {
    return base::Failure<std::string>("Larger than " + std::to_string(maxBytes) + " bytes", ErrorKind::TooLarge);
}

}  // namespace

base::Outcome<std::string> ReadFile(const std::string& path, std::size_t maxBytes) {
    // Non-blocking: opening a FIFO without a writer must not wait for one.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) return SystemFailure<std::string>(errno);  // EISDIR: a Folder
    struct stat st {};
    if (::fstat(file.fd, &st) != 0) return SystemFailure<std::string>(errno);
    if (S_ISDIR(st.st_mode)) return folder();
    if (!S_ISREG(st.st_mode)) return notRegular();
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) return tooLarge(maxBytes);

    // The size may change while reading: read up to one byte more than the bound to see it.
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done > maxBytes) return tooLarge(maxBytes);
            bytes.resize(std::min(maxBytes + 1, bytes.size() * 2));
        }
        const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemFailure<std::string>(errno);
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return base::Success(std::move(bytes));
}

}  // namespace files
