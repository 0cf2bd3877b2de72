#include "link/port_failure.h"

#include "base/text.h"
#include "files/system_reason.h"
#ifdef _WIN32
#include "files/wide_path_win.h"
#endif

namespace radiolink {
namespace {

// The system's own words for the error an open met (an errno; GetLastError() on Windows).
std::string systemWords(int error) {
#ifdef _WIN32
    return files::WindowsReason(static_cast<std::uint32_t>(error));
#else
    return files::SystemReason(error);
#endif
}

}  // namespace

std::string OpenFailureText(const serial::platform::OpenFailure& failure, const std::string& device) {
    using serial::platform::OpenProblem;
    std::string said;
    switch (failure.problem) {
        case OpenProblem::None: return {};
        case OpenProblem::Missing: said = base::Tr("%1: 没有这个设备 (连接线插好了吗?)", device); break;
        case OpenProblem::Permission:
            said = base::Tr("%1: 没有权限打开 (把用户加入 dialout 组: sudo usermod -aG dialout $USER, 然后重新登录)", device);
            break;
        case OpenProblem::Busy:
            said = failure.holder.empty() ? base::Tr("%1: 端口正被另一个程序占用", device)
                                          : base::Tr("%1: 端口正被另一个程序占用 (%2)", device, failure.holder);
            break;
        case OpenProblem::NotSerial: said = base::Tr("%1: 不是串口设备", device); break;
        case OpenProblem::Other: return device + ": " + systemWords(failure.error);
    }
#ifdef _WIN32
    // Windows names no program that holds a port, and one refusal of its drivers can mean more
    // than one thing: the system's own words go with ours.
    if (failure.error != 0) said += " [" + systemWords(failure.error) + "]";
#endif
    return said;
}

}  // namespace radiolink
