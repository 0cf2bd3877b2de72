#include "sim/virtual_radio.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/sim/radio_client.h"

namespace {

using namespace testing_sim;
using sim::FaultPlan;
using sim::RadioOptions;
using sim::VirtualRadio;

RadioOptions Fast(const std::string& fault = "none") {
    RadioOptions o;
    o.pacing = false;
    o.turnaround = std::chrono::microseconds(0);
    o.fault = FaultPlan::Parse(fault).value;
    return o;
}

std::string Memory(const VirtualRadio& radio, std::uint16_t address, std::size_t length) {
    return base::BytesToHex(radio.read(address, length));
}

const std::string kPromLin = Hex("PROM_LIN");
const std::string kExit = Hex("EXIT");

TEST(VirtualRadio, ServesReadAndWriteFramesInProgrammingModeAndRecordsWhatCame) {
    VirtualRadio radio(Fast());
    Client client(radio.slavePath());
    const Bytes sample = sim::sampleImage();
    EXPECT_EQ(radio.memory(), sample);

    EXPECT_EQ(client.ask(ReadFrame(0x0400, 0x30), 96, 100ms), "") << "answered outside programming mode";
    EXPECT_EQ(client.ask(kPromLin, 2), "06");
    EXPECT_TRUE(radio.programming());

    EXPECT_EQ(client.ask(ReadFrame(0x0400, 0x30), 96), base::BytesToHex(&sample[0x0400], 0x30));
    EXPECT_EQ(client.ask(ReadFrame(0x02D0, 0x21), 66), base::BytesToHex(&sample[0x02D0], 0x21));
    // Past the end of the memory the radio answers 0xFF.
    EXPECT_EQ(client.ask(ReadFrame(0x1BF0, 0x20), 64),
              base::BytesToHex(&sample[0x1BF0], 0x10) + std::string(32, 'F'));

    EXPECT_EQ(client.ask(WriteFrame(0x02C0, "02"), 2), "06");
    EXPECT_EQ(Memory(radio, 0x02C0, 1), "02");

    // A frame that arrives in two parts, behind bytes that begin no frame.
    const std::string write = WriteFrame(0x0240, "03010203FFFFFFFF");
    client.recvHex.clear();
    client.send("0000" + write.substr(0, 12));
    client.pump(20ms);
    EXPECT_EQ(client.ask(write.substr(12), 2), "06");
    EXPECT_EQ(Memory(radio, 0x0240, 8), "03010203FFFFFFFF");

    EXPECT_EQ(client.ask(kExit, 2, 100ms), "");
    EXPECT_FALSE(radio.programming());
    EXPECT_EQ(client.ask(ReadFrame(0x0240, 0x10), 32, 100ms), "");

    std::vector<std::string> frames;
    for (const auto& f : radio.frames()) frames.push_back(base::BytesToHex(f));
    EXPECT_EQ(frames, (std::vector<std::string>{ReadFrame(0x0400, 0x30), kPromLin, ReadFrame(0x0400, 0x30),
                                                ReadFrame(0x02D0, 0x21), ReadFrame(0x1BF0, 0x20),
                                                WriteFrame(0x02C0, "02"), write, kExit, ReadFrame(0x0240, 0x10)}));
    const std::string all = ReadFrame(0x0400, 0x30) + kPromLin + ReadFrame(0x0400, 0x30) + ReadFrame(0x02D0, 0x21) +
                            ReadFrame(0x1BF0, 0x20) + WriteFrame(0x02C0, "02") + "0000" + write + kExit +
                            ReadFrame(0x0240, 0x10);
    EXPECT_EQ(base::BytesToHex(radio.received()), all);
    radio.clearReceived();
    EXPECT_TRUE(radio.received().empty());
    EXPECT_TRUE(radio.frames().empty());
}

TEST(VirtualRadio, AnswersAtTheLineSpeedAfterItsTurnaround) {
    RadioOptions paced;  // 19200 baud: 48 bytes take 25 ms on the line
    VirtualRadio radio(paced);
    Client client(radio.slavePath());
    EXPECT_EQ(client.ask(kPromLin, 2), "06");
    const auto sent = Clock::now();
    EXPECT_EQ(client.ask(ReadFrame(0x1000, 0x30), 96).size(), 96u);
    EXPECT_GE(client.lastBlock - sent, 24ms);
    EXPECT_GT(client.blocks, 2);

    RadioOptions slowTurn = Fast();
    slowTurn.turnaround = std::chrono::milliseconds(80);
    VirtualRadio late(slowTurn);
    Client other(late.slavePath());
    const auto start = Clock::now();
    EXPECT_EQ(other.ask(kPromLin, 2), "06");
    EXPECT_GE(other.lastBlock - start, 80ms);
}

// One radio per plan, past the handshake.
struct Faulty {
    VirtualRadio radio;
    Client client;
    explicit Faulty(const std::string& plan) : radio(Fast(plan)), client(radio.slavePath()) {
        client.ask(kPromLin, 2, 200ms);
    }
};

TEST(VirtualRadio, FaultPlansMisanswerAsAsked) {
    const Bytes sample = sim::sampleImage();
    const std::string block0 = base::BytesToHex(&sample[0x0400], 0x30);
    {
        Faulty f("off");
        EXPECT_EQ(f.client.recvHex, "");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96, 100ms), "");
        EXPECT_EQ(f.radio.frames().size(), 2u);  // it still heard everything
    }
    {
        Faulty f("noise");
        EXPECT_GE(f.client.recvHex.size(), 8u);
        EXPECT_NE(f.client.recvHex, "06");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96), block0);
    }
    {
        Faulty f("silent-from:2");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96), block0);
        EXPECT_EQ(f.client.ask(WriteFrame(0x02C0, "01"), 2), "06");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96, 100ms), "");
        EXPECT_EQ(f.client.ask(WriteFrame(0x02C0, "02"), 2, 100ms), "");
        EXPECT_EQ(Memory(f.radio, 0x02C0, 1), "01");  // a silent radio takes nothing in
        EXPECT_EQ(f.client.ask(kPromLin, 2), "06");   // counting starts again
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96), block0);
    }
    {
        Faulty f("short:3@1");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96), block0);
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96, 100ms), block0.substr(0, 90));
        EXPECT_EQ(f.client.ask(WriteFrame(0x02C0, "01"), 2, 100ms), "");
        EXPECT_EQ(Memory(f.radio, 0x02C0, 1), "01");
    }
    {
        Faulty f("long:1");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 98), block0 + base::BytesToHex(&sample[0x0430], 1));
        EXPECT_EQ(f.client.ask(WriteFrame(0x02C0, "01"), 4), "0600");
    }
    {
        Faulty f("double-ack");
        EXPECT_EQ(f.client.ask(WriteFrame(0x02C0, "01"), 4), "0606");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96), block0);
    }
    {
        Faulty f("wrong-ack");
        EXPECT_EQ(f.client.ask(WriteFrame(0x02C0, "01"), 2), "15");
    }
    {
        Faulty f("late:150");
        const auto sent = Clock::now();
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96), block0);
        EXPECT_GE(f.client.lastBlock - sent, 150ms);
    }
    {
        Faulty f("pieces:4:30");
        const int before = f.client.blocks;
        const auto sent = Clock::now();
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96, 1000ms, 60ms), block0);
        EXPECT_GE(f.client.blocks - before, 4);
        EXPECT_GE(f.client.lastBlock - sent, 90ms);
    }
    {
        Faulty f("vanish-at:1");
        EXPECT_EQ(f.client.ask(ReadFrame(0x0400, 0x30), 96), block0);
        f.client.recvHex.clear();
        f.client.send(ReadFrame(0x0430, 0x30));
        // At once, not after the frame's time-out.
        EXPECT_TRUE(testing_pty::PumpUntil(f.client.queue, [&] { return f.client.hangups > 0; }, 1000ms));
        EXPECT_TRUE(f.radio.vanished());
        EXPECT_EQ(f.client.recvHex, "");
    }
}

