// Reading and writing codeplug files on disk.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "codeplug/codeplug.h"
#include "files/atomic_write.h"
#include "image/message.h"

namespace codeplug {
namespace {

std::string openError(const std::string& path, int error) {
    return "Cannot open file \"" + path + "\". " + image::SystemReason(error);
}

}  // namespace

std::string WriteAtomically(const std::string& path, std::string_view bytes) {
    const std::string reason = files::WriteAtomically(path, bytes);
    return reason.empty() ? reason : "Cannot create file \"" + path + "\". " + reason;
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
