// The connection check against a fixture for each way a radio fails to answer: the verdict
// told, and what the radio received (never a write, "EXIT" after every "PROM_LIN").
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "base/hex.h"
#include "link/doctor.h"
#include "sim/virtual_radio.h"
#include "tests/short_waits.h"

extern char** environ;

namespace {

using radiolink::doctor::Verdict;
using namespace std::chrono_literals;

// Another program: `sleep`, holding `path` open as its standard input when one is given (as a
// terminal program holds a port). Ready once the system shows it so.
class OtherProgram {
public:
    explicit OtherProgram(const std::string& path = {}) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!path.empty()) posix_spawn_file_actions_addopen(&actions, 0, path.c_str(), O_RDWR | O_NOCTTY, 0);
        char name[] = "sleep", seconds[] = "30";
        char* argv[] = {name, seconds, nullptr};
        if (posix_spawnp(&pid_, "sleep", &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        const std::string proc = "/proc/" + std::to_string(pid_);
        for (int i = 0; i < 400 && pid_ > 0; ++i) {
            std::string comm;
            std::getline(std::ifstream(proc + "/comm"), comm);
            std::error_code ec;
            if (comm == "sleep" && (path.empty() || std::filesystem::read_symlink(proc + "/fd/0", ec) == path)) return;
            std::this_thread::sleep_for(5ms);
        }
        ADD_FAILURE() << "sleep did not start";
    }
    ~OtherProgram() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

private:
    pid_t pid_ = -1;
};

// The frames the radio received, as hex, once the last has had time to arrive.
std::vector<std::string> FramesReceived(const sim::VirtualRadio& radio) {
    std::vector<std::string> frames;
    for (int i = 0; i < 100; ++i) {
        frames.clear();
        for (const auto& f : radio.frames()) frames.push_back(base::BytesToHex(f));
        if (!frames.empty() && frames.back() == "45584954") break;
        std::this_thread::sleep_for(5ms);
    }
    return frames;
}

struct Fixture {
    const char* name;
    const char* fault;  // the virtual radio's; nullptr: no device at all
    enum { Alone, Held, InterfererRuns } other;
    Verdict told;
    const char* says;  // in the message
};

const Fixture kFixtures[] = {
    {"a device path that does not exist", nullptr, Fixture::Alone, Verdict::NoDevice, "no such device"},
    {"a healthy radio behind a port another program holds", "none", Fixture::Held, Verdict::PortBusy, "sleep (pid "},
    {"a pseudo-terminal without a radio", "off", Fixture::Alone, Verdict::Silent, "nothing answers"},
    {"no radio, and an interfering program running", "off", Fixture::InterfererRuns, Verdict::Interferer, "sleep (pid "},
    {"an echoing line", "echo", Fixture::Alone, Verdict::Echo, "comes back"},
    {"a peer answering garbage", "garbage", Fixture::Alone, Verdict::Noise, "no answer"},
    {"a radio silent after the handshake", "silent-from:0", Fixture::Alone, Verdict::NoBlockAnswer, "not a block read"},
    {"a radio dropping out every other time", "intermittent", Fixture::Alone, Verdict::Intermittent, "2 of 4"},
    {"a healthy radio", "none", Fixture::Alone, Verdict::Ok, "handshake in"},
};

TEST(Doctor, EachFixtureIsToldForWhatItIsAndTheRadioIsNeverWritten) {
    for (const Fixture& fixture : kFixtures) {
        SCOPED_TRACE(fixture.name);
        std::unique_ptr<sim::VirtualRadio> radio;
        if (fixture.fault) {
            sim::RadioOptions o;
            o.pacing = false;
            o.fault = sim::FaultPlan::Parse(fixture.fault).value;
            radio = std::make_unique<sim::VirtualRadio>(o);
        }
        // A quote and a backslash in the name: the JSON must still read.
        const std::string port = radio ? radio->slavePath() : "/dev/radio-\"none\"\\" + std::to_string(::getpid());
        radiolink::doctor::CheckOptions options;
        options.timing = ShortWaits();
        options.timing.frameTimeout = 300ms;  // only the radio silent after the handshake waits it out
        // The machine's own brltty or ModemManager must not change the verdicts; `sleep` stands
        // for them where one is wanted.
        options.interferers = {};
        std::unique_ptr<OtherProgram> other;
        if (fixture.other == Fixture::Held) other = std::make_unique<OtherProgram>(port);
        if (fixture.other == Fixture::InterfererRuns) {
            other = std::make_unique<OtherProgram>();
            options.interferers = {"sleep"};
        }

        const auto started = std::chrono::steady_clock::now();
        const radiolink::doctor::Finding f = radiolink::doctor::Check(port, options);
        EXPECT_LT(std::chrono::steady_clock::now() - started, options.budget);

        EXPECT_EQ(std::string(VerdictName(f.verdict)), VerdictName(fixture.told)) << f.message;
        EXPECT_NE(f.message.find(fixture.says), std::string::npos) << f.message;
        EXPECT_FALSE(f.fix.empty());
        const std::string json = radiolink::doctor::ToJson(f);
        EXPECT_NE(json.find(std::string("\"class\": \"") + VerdictName(fixture.told) + "\""), std::string::npos) << json;
        if (!radio) {
            EXPECT_NE(json.find(R"("port": "/dev/radio-\"none\"\\)"), std::string::npos) << json;
        }
        EXPECT_EQ(json.find('\n'), std::string::npos);

        const std::string report = radiolink::doctor::Report({f});
        EXPECT_NE(report.find("system: "), std::string::npos);
        if (!radio) continue;
        const auto frames = FramesReceived(*radio);
        for (const auto& frame : frames) EXPECT_NE(frame.substr(0, 8), "57524945") << "a write frame was sent";
        const bool handshook = !frames.empty() && frames.front() == "50524F4D5F4C494E";
        if (handshook) {
            EXPECT_EQ(frames.back(), "45584954");
            EXPECT_NE(report.find("> 50 52 4F 4D 5F 4C 49 4E"), std::string::npos) << report;
        }
        EXPECT_EQ(handshook, fixture.other != Fixture::Held);
    }
}

TEST(Doctor, PermissionFixFollowsWhoMayOpenTheDevice) {
    struct Row {
        bool groupMayOpen, inGroupFile, inProcess;
        const char* fix;
    };
    for (const Row& row : {Row{true, false, false, "sudo usermod -aG uucp $USER, then log out and in"},
                           Row{true, true, false, "log out and in again"},  // added since this login
                           Row{false, false, false, "udev rule"},           // no group would help
                           Row{false, true, true, "udev rule"}}) {
        radiolink::doctor::GroupFacts groups;
        groups.known = true;
        groups.deviceGroup = "uucp";
        groups.groupMayOpen = row.groupMayOpen;
        groups.inGroupFile = row.inGroupFile;
        groups.inProcess = row.inProcess;
        EXPECT_NE(radiolink::doctor::PermissionFix(groups).find(row.fix), std::string::npos) << row.fix;
    }
}

// A USB adapter as sysfs shows it: the tty's device is the port below the USB interface, the
// ids are on the USB device two levels up.
TEST(Doctor, AdapterIsReadFromTheUsbDeviceAboveTheTty) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("radio-doctor-sys-" + std::to_string(::getpid()));
    fs::remove_all(root);
    const fs::path usb = root / "devices/usb1/1-1";
    const fs::path port = usb / "1-1:1.0/ttyUSB0";
    fs::create_directories(port);
    fs::create_directories(root / "drivers/ftdi_sio");
    fs::create_directories(root / "tty/ttyUSB0");
    fs::create_directories(root / "tty/ttyS0");
    fs::create_directory_symlink(root / "drivers/ftdi_sio", port / "driver");
    fs::create_directory_symlink(port, root / "tty/ttyUSB0/device");
    std::ofstream(usb / "idVendor") << "0403\n";
    std::ofstream(usb / "idProduct") << "6001\n";
    std::ofstream(usb / "product") << "FT232R USB UART\n";

    const auto adapter = radiolink::doctor::Adapter("/dev/ttyUSB0", (root / "tty").string());
    EXPECT_EQ(adapter.vendorId, "0403");
    EXPECT_EQ(adapter.productId, "6001");
    EXPECT_EQ(adapter.product, "FT232R USB UART");
    EXPECT_EQ(adapter.driver, "ftdi_sio");
    EXPECT_TRUE(radiolink::doctor::Adapter("/dev/ttyS0", (root / "tty").string()).vendorId.empty());
    EXPECT_TRUE(radiolink::doctor::Adapter("/dev/pts/3", (root / "tty").string()).driver.empty());
    fs::remove_all(root);
}

}  // namespace
