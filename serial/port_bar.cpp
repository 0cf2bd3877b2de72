#include "serial/port_bar.h"

#include <algorithm>
#include <cstddef>

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
        case OpenProblem::Busy:
            return device + ": 端口正被另一个程序占用" + (failure.holder.empty() ? "" : " (" + failure.holder + ")");
        case OpenProblem::NotSerial: return device + ": 不是串口设备";
        case OpenProblem::Other: break;
    }
    return device + ": " + files::SystemReason(failure.error);
}

void PortBar::SetItems(std::vector<std::string> names) {
    Items = std::move(names);
    ItemIndex = -1;
}

void PortBar::Refresh(std::vector<std::string> names) {
    const std::string selected = SelectedName();
    const int oldIndex = ItemIndex;
    Items = std::move(names);
    ItemIndex = -1;
    if (oldIndex < 0) return;
    const auto found = std::find(Items.begin(), Items.end(), selected);
    if (found != Items.end()) {
        ItemIndex = static_cast<int>(found - Items.begin());
        return;
    }
    const auto at = std::min(static_cast<std::size_t>(oldIndex), Items.size());
    Items.insert(Items.begin() + static_cast<std::ptrdiff_t>(at), selected);
    ItemIndex = static_cast<int>(at);
}

std::string PortBar::SelectedName() const {
    if (ItemIndex < 0 || static_cast<std::size_t>(ItemIndex) >= Items.size()) return {};
    return Items[static_cast<std::size_t>(ItemIndex)];
}

bool PortBar::OpenAtStartup(TComm& comm, const std::string& preferredName) {
    if (Items.empty()) {
        Panel0 = kNoSerialPort;
        return false;
    }
    const auto preferred = std::find(Items.begin(), Items.end(), preferredName);
    ItemIndex = preferredName.empty() || preferred == Items.end() ? 0 : static_cast<int>(preferred - Items.begin());
    return OpenSelected(comm);
}

bool PortBar::ComboBox1Click(TComm& comm, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= Items.size()) return false;
    ItemIndex = index;
    // The original closes the port only when panel 0 holds the caption followed by "COM".
    // No port name here begins with COM, so that test would leave every open port open and
    // make each change of port fail as occupied; whether a port is open is asked of the
    // port itself.
    if (comm.IsOpen()) comm.ClosePort();
    return OpenSelected(comm);
}

bool PortBar::OpenSelected(TComm& comm) {
    const std::string name = SelectedName();
    comm.SetCommName(DeviceName(name));
    const base::Outcome<> opened = comm.OpenPort();
    if (opened.ok()) {
        Panel0 = Label1Caption + name;
        Panel0Reason.clear();
        return true;
    }
    Panel0 = Label1Caption + kPortOccupied;
    Panel0Reason = OpenFailureText(comm.LastOpenFailure(), comm.CommName());
    if (Panel0Reason.empty()) Panel0Reason = opened.error;
    return false;
}

}  // namespace serial
