// Serial figures through real pseudo-terminals: the round trip of an 8-byte read frame and
// its 48-byte answer through TComm and the virtual radio (pacing off, and at the line speed),
// and the time from the far end vanishing to the hang-up event on the owner thread.
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/hex.h"
#include "serial/comm.h"
#include "sim/virtual_radio.h"

namespace {

using Clock = std::chrono::steady_clock;
using Micros = std::chrono::duration<double, std::micro>;

void LikeComm1(serial::TComm& comm, const std::string& device) {
    comm.SetBaudRate(19200);
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
    comm.SetCommName(device);
}

// Runs the owner loop until done() or the time-out; false on time-out.
bool Pump(serial::OwnerQueue& queue, const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        queue.dispatch();
        if (done()) return true;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        queue.wait(left);
    }
}

void Report(const char* what, std::vector<double> us) {
    if (us.empty()) {
        std::printf("%-44s no samples\n", what);
        return;
    }
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[static_cast<std::size_t>(q * static_cast<double>(us.size() - 1))]; };
    std::printf("%-44s n=%-4zu min %8.1f  median %8.1f  p90 %8.1f  p99 %8.1f  max %8.1f us\n", what, us.size(),
                us.front(), at(0.5), at(0.9), at(0.99), us.back());
}

std::vector<double> RoundTrips(bool pacing, int count) {
    sim::RadioOptions options;
    options.pacing = pacing;
    if (!pacing) options.turnaround = std::chrono::microseconds(0);
    sim::VirtualRadio radio(options);
    serial::OwnerQueue queue;
    serial::TComm comm(queue);
    std::string recvHex;
    comm.OnReceiveData = [&](serial::TComm&, const std::uint8_t* b, std::uint16_t n) { recvHex += base::BytesToHex(b, n); };
    LikeComm1(comm, radio.slavePath());
    if (!comm.OpenPort().ok()) return {};  // no samples

    const std::uint8_t promLin[] = {'P', 'R', 'O', 'M', '_', 'L', 'I', 'N'};
    comm.SendData(promLin, sizeof promLin);
    Pump(queue, [&] { return recvHex == "06"; }, std::chrono::milliseconds(500));

    std::vector<double> us;
    for (int i = 0; i < count; ++i) {
        const std::uint16_t address = static_cast<std::uint16_t>(0x0400 + 48 * (i % 64));
        const std::uint8_t frame[] = {0x52, 0x45, 0x41, 0x44, static_cast<std::uint8_t>(address >> 8),
                                      static_cast<std::uint8_t>(address), 0x00, 0x30};
        recvHex.clear();
        const auto start = Clock::now();
        comm.SendData(frame, sizeof frame);
        if (!Pump(queue, [&] { return recvHex.size() >= 96; }, std::chrono::milliseconds(1000))) break;
        us.push_back(Micros(Clock::now() - start).count());
    }
    comm.ClosePort();
    return us;
}

std::vector<double> HangUps(int count) {
    std::vector<double> us;
    for (int i = 0; i < count; ++i) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) break;
        char name[128];
        ::ptsname_r(master, name, sizeof name);
        serial::OwnerQueue queue;
        serial::TComm comm(queue);
        bool hungUp = false;
        comm.OnRequestHangup = [&](serial::TComm&) { hungUp = true; };
        LikeComm1(comm, name);
        if (!comm.OpenPort().ok()) {
            ::close(master);
            break;
        }
        Pump(queue, [] { return false; }, std::chrono::milliseconds(5));  // threads settled
        const auto start = Clock::now();
        ::close(master);  // the adapter is pulled
        if (Pump(queue, [&] { return hungUp; }, std::chrono::milliseconds(1000)))
            us.push_back(Micros(Clock::now() - start).count());
        comm.ClosePort();
    }
    return us;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    Report("READ 8 bytes -> 48 bytes, pacing off", RoundTrips(false, count));
    Report("READ 8 bytes -> 48 bytes, 19200 baud paced", RoundTrips(true, std::max(1, count / 25)));
    Report("far end closed -> OnRequestHangup", HangUps(std::max(1, count / 10)));
    return 0;
}
