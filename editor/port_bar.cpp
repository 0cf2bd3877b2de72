#include "editor/port_bar.h"

#include <algorithm>
#include <cstddef>

#include "base/text.h"
#include "link/port_failure.h"
#include "serial/port_list.h"

namespace editor {

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

bool PortBar::OpenAtStartup(serial::TComm& comm, const std::string& preferredName) {
    if (Items.empty()) {
        Panel0 = kNoSerialPort;
        return false;
    }
    const auto preferred = std::find(Items.begin(), Items.end(), preferredName);
    ItemIndex = preferredName.empty() || preferred == Items.end() ? 0 : static_cast<int>(preferred - Items.begin());
    return OpenSelected(comm);
}

bool PortBar::ComboBox1Click(serial::TComm& comm, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= Items.size()) return false;
    ItemIndex = index;
    // The original closes the port only when panel 0 holds the caption followed by "COM".
    // No port name here begins with COM, so that test would leave every open port open and
    // make each change of port fail as occupied; whether a port is open is asked of the
    // port itself.
    if (comm.IsOpen()) comm.ClosePort();
    return OpenSelected(comm);
}

bool PortBar::OpenSelected(serial::TComm& comm) {
    const std::string name = SelectedName();
    comm.SetCommName(serial::DeviceName(name));
    const base::Outcome<> opened = comm.OpenPort();
    if (opened.ok()) {
        Panel0 = base::Tr(Label1Caption) + name;
        Panel0Reason.clear();
        return true;
    }
    Panel0 = base::Tr(Label1Caption) + base::Tr(kPortOccupied);
    Panel0Reason = radiolink::OpenFailureText(comm.LastOpenFailure(), comm.CommName());
    if (Panel0Reason.empty()) Panel0Reason = opened.error;
    return false;
}

}  // namespace editor