TEST(VirtualRadio, StopsAtOnceAndLeavesNothingBehind) {
    const auto fds = testing_pty::OpenFds();
    const auto threads = testing_pty::Threads();
    {
        auto radio = std::make_unique<VirtualRadio>(Fast("late:10000"));
        Client client(radio->slavePath());
        client.send(kPromLin);
        ASSERT_TRUE(radio->waitForFrames(1, 1000ms));
        const auto start = Clock::now();
        radio.reset();  // in the middle of a ten-second wait
        EXPECT_LT(Clock::now() - start, 5000ms);  // not the ten seconds
        EXPECT_TRUE(testing_pty::PumpUntil(client.queue, [&] { return client.hangups > 0; }, 1000ms));
    }
    {
        VirtualRadio radio(Fast());
        Client client(radio.slavePath());
        radio.vanish();
        EXPECT_TRUE(radio.vanished());
        EXPECT_TRUE(testing_pty::PumpUntil(client.queue, [&] { return client.hangups > 0; }, 1000ms));
        EXPECT_THROW(VirtualRadio(Fast(), Bytes(100, 0)), std::invalid_argument);
    }
    EXPECT_EQ(testing_pty::OpenFds(), fds);
    EXPECT_EQ(testing_pty::Threads(), threads);
}

}  // namespace
