// The virtual radio on Windows, as radio.exe --virtual-radio runs it: its named pipe opened as
// a port by the link, and the procedures run over it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/hex.h"
#include "image/transfer.h"
#include "link/line.h"
#include "link/messages.h"
#include "serial/port_list.h"
#include "sim/virtual_radio.h"
#include "tests/short_waits.h"

namespace {

using namespace std::chrono_literals;

// Every byte the transfer list carries, as hex, from a memory image.
std::string blockBytes(const std::vector<std::uint8_t>& memory) {
    std::string out;
    for (const auto& b : image::TransferList()) out += base::BytesToHex(memory.data() + b.address, b.length);
    return out;
}

sim::RadioOptions quick(const char* fault = "none") {
    sim::RadioOptions options;
    options.pacing = false;
    options.fault = sim::FaultPlan::Parse(fault).value;
    return options;
}

// A full read gives the radio's memory; the port closed and opened again finds the radio still
// serving, and a write there changes the one byte that was changed.
TEST(WindowsVirtualRadio, ReadsAndWritesOverItsPipe) {
    sim::VirtualRadio radio(quick());
    const std::string device = serial::DeviceName(radio.slavePath());
    EXPECT_EQ(device.rfind("\\\\.\\pipe\\radio-virtual-", 0), 0u) << device;
    radiolink::Line line(radiolink::LineSettings{ShortWaits()});
    auto opened = line.open(device);
    ASSERT_TRUE(opened.ok()) << opened.message();
    const auto before = radio.memory();
    image::EditorState state;
    std::vector<std::uint8_t> raw;
    const auto read = radiolink::ReadRadio(line.radio(), state, {}, &raw);
    ASSERT_TRUE(read.ok()) << read.detail();
    EXPECT_EQ(blockBytes(raw), blockBytes(before));

    line.close();
    opened = line.open(device);
    ASSERT_TRUE(opened.ok()) << opened.message();
    ASSERT_EQ(state.upper.at(1, image::kColName), "CALL");
    state.upper.at(1, image::kColName) = "CALX";
    const auto write = radiolink::WriteRadio(line.radio(), state);
    ASSERT_TRUE(write.ok()) << write.detail();
    const auto after = radio.memory();
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i]) changed.push_back(i);
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(after[changed[0]], 'X');
}

// The radio vanishing halfway through a read is the cable pulled: the read ends with the
// hang-up, and the port is no longer there to open. Its answers from block 30 on come late, so
// it vanishes while the read is under way.
TEST(WindowsVirtualRadio, VanishingDuringAReadIsTheCablePulled) {
    sim::VirtualRadio radio(quick("late:300@30"));
    radiolink::Line line(radiolink::LineSettings{ShortWaits()});
    const auto opened = line.open(radio.slavePath());
    ASSERT_TRUE(opened.ok()) << opened.message();
    std::thread puller([&] {
        if (radio.waitForFrames(1 + 31, 20s)) radio.vanish();  // "PROM_LIN", blocks 0 to 30
    });
    image::EditorState state;
    const auto read = radiolink::ReadRadio(line.radio(), state);
    puller.join();
    ASSERT_TRUE(radio.vanished());
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.kind, base::ErrorKind::NoAnswer);
    EXPECT_GE(read.progress, 30);
    EXPECT_LT(read.progress, 136);
    EXPECT_TRUE(line.radio().hungUp());
    EXPECT_NE(read.detail().find(radiolink::kHungUp), std::string::npos) << read.detail();
    line.close();
    EXPECT_EQ(line.open(radio.slavePath()).kind, base::ErrorKind::NotFound);
}

}  // namespace
