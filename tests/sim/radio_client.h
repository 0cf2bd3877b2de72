// The program's side of a conversation with a virtual radio: a TComm set up as the main
// window's Comm1 (19200 8N1, no flow control), with what it received as hex text.
#pragma once

#include <string>

#include "base/hex.h"
#include "serial/comm.h"
#include "sim/virtual_radio.h"
#include "tests/serial/pty_pair.h"

namespace testing_sim {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

struct Client {
    serial::OwnerQueue queue;
    serial::TComm comm{queue};
    std::string recvHex;
    int blocks = 0;
    int hangups = 0;
    Clock::time_point lastBlock{};

    explicit Client(const std::string& path) {
        comm.SetBaudRate(19200);
        comm.SetOutx_XonXoffFlow(false);
        comm.SetInx_XonXoffFlow(false);
        comm.SetCommName(path);
        comm.OnReceiveData = [this](serial::TComm&, const std::uint8_t* b, std::uint16_t n) {
            recvHex += base::BytesToHex(b, n);
            ++blocks;
            lastBlock = Clock::now();
        };
        comm.OnRequestHangup = [this](serial::TComm&) { ++hangups; };
        EXPECT_TRUE(comm.OpenPort().ok()) << path;
    }

    void send(const std::string& hex) {
        const auto bytes = base::HexToBytes(hex).value;
        comm.SendData(bytes.data(), static_cast<std::uint16_t>(bytes.size()));
    }

    // Clears the buffer, sends the frame and collects the answer: until `digits` hex digits
    // have come and then `quiet` passes without more, or the time-out.
    std::string ask(const std::string& hex, std::size_t digits, std::chrono::milliseconds timeout = 1000ms,
                    std::chrono::milliseconds quiet = 30ms) {
        recvHex.clear();
        send(hex);
        testing_pty::PumpUntil(queue, [&] { return recvHex.size() >= digits; }, timeout);
        pump(quiet);
        return recvHex;
    }

    void pump(std::chrono::milliseconds time) {
        testing_pty::PumpUntil(queue, [] { return false; }, time);
    }
};

inline std::string Hex(std::string_view text) { return base::BytesToHex(text); }
inline std::string ReadFrame(std::uint16_t address, std::uint16_t length) {
    return "52454144" + base::hexDigits(address, 4) + base::hexDigits(length, 4);
}
inline std::string WriteFrame(std::uint16_t address, const std::string& dataHex) {
    return "57524945" + base::hexDigits(address, 4) + base::hexDigits(static_cast<std::uint32_t>(dataHex.size() / 2), 4) +
           dataHex;
}

}  // namespace testing_sim
