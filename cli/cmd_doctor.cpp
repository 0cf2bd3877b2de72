// radio-cli doctor: why a radio does not answer on a port, and what to do about it.
#include <cstdio>

#include "cli/command.h"
#include "cli/connection.h"
#include "cli/files.h"
#include "cli/options.h"
#include "link/doctor.h"

namespace cli {
namespace {

constexpr const char* kDoctor = "doctor";

int runDoctor(const std::vector<std::string>& args) {
    const Options options = ParseOptions(args, {"port", "report", "waits-ms"}, {"json"});
    if (!options.error.empty()) {
        Fail(kDoctor, options.error + " (see --help)");
        return kUsage;
    }
    if (!options.positional.empty()) {
        Fail(kDoctor, "unexpected argument " + options.positional.front() + " (see --help)");
        return kUsage;
    }
    radiolink::doctor::CheckOptions check;
    if (const auto waits = options.value("waits-ms")) {
        const auto parsed = ParseWaits(*waits);
        if (!parsed.ok()) {
            Fail(kDoctor, parsed.message());
            return kUsage;
        }
        check.timing = parsed.value;
    }
    const bool json = options.has("json");
    // Each port's verdict is shown as soon as it is known: a check takes seconds a port.
    const auto show = [json](const radiolink::doctor::Finding& f) {
        std::printf("%s\n", json ? radiolink::doctor::ToJson(f).c_str() : radiolink::doctor::ToText(f).c_str());
        std::fflush(stdout);
    };
    std::vector<radiolink::doctor::Finding> findings;
    if (const auto port = options.value("port")) {
        findings.push_back(radiolink::doctor::Check(*port, check));
        show(findings.back());
    } else {
        findings = radiolink::doctor::CheckAll(check, show);
    }
    int code = kOk;
    for (const auto& f : findings)
        if (!f.ok()) code = kFailed;
    if (const auto report = options.value("report")) {
        if (const auto written = WriteFile(*report, radiolink::doctor::Report(findings)); !written.ok()) {
            Fail(kDoctor, written.message());
            return code == kOk ? kUsage : code;
        }
    }
    return code;
}

}  // namespace
}  // namespace cli

RADIO_CLI_COMMAND(cli::kDoctor, "tell why a radio does not answer on a port, and what to do",
                  "usage: radio-cli doctor [--port DEV] [--json] [--report FILE]\n"
                  "\n"
                  "Checks the connection to the radio: opens the port, sends the handshake\n"
                  "(PROM_LIN) up to four times and reads one block, within about 5 seconds a\n"
                  "port. It never writes to the radio, and every PROM_LIN is closed by EXIT.\n"
                  "Without --port it checks every port that `radio-cli ports` lists.\n"
                  "\n"
                  "Each port gets one verdict with a message and a one-line fix:\n"
                  "  ok               the handshake and a block read answered (round trip in ms)\n"
                  "  no-device        no such device: the cable unplugged, or another name\n"
                  "  no-permission    this user may not open the device (the dialout group)\n"
                  "  port-busy        another program holds the port (named where the system says)\n"
                  "  interferer       brltty or ModemManager runs, and the port failed or stayed silent\n"
                  "  silent           nothing answers: the radio off, or the plug not in its socket\n"
                  "  echo             every byte sent comes back: an echoing cable, no radio\n"
                  "  noise            bytes come back that are no answer: another device, a wrong speed\n"
                  "  no-block-answer  the handshake is answered, a block read is not: a wrong model\n"
                  "  intermittent     answers come and go (N of M handshakes): a loose plug\n"
                  "\n"
                  "  --port DEV     a name from `radio-cli ports` or a device path (/dev/ttyUSB0)\n"
                  "  --json         one JSON object a port, one a line: port, class, message, fix,\n"
                  "                 facts\n"
                  "  --report FILE  write a plain-text report for a support request: the system,\n"
                  "                 the adapter, the groups, and every byte exchanged with its time\n"
                  "\n"
                  "Exit status: 0 every port checked is ok; 1 one is not; 2 bad usage, or the\n"
                  "report could not be written.",
                  cli::runDoctor)
