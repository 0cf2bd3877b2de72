// radio-cli virtual-radio: serves one virtual radio on a pseudo-terminal until stopped.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/command.h"
#include "cli/options.h"
#include "cli/files.h"
#include "sim/virtual_radio.h"

namespace {

constexpr const char* kName = "virtual-radio";

// "PROM_LIN", "READ 0400 0030", "WRIE 02D0 0010", "EXIT": one line a frame, as it arrives.
void printFrame(const std::vector<std::uint8_t>& frame) {
    if (frame.size() >= 8 && (frame[0] == 'R' || frame[0] == 'W'))
        std::printf("%.4s %02X%02X %02X%02X\n", reinterpret_cast<const char*>(frame.data()), frame[4], frame[5], frame[6],
                    frame[7]);
    else
        std::printf("%.*s\n", static_cast<int>(frame.size()), reinterpret_cast<const char*>(frame.data()));
    std::fflush(stdout);
}

int runVirtualRadio(const std::vector<std::string>& given) {
    const std::vector<std::string> args = cli::SplitEquals(given);
    sim::RadioOptions options;
    std::optional<std::string> imagePath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--no-pacing") {
            options.pacing = false;
        } else if (a == "--show-frames") {
            options.onFrame = printFrame;
        } else if (a == "--lag" && hasValue) {
            const std::string& text = args[++i];
            if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) {
                cli::Fail(kName, "--lag takes whole milliseconds, 0 to 99999: '" + text + "'");
                return cli::kUsage;
            }
            options.readLag = std::chrono::milliseconds(std::stoi(text));
        } else if (a == "--image" && hasValue) {
            imagePath = args[++i];
        } else if (a == "--fault" && hasValue) {
            const auto plan = sim::FaultPlan::Parse(args[++i]);
            if (!plan.ok()) {
                cli::Fail(kName, "bad fault plan '" + args[i] + "': " + plan.message());
                return cli::kUsage;
            }
            options.fault = plan.value;
        } else {
            cli::Fail(kName, "usage: radio-cli virtual-radio [--image FILE.img] [--fault PLAN] [--lag MS] [--no-pacing] [--show-frames]");
            return cli::kUsage;
        }
    }

    std::vector<std::uint8_t> memory = sim::sampleImage();
    if (imagePath) {
        const auto read = cli::ReadFile(*imagePath);
        if (!read.ok()) {
            cli::Fail(kName, *imagePath + ": " + read.message());
            return cli::kUsage;
        }
        const std::string* const bytes = &read.value;
        if (bytes->size() != sim::kMemorySize) {
            cli::Fail(kName, *imagePath + ": " + std::to_string(bytes->size()) + " bytes, an image holds 7168");
            return cli::kUsage;
        }
        memory.assign(bytes->begin(), bytes->end());
    }

    // The signals are taken by sigwait below; blocked before the radio's thread starts, so
    // that thread inherits the mask and never sees them.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);

    std::unique_ptr<sim::VirtualRadio> radio;
    try {
        radio = std::make_unique<sim::VirtualRadio>(options, std::move(memory));
    } catch (const std::exception& e) {
        cli::Fail(kName, std::string("cannot start: ") + e.what());
        return cli::kFailed;
    }
    std::printf("%s\n", radio->slavePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    while (sigwait(&stop, &signal) != 0) {
    }
    radio.reset();
    return cli::kOk;
}

}  // namespace

RADIO_CLI_COMMAND(kName, "serve a virtual radio on a pseudo-terminal until stopped",
                  "usage: radio-cli virtual-radio [--image FILE.img] [--fault PLAN] [--lag MS] [--no-pacing]\n"
                  "                               [--show-frames]\n"
                  "\n"
                  "Starts a virtual radio on a new pseudo-terminal and prints the device to open\n"
                  "(such as /dev/pts/3) as the only line on stdout. It serves PROM_LIN, READ,\n"
                  "WRIE and EXIT as the radio does, at 19200 baud, until SIGINT or SIGTERM.\n"
                  "\n"
                  "  --image FILE.img  start from this memory (exactly 7168 bytes, 0x0000-0x1BFF)\n"
                  "                    instead of the built-in sample programming\n"
                  "  --fault PLAN      misbehave in one way:\n"
                  "                      none            a healthy radio (the default)\n"
                  "                      off             switched off: no answer at all\n"
                  "                      silent-from:J   no answer from block J on\n"
                  "                      short:N         answers N bytes short (writes: no ack)\n"
                  "                      long:N          answers N bytes too many\n"
                  "                      double-ack      acknowledges writes with 06 06\n"
                  "                      wrong-ack       acknowledges writes with 15\n"
                  "                      late:T          answers T ms late\n"
                  "                      pieces:K:G      answers in K pieces, G ms apart\n"
                  "                      noise           answers PROM_LIN with noise\n"
                  "                      vanish-at:J     closes the pseudo-terminal at block J\n"
                  "                      flood           answers, then sends bytes without end\n"
                  "                      echo            no radio, a looped-back line: every byte\n"
                  "                                      sent comes back\n"
                  "                      garbage         answers every frame with bytes that are\n"
                  "                                      no answer\n"
                  "                      intermittent    drops out on every second PROM_LIN\n"
                  "                    short, long, double-ack, wrong-ack, late, pieces, flood take\n"
                  "                    @J to start at block J (short:3@130). Blocks are the read\n"
                  "                    and write frames counted from 0 after each PROM_LIN.\n"
                  "  --lag MS          take bytes off the line MS milliseconds late, as a radio\n"
                  "                    busy with something else does\n"
                  "  --no-pacing       answer at once instead of at the line speed\n"
                  "  --show-frames     print each frame received on its own line after the device\n"
                  "                    (PROM_LIN, READ 0400 0030, WRIE 02D0 0010, EXIT)\n"
                  "\n"
                  "Exit status: 0 stopped by a signal; 1 no pseudo-terminal could be had; 2 bad\n"
                  "usage, a bad fault plan, or an image that cannot be read or is not 7168 bytes.",
                  runVirtualRadio)
