// The serial ports this system knows, as the port bar lists them, and the device name that
// OpenPort is given for a list entry.
#pragma once

#include <string>
#include <vector>

namespace serial {

// The entries of sysClassTty that stand for a serial device: those with a `device` link,
// except ports the serial core registered without finding a UART (their `type` reads 0, as
// the 8250 driver's unused placeholders do). The extra names (a virtual radio's
// pseudo-terminal path) are added. Sorted ascending, case-insensitively, so COM10 comes
// before COM2. An unreadable directory gives only the extra names.
std::vector<std::string> PortList(const std::string& sysClassTty = "/sys/class/tty",
                                  const std::vector<std::string>& extraNames = {});

// The device name for a list entry: an entry shorter than 5 characters as it is, any other
// with the namespace prefix of this system's devices, "/dev/" (ttyUSB0 -> /dev/ttyUSB0),
// unless it already is a path beginning with "/" (a pseudo-terminal such as /dev/pts/3).
std::string DeviceName(const std::string& entry);

// What the system says a port is, for a person choosing among them: the USB product name
// of the adapter from sysfs (the `product` file of the USB device above the tty's device),
// or else the name of its /dev/serial/by-id link ("usb-FTDI_FT232R_USB_UART_A5-if00-port0"
// gives "FTDI FT232R USB UART A5"). Empty when neither knows (a built-in ttyS0).
std::string PortDescription(const std::string& name, const std::string& sysClassTty = "/sys/class/tty",
                            const std::string& byIdDir = "/dev/serial/by-id");

// "ttyUSB0 – FT232R USB UART", or the name alone when there is no description.
std::string PortLabel(const std::string& name, const std::string& sysClassTty = "/sys/class/tty",
                      const std::string& byIdDir = "/dev/serial/by-id");

// Ascending, case-insensitive text order (ties broken by plain order, so the result is
// deterministic).
bool LessNoCase(const std::string& a, const std::string& b);

}  // namespace serial
