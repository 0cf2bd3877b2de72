#include "link/port_failure.h"

#include "files/system_reason.h"

namespace radiolink {

std::string OpenFailureText(const serial::platform::OpenFailure& failure, const std::string& device) {
    using serial::platform::OpenProblem;
    switch (failure.problem) {
        case OpenProblem::None: return {};
        case OpenProblem::Missing: return device + ": 没有这个设备 (连接线插好了吗?)";
        case OpenProblem::Permission:
            return device + ": 没有权限打开 (把用户加入 dialout 组: sudo usermod -aG dialout $USER, 然后重新登录)";
        case OpenProblem::Busy:
            return device + ": 端口正被另一个程序占用" + (failure.holder.empty() ? "" : " (" + failure.holder + ")");
        case OpenProblem::NotSerial: return device + ": 不是串口设备";
        case OpenProblem::Other: break;
    }
    return device + ": " + files::SystemReason(failure.error);
}

}  // namespace radiolink
