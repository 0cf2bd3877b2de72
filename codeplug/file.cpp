// Reading and writing codeplug files on disk.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "codeplug/codeplug.h"
#include "image/message.h"

namespace codeplug {
namespace {

std::string createError(const std::string& path, int error) {
    return "Cannot create file \"" + path + "\". " + image::SystemReason(error);
}

std::string openError(const std::string& path, int error) {
    return "Cannot open file \"" + path + "\". " + image::SystemReason(error);
}

// Closes the descriptor and removes the temporary file unless the save went through.
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

// A symbolic link is followed, so the file it names is replaced, not the link.
std::string resolveTarget(const std::string& path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto real = std::filesystem::canonical(path, ec);
        if (!ec) return real.string();
    }
    return path;
}

}  // namespace

std::string WriteAtomically(const std::string& path, std::string_view bytes) {
    const std::string target = resolveTarget(path);
    const std::filesystem::path parent = std::filesystem::path(target).parent_path();
    const std::string base = std::filesystem::path(target).filename().string();
    static std::atomic<unsigned> counter{0};

    TempFile temp;
    for (int attempt = 0; attempt < 100 && temp.fd < 0; ++attempt) {
        const std::string name = "." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const std::string candidate = parent.empty() ? name : (parent / name).string();
        temp.fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (temp.fd >= 0)
            temp.path = candidate;
        else if (errno != EEXIST)
            return createError(path, errno);
    }
    if (temp.fd < 0) return createError(path, EEXIST);
    // An existing file keeps its permissions.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(temp.fd, old.st_mode & 07777);

    if (!writeAll(temp.fd, bytes) || ::fsync(temp.fd) != 0) return createError(path, errno);
    const int fd = temp.fd;
    temp.fd = -1;
    if (::close(fd) != 0) return createError(path, errno);
    if (::rename(temp.path.c_str(), target.c_str()) != 0) return createError(path, errno);
    temp.keep = true;
    // The rename itself reaches the disk with the directory.
    const int dir = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return {};
}

SaveResult SaveFile(const std::string& path, const image::EditorState& state, Words words) {
    SaveResult result;
    SaveText text = ToText(state, words);
    if (!text.ok()) {
        result.error = (words == Words::Chinese ? "不能保存\"" : "Cannot save \"") + path + "\": " + text.error;
        return result;
    }
    result.changed = std::move(text.changed);
    result.error = WriteAtomically(path, text.bytes);
    return result;
}

OpenResult OpenFile(const std::string& path, const image::EditorState& current, Words words) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return OpenResult{current, openError(path, errno), {}};
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return OpenResult{current, openError(path, error), {}};
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return FromText(bytes, current, words);
}

}  // namespace codeplug
