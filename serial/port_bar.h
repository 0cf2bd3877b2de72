// The port bar of the main window without its widgets: the list of ports (ComboBox1), the
// selection, and status panel 0, which is also the record of whether the last open worked.
// The window shows Items, ItemIndex and Panel0 and forwards its events here.
#pragma once

#include <string>
#include <vector>

#include "serial/comm.h"

namespace serial {

inline constexpr const char* kLabel1Caption = "通讯端口:";
inline constexpr const char* kNoSerialPort = "无串口!";
inline constexpr const char* kPortOccupied = "串口被占用!";

// Why a port could not be opened, for the operator: the device and the reason, with what
// to do about the usual ones (the dialout group, a cable not plugged in, another program).
std::string OpenFailureText(const platform::OpenFailure& failure, const std::string& device);

struct PortBar {
    std::vector<std::string> Items;  // ComboBox1's items, the port names
    int ItemIndex = -1;              // -1: nothing selected
    std::string Panel0;              // text of status panel 0
    std::string Panel0Reason;        // why the last open failed (the panel's tooltip), "" after success
    std::string Label1Caption = kLabel1Caption;

    // Fills the items (from PortList) once, at start-up.
    void SetItems(std::vector<std::string> names);

    // Start-up opening: no items gives "无串口!" and the port stays closed; otherwise item 0
    // is selected and opened, and panel 0 tells the outcome.
    void OpenAtStartup(TComm& comm);

    // The operator picked an entry (also the one already open): an open port is closed
    // first, then the picked one is opened. An index outside the items changes nothing.
    void ComboBox1Click(TComm& comm, int index);

private:
    void OpenSelected(TComm& comm);
};

}  // namespace serial
