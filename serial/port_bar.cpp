#include "serial/port_bar.h"

#include <exception>

#include "serial/port_list.h"

namespace serial {

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
    } catch (const std::exception&) {
        Panel0 = Label1Caption + kPortOccupied;
    }
}

}  // namespace serial
