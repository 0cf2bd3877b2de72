// Opening and closing the trace file on Windows: a C runtime descriptor on a file opened by
// its wide name, so the lines go out through the same write() as elsewhere. A new file is
// made exclusively; an existing one (the user's own: a file there is theirs or their
// folder's access list would not let it open) is emptied. Its access list is the folder's.
#include "link/trace.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "files/system_reason.h"
#include "files/wide_path_win.h"

namespace radiolink {

base::Outcome<> TraceFile::open(const std::string& path) {
    const std::string cannot = "cannot create the trace file \"" + path + "\"";
    const std::wstring wide = files::Widen(path);
    constexpr int kFlags = _O_WRONLY | _O_BINARY | _O_NOINHERIT;
    int fd = ::_wopen(wide.c_str(), kFlags | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
    if (fd < 0 && errno == EEXIST) fd = ::_wopen(wide.c_str(), kFlags | _O_TRUNC);
    if (fd < 0) return files::SystemFailure(errno).within(cannot);
    fd_ = fd;
    path_ = path;
    failure_.clear();
    return {};
}

base::Outcome<> TraceFile::close() {
    if (fd_ >= 0) {
        if (::_commit(fd_) != 0 && errno != EBADF) failed(errno);
        if (::_close(fd_) != 0) failed(errno);
        fd_ = -1;
    }
    if (failure_.empty()) return {};
    return base::Failure(failure_, files::KindOf(failureErrno_));
}

}  // namespace radiolink
