#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "serial/port_list.h"

namespace {

namespace fs = std::filesystem;

// A /sys/class/tty look-alike: each entry a directory, `device` a link when the entry is a
// device, `type` the serial core's UART type where there is one.
struct FakeSysfs {
    fs::path root;
    FakeSysfs() {
        char tmpl[] = "/tmp/sysfs-tty-XXXXXX";
        root = ::mkdtemp(tmpl);
        fs::create_directories(root / "devices");
    }
    ~FakeSysfs() { fs::remove_all(root); }
    void add(const std::string& name, bool device, int type = -1) {
        fs::create_directories(root / "class" / name);
        if (device) fs::create_directory_symlink(root / "devices", root / "class" / name / "device");
        if (type >= 0) std::ofstream(root / "class" / name / "type") << type << "\n";
    }
    std::string dir() const { return (root / "class").string(); }
};

TEST(PortList, ListsDevicesWithAUartSortedWithoutRegardToCase) {
    FakeSysfs sys;
    sys.add("tty0", false);
    sys.add("console", false);
    sys.add("ttyS0", true, 0);  // an 8250 placeholder without a UART
    sys.add("ttyS1", true, 4);
    sys.add("ttyUSB0", true);
    sys.add("COM2", true);
    sys.add("com10", true);
    EXPECT_EQ(serial::PortList(sys.dir()),
              (std::vector<std::string>{"com10", "COM2", "ttyS1", "ttyUSB0"}));
    EXPECT_EQ(serial::PortList(sys.dir(), {"/dev/pts/7", "ttyS1"}),
              (std::vector<std::string>{"/dev/pts/7", "com10", "COM2", "ttyS1", "ttyUSB0"}));
    EXPECT_EQ(serial::PortList((sys.root / "missing").string(), {"/dev/pts/7"}),
              (std::vector<std::string>{"/dev/pts/7"}));
}

// The adapter's USB product name two levels above a ttyUSB port, one above a ttyACM
// interface; the by-id link's name when sysfs has none; nothing for a built-in port.
TEST(PortList, DescribesAdaptersFromSysfsOrTheirById) {
    FakeSysfs sys;
    const fs::path usb = sys.root / "devices" / "usb1" / "1-1";
    fs::create_directories(usb / "1-1:1.0" / "ttyUSB0");
    std::ofstream(usb / "product") << "FT232R USB UART\n";
    fs::create_directories(sys.root / "class" / "ttyUSB0");
    fs::create_directory_symlink(usb / "1-1:1.0" / "ttyUSB0", sys.root / "class" / "ttyUSB0" / "device");
    const fs::path acm = sys.root / "devices" / "usb1" / "1-2";
    fs::create_directories(acm / "1-2:1.0");
    std::ofstream(acm / "product") << "USB Serial";
    fs::create_directories(sys.root / "class" / "ttyACM0");
    fs::create_directory_symlink(acm / "1-2:1.0", sys.root / "class" / "ttyACM0" / "device");
    sys.add("ttyS0", true, 4);
    sys.add("ttyUSB1", true);
    const fs::path byId = sys.root / "by-id";
    fs::create_directories(byId);
    fs::create_symlink("../../ttyUSB1", byId / "usb-1a86_USB_Serial_5A7B-if00-port0");
    fs::create_symlink("../../ttyUSB10", byId / "usb-Prolific_PL2303-if00-port0");

    EXPECT_EQ(serial::PortLabel("ttyUSB0", sys.dir(), byId.string()), "ttyUSB0 \u2013 FT232R USB UART");
    EXPECT_EQ(serial::PortDescription("ttyACM0", sys.dir(), byId.string()), "USB Serial");
    EXPECT_EQ(serial::PortDescription("ttyUSB1", sys.dir(), byId.string()), "1a86 USB Serial 5A7B");
    EXPECT_EQ(serial::PortLabel("ttyS0", sys.dir(), byId.string()), "ttyS0");
    EXPECT_EQ(serial::PortLabel("/dev/pts/7", sys.dir(), byId.string()), "/dev/pts/7");
    EXPECT_EQ(serial::PortLabel("ttyUSB9", sys.dir(), (sys.root / "missing").string()), "ttyUSB9");
}

TEST(PortList, ShortNamesAreOpenedAsTheyAreLongerOnesUnderDev) {
    EXPECT_EQ(serial::DeviceName("COM1"), "COM1");
    EXPECT_EQ(serial::DeviceName("COM10"), "/dev/COM10");
    EXPECT_EQ(serial::DeviceName("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(serial::DeviceName("/dev/pts/3"), "/dev/pts/3");
    EXPECT_EQ(serial::DeviceName(""), "");
}

}  // namespace
