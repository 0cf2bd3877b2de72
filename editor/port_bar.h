// The port bar of the main window without its widgets: the list of ports (ComboBox1), the
// selection, and status panel 0, which is also the record of whether the last open worked.
// The window shows Items, ItemIndex and Panel0 and forwards its events here.
#pragma once

#include <string>
#include <vector>

#include "serial/comm.h"

namespace editor {

inline constexpr const char* kLabel1Caption = "通讯端口:";
inline constexpr const char* kNoSerialPort = "无串口!";
inline constexpr const char* kPortOccupied = "串口被占用!";

struct PortBar {
    std::vector<std::string> Items;  // ComboBox1's items, the port names
    int ItemIndex = -1;              // -1: nothing selected
    std::string Panel0;              // text of status panel 0
    std::string Panel0Reason;        // why the last open failed (the panel's tooltip), "" after success
    std::string Label1Caption = kLabel1Caption;

    // Fills the items (from PortList) at start-up.
    void SetItems(std::vector<std::string> names);

    // The list read again (the drop-down opens; an adapter may have been plugged in or out).
    // The selection stays on the same name. A selected name no longer listed is kept at its
    // place: it may be the port that is open, and the list never changes which port that is.
    void Refresh(std::vector<std::string> names);

    // The name of the selected item; empty when nothing is selected.
    std::string SelectedName() const;

    // Start-up opening: no items gives "无串口!" and the port stays closed; otherwise the item
    // named `preferredName` (the port used last) is selected when listed, else item 0, and it
    // is opened; panel 0 tells the outcome. True when the port opened.
    bool OpenAtStartup(serial::TComm& comm, const std::string& preferredName = {});

    // The operator picked an entry (also the one already open): an open port is closed
    // first, then the picked one is opened. An index outside the items changes nothing.
    // True when the picked port opened.
    bool ComboBox1Click(serial::TComm& comm, int index);

private:
    bool OpenSelected(serial::TComm& comm);
};

}  // namespace editor
