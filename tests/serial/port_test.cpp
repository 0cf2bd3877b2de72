#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "serial/port_bar.h"
#include "serial/port_list.h"
#include "tests/serial/pty_pair.h"

namespace {

namespace fs = std::filesystem;
using serial::OwnerQueue;
using serial::PortBar;
using serial::TComm;
using testing_pty::PtyPair;

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

TEST(PortBar, WithoutPortsThePanelSaysSoAndThePortStaysClosed) {
    OwnerQueue queue;
    TComm comm(queue);
    PortBar bar;
    bar.SetItems({});
    bar.OpenAtStartup(comm);
    EXPECT_EQ(bar.Panel0, "无串口!");
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(bar.ItemIndex, -1);
    bar.ComboBox1Click(comm, 0);
    EXPECT_EQ(bar.Panel0, "无串口!");
}

TEST(PortBar, AnOccupiedFirstPortIsReportedAndAnotherCanBePickedAfterIt) {
    PtyPair busy, free;
    OwnerQueue queue;
    TComm otherProgram(queue);
    otherProgram.SetCommName(busy.path());
    ASSERT_TRUE(otherProgram.OpenPort().ok());

    TComm comm(queue);
    PortBar bar;
    bar.SetItems({busy.path(), free.path()});

    bar.OpenAtStartup(comm);
    EXPECT_EQ(bar.ItemIndex, 0);
    EXPECT_EQ(bar.Panel0, "通讯端口:串口被占用!");
    EXPECT_EQ(bar.Panel0Reason, busy.path() + ": 端口正被另一个程序占用");
    EXPECT_FALSE(comm.IsOpen());

    bar.ComboBox1Click(comm, 1);
    EXPECT_EQ(bar.Panel0, "通讯端口:" + free.path());
    EXPECT_EQ(bar.Panel0Reason, "");
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(comm.CommName(), free.path());

    // Picking the open port again closes and reopens it.
    bar.ComboBox1Click(comm, 1);
    EXPECT_EQ(bar.Panel0, "通讯端口:" + free.path());
    EXPECT_TRUE(comm.IsOpen());
}

TEST(PortBar, ThePanelKeepsItsTextAndTheReasonGoesBeside) {
    OwnerQueue queue;
    TComm comm(queue);
    PortBar bar;
    bar.SetItems({"/dev/null", "/dev/ttyNOSUCH9"});
    bar.OpenAtStartup(comm);
    EXPECT_EQ(bar.Panel0, "通讯端口:串口被占用!");
    EXPECT_EQ(bar.Panel0Reason, "/dev/null: 不是串口设备");
    bar.ComboBox1Click(comm, 1);
    EXPECT_EQ(bar.Panel0, "通讯端口:串口被占用!");
    EXPECT_EQ(bar.Panel0Reason, "/dev/ttyNOSUCH9: 没有这个设备 (连接线插好了吗?)");
    EXPECT_EQ(comm.LastOpenFailure().problem, serial::platform::OpenProblem::Missing);
    // Permission: the dialout group is named (as root no file refuses, so ask the text).
    EXPECT_NE(serial::OpenFailureText({serial::platform::OpenProblem::Permission, EACCES, {}}, "/dev/ttyUSB0").find("dialout"),
              std::string::npos);
}

TEST(PortBar, PickingAnotherPortClosesTheOpenOneThoughItsNameHasNoCom) {
    PtyPair first, second;
    OwnerQueue queue;
    TComm comm(queue);
    PortBar bar;
    bar.SetItems({first.path(), second.path()});
    bar.OpenAtStartup(comm);
    ASSERT_EQ(bar.Panel0, "通讯端口:" + first.path());

    bar.ComboBox1Click(comm, 1);
    EXPECT_EQ(bar.Panel0, "通讯端口:" + second.path());
    EXPECT_EQ(comm.CommName(), second.path());

    const std::uint8_t byte = 0x42;
    EXPECT_TRUE(comm.SendData(&byte, 1));
    EXPECT_EQ(second.read(1), (testing_pty::Bytes{0x42}));
    EXPECT_TRUE(first.read(1, std::chrono::milliseconds(30)).empty());

    TComm other(queue);  // the first port was really closed
    other.SetCommName(first.path());
    EXPECT_TRUE(other.OpenPort().ok());
}

// The port used last is opened at start when it is listed; otherwise the first, as on a
// first start.
TEST(PortBar, StartUpOpensThePortUsedLastWhenListedElseTheFirst) {
    PtyPair first, second;
    OwnerQueue queue;
    {
        TComm comm(queue);
        PortBar bar;
        bar.SetItems({first.path(), second.path()});
        EXPECT_TRUE(bar.OpenAtStartup(comm, second.path()));
        EXPECT_EQ(bar.ItemIndex, 1);
        EXPECT_EQ(bar.SelectedName(), second.path());
        EXPECT_EQ(comm.CommName(), second.path());
        EXPECT_EQ(bar.Panel0, "通讯端口:" + second.path());
    }
    for (const std::string& preferred : {std::string("/dev/pts/unplugged"), std::string()}) {
        TComm comm(queue);
        PortBar bar;
        bar.SetItems({first.path(), second.path()});
        EXPECT_TRUE(bar.OpenAtStartup(comm, preferred)) << preferred;
        EXPECT_EQ(bar.ItemIndex, 0) << preferred;
        EXPECT_EQ(comm.CommName(), first.path()) << preferred;
    }
    // A remembered port that fails is reported as any other; it is not swapped for another.
    TComm comm(queue);
    PortBar bar;
    bar.SetItems({first.path(), "/dev/ttyNOSUCH9"});
    EXPECT_FALSE(bar.OpenAtStartup(comm, "/dev/ttyNOSUCH9"));
    EXPECT_EQ(bar.ItemIndex, 1);
    EXPECT_EQ(bar.Panel0, "通讯端口:串口被占用!");
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(bar.ComboBox1Click(comm, 5));
    EXPECT_TRUE(bar.ComboBox1Click(comm, 0));
}

TEST(PortBar, RefreshKeepsTheSelectedNameAndNeverChangesTheOpenPort) {
    PtyPair open;
    OwnerQueue queue;
    TComm comm(queue);
    PortBar bar;
    bar.SetItems({"ttyS1", open.path(), "ttyUSB0"});
    ASSERT_TRUE(bar.ComboBox1Click(comm, 1));
    const std::string panel = bar.Panel0;

    // An adapter plugged in sorts before the open port: the selection follows the name.
    bar.Refresh({"ttyACM0", "ttyS1", open.path(), "ttyUSB0"});
    EXPECT_EQ(bar.Items, (std::vector<std::string>{"ttyACM0", "ttyS1", open.path(), "ttyUSB0"}));
    EXPECT_EQ(bar.ItemIndex, 2);

    // The open port is no longer listed (its adapter pulled out): it stays, selected, at its
    // place, and the port, the panel and its reason are left as they were.
    bar.Refresh({"ttyS1", "ttyUSB0"});
    EXPECT_EQ(bar.Items, (std::vector<std::string>{"ttyS1", "ttyUSB0", open.path()}));
    EXPECT_EQ(bar.SelectedName(), open.path());
    bar.Refresh({"ttyS1"});
    EXPECT_EQ(bar.Items, (std::vector<std::string>{"ttyS1", open.path()}));
    EXPECT_EQ(bar.SelectedName(), open.path());
    bar.Refresh({});
    EXPECT_EQ(bar.Items, (std::vector<std::string>{open.path()}));
    EXPECT_EQ(bar.ItemIndex, 0);
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_EQ(comm.CommName(), open.path());
    EXPECT_EQ(bar.Panel0, panel);
    EXPECT_EQ(bar.Panel0Reason, "");

    // Back again it is listed once.
    bar.Refresh({open.path(), "ttyS1"});
    EXPECT_EQ(bar.Items, (std::vector<std::string>{open.path(), "ttyS1"}));
    EXPECT_EQ(bar.ItemIndex, 0);
}

TEST(PortBar, RefreshWithoutSelectionSelectsNothingAndOpensNothing) {
    OwnerQueue queue;
    TComm comm(queue);
    PortBar bar;
    bar.SetItems({});
    bar.OpenAtStartup(comm);
    bar.Refresh({"ttyUSB0", "ttyUSB1"});
    EXPECT_EQ(bar.Items, (std::vector<std::string>{"ttyUSB0", "ttyUSB1"}));
    EXPECT_EQ(bar.ItemIndex, -1);
    EXPECT_EQ(bar.SelectedName(), "");
    EXPECT_EQ(bar.Panel0, "无串口!");
    EXPECT_FALSE(comm.IsOpen());
}

}  // namespace
