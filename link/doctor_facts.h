// What the system says about a port, for the connection check (link/doctor.h): the machine,
// the adapter behind the port, who may open it, and the programs known to take serial
// adapters away. Read from /proc, /sys and the group database on POSIX
// (link/doctor_facts_posix.cpp); Windows tells little of it (link/doctor_facts_win.cpp).
#pragma once

#include <string>
#include <vector>

namespace radiolink::doctor {

// "Linux 6.1.0-18-amd64 x86_64", or the name of the other system.
std::string SystemName();

// The USB adapter behind a tty, as sysfs shows it; empty fields where it says nothing (a
// pseudo-terminal, a built-in port).
struct AdapterFacts {
    std::string vendorId;   // idVendor, "0403"
    std::string productId;  // idProduct, "6001"
    std::string product;    // the adapter's own name, "FT232R USB UART"
    std::string driver;     // "ftdi_sio", "cp210x", "ch341"
};
AdapterFacts Adapter(const std::string& device, const std::string& sysClassTty = "/sys/class/tty");

// Who may open the device. `known` is false when the device cannot be looked at.
struct GroupFacts {
    bool known = false;
    std::string user;                    // this process's user
    std::string deviceGroup;             // the group owning the device, "dialout"
    bool groupMayOpen = false;           // the device's mode lets its group read and write
    bool inProcess = false;              // the device's group is among this process's groups
    bool inGroupFile = false;            // the user is a member in the group database (or it is the primary group)
    std::vector<std::string> processGroups;  // this process's groups by name
};
GroupFacts Groups(const std::string& device);

// The running processes whose name is one of `names`, as "brltty (pid 812)".
std::vector<std::string> RunningProcesses(const std::vector<std::string>& names);

}  // namespace radiolink::doctor
