#include "serial/port_bar.h"

#include <exception>

#include "files/system_reason.h"
#include "serial/port_list.h"

namespace serial {

std::string OpenFailureText(const platform::OpenFailure& failure, const std::string& device) {
    using platform::OpenProblem;
    switch (failure.problem) {
        case OpenProblem::None: return {};
        case OpenProblem::Missing: return device + ": 没有这个设备 (连接线插好了吗?)";
        case OpenProblem::Permission:
            return device + ": 没有权限打开 (把用户加入 dialout 组: sudo usermod -aG dialout $USER, 然后重新登录)";
        case OpenProblem::Busy: return device + ": 端口正被另一个程序占用";
        case OpenProblem::NotSerial: return device + ": 不是串口设备";
        case OpenProblem::Other: break;
    }
    return device + ": " + files::SystemReason(failure.error);
}

void PortBar::SetItems(std::vector<std::string> names) {
    Items = std::move(names);
    ItemIndex = -1;
}

void PortBar::OpenAtStartup(TComm& comm) {
    if (Items.empty()) {
        Panel0 = kNoSerialPort;
        return;
    }
    ItemIndex = 0;
    OpenSelected(comm);
}

void PortBar::ComboBox1Click(TComm& comm, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= Items.size()) return;
    ItemIndex = index;
    // The original closes the port only when panel 0 holds the caption followed by "COM".
    // No port name here begins with COM, so that test would leave every open port open and
    // make each change of port fail as occupied; whether a port is open is asked of the
    // port itself.
    if (comm.IsOpen()) comm.ClosePort();
    OpenSelected(comm);
}

void PortBar::OpenSelected(TComm& comm) {
    const std::string& name = Items[static_cast<std::size_t>(ItemIndex)];
    comm.SetCommName(DeviceName(name));
    try {
        comm.OpenPort();
        Panel0 = Label1Caption + name;
        Panel0Reason.clear();
    } catch (const std::exception& e) {
        Panel0 = Label1Caption + kPortOccupied;
        Panel0Reason = OpenFailureText(comm.LastOpenFailure(), comm.CommName());
        if (Panel0Reason.empty()) Panel0Reason = e.what();
    }
}

}  // namespace serial
