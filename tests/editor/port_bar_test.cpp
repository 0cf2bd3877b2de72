// The port bar of the main window without its widgets, against pseudo-terminals.
#include <gtest/gtest.h>

#include "editor/port_bar.h"
#include "link/port_failure.h"
#include "tests/serial/pty_pair.h"

namespace {

using editor::PortBar;
using serial::OwnerQueue;
using serial::TComm;
using testing_pty::PtyPair;

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
    EXPECT_NE(radiolink::OpenFailureText({serial::platform::OpenProblem::Permission, EACCES, {}}, "/dev/ttyUSB0").find("dialout"),
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
