#include "link/doctor.h"

#include <algorithm>
#include <cstdio>

#include "base/hex.h"
#include "image/transfer.h"
#include "link/line.h"
#include "link/waits.h"
#include "serial/port_list.h"

namespace radiolink::doctor {
namespace {

using serial::platform::OpenProblem;

const std::string kPromLin = base::BytesToHex(std::string_view("PROM_LIN"));

// A handshake's answer is judged only once the line has been quiet this long: an
// acknowledgement followed by more bytes is no acknowledgement.
constexpr auto kSettle = std::chrono::milliseconds(20);

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string Joined(const std::vector<std::string>& items, const char* separator = ", ") {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : separator) + item;
    return text;
}

// "00 FF 06 ...": at most `count` bytes of a hex text, spaced.
std::string Spaced(const std::string& hex, std::size_t count = 16) {
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size() && i / 2 < count; i += 2) text += (i ? " " : "") + hex.substr(i, 2);
    if (hex.size() / 2 > count) text += " ...";
    return text;
}

// What came back to a handshake, with a line that echoes (some cables do) looked through.
struct Heard {
    enum Kind { Nothing, Ack, EchoOnly, Other } kind = Nothing;
    bool echoed = false;
    std::string hex;
};

Heard Judge(const std::string& received, const std::string& sent) {
    Heard h;
    h.hex = received;
    std::string rest = received;
    if (!sent.empty() && rest.compare(0, sent.size(), sent) == 0) {
        h.echoed = true;
        rest.erase(0, sent.size());
    }
    if (rest == "06") h.kind = Heard::Ack;
    else if (!rest.empty()) h.kind = Heard::Other;
    else h.kind = h.echoed ? Heard::EchoOnly : Heard::Nothing;
    return h;
}

// Sends "PROM_LIN" and listens for at most the protocol's wait; an acknowledgement alone on a
// quiet line ends the wait early. `roundTrip` is when its first byte came.
Heard Handshake(Radio& radio, long long& roundTripMs) {
    if (const auto wait = radio.openingDelay(); wait > Clock::duration::zero()) PumpDelay(radio.pump(), wait);
    radio.clearReceived(64);
    const auto sentAt = Clock::now();
    radio.send(kPromLin);
    const auto deadline = sentAt + radio.timing.promLinWait;
    roundTripMs = -1;
    for (;;) {
        const auto now = Clock::now();
        const std::string& hex = radio.RecvHex();
        if (!hex.empty() && roundTripMs < 0)
            roundTripMs = std::chrono::duration_cast<std::chrono::milliseconds>(radio.lastReceive() - sentAt).count();
        const bool acked = Judge(hex, kPromLin).kind == Heard::Ack;
        if (acked && now - radio.lastReceive() >= kSettle) break;
        if (now >= deadline || radio.hungUp()) break;
        const auto until = acked ? std::min(deadline, radio.lastReceive() + kSettle) : deadline;
        const std::size_t before = hex.size();
        radio.pump().runUntil(until, [&] { return radio.RecvHex().size() != before || radio.hungUp(); });
    }
    return Judge(radio.RecvHex(), kPromLin);
}

void Add(Finding& f, std::string key, std::string value) { f.facts.push_back({std::move(key), std::move(value), false}); }
void AddNumber(Finding& f, std::string key, long long value) {
    f.facts.push_back({std::move(key), std::to_string(value), true});
}

void Tell(Finding& f, Verdict verdict, std::string message, std::string fix) {
    f.verdict = verdict;
    f.message = std::move(message);
    f.fix = std::move(fix);
}

// The fix for the interfering programs found: how to stop each.
std::string InterfererFix(const std::vector<std::string>& running) {
    std::string fix;
    bool brltty = false, modemManager = false;
    for (const auto& r : running) {
        brltty = brltty || r.rfind("brltty", 0) == 0;
        modemManager = modemManager || r.rfind("ModemManager", 0) == 0;
    }
    if (brltty) fix = "sudo systemctl stop brltty (or remove it: sudo apt remove brltty)";
    // The package's udev rule tells ModemManager to leave the usual adapters alone.
    if (modemManager)
        fix += std::string(fix.empty() ? "" : "; ") +
               "install the package's udev rule (60-radio-serial.rules) or sudo systemctl stop ModemManager";
    if (fix.empty()) fix = "stop " + Joined(running);
    return fix + ", then unplug and replug the cable and check again";
}

// The port could not be opened: why, from the system's own reason.
void TellOpenFailure(Finding& f, const serial::platform::OpenFailure& failure, const std::string& said,
                     const CheckOptions& options, const std::vector<std::string>& interferers) {
    Add(f, "error", said);
    switch (failure.problem) {
        case OpenProblem::Permission: {
            const GroupFacts groups = Groups(f.device);
            Tell(f, Verdict::NoPermission,
                 "no permission to open " + f.device +
                     (groups.known ? " (it belongs to group " + groups.deviceGroup + ", " +
                                         (groups.inProcess ? "which this process has" : "which this process lacks") + ")"
                                   : std::string()),
                 PermissionFix(groups));
            return;
        }
        case OpenProblem::Busy: {
            Add(f, "holder", failure.holder);
            // The holder may be one of the programs that take adapters: then that is the news.
            std::vector<std::string> holding;
            for (const auto& name : options.interferers)
                if (failure.holder.find(name + " (pid") != std::string::npos) holding.push_back(name);
            if (!holding.empty()) {
                Tell(f, Verdict::Interferer, f.device + " is held by " + failure.holder + ", a program that takes serial adapters",
                     InterfererFix(holding));
                return;
            }
            if (failure.holder.empty())
                Tell(f, Verdict::PortBusy, f.device + " is held by another program",
                     "close the other program that uses the port (a terminal program, another radio tool), then check again");
            else
                Tell(f, Verdict::PortBusy, f.device + " is held by another program: " + failure.holder,
                     "close " + failure.holder + " (or end it), then check again");
            return;
        }
        default: break;
    }
    // Missing, not a serial device, or refused otherwise: the port is not there as a port.
    const auto ports = serial::PortList(options.sysClassTty);
    Add(f, "ports", Joined(ports));
    const bool brltty = std::any_of(interferers.begin(), interferers.end(),
                                    [](const std::string& p) { return p.rfind("brltty", 0) == 0; });
    if (brltty && failure.problem == OpenProblem::Missing) {
        // brltty takes a USB serial adapter the moment it is plugged in: its tty never appears.
        Tell(f, Verdict::Interferer, "no device " + f.device + ", and " + Joined(interferers) +
                                         " is running, which claims USB serial adapters as they are plugged in",
             InterfererFix(interferers));
        return;
    }
    const std::string what = failure.problem == OpenProblem::NotSerial ? " is no serial device" : ": no such device";
    Tell(f, Verdict::NoDevice,
         f.device + what + " (the cable unplugged, or the port has another name); " +
             (ports.empty() ? std::string("no serial port is seen at all") : "the ports seen: " + Joined(ports)),
         ports.empty() ? "plug the cable into the computer, then check again"
                       : "plug the cable in and name one of the ports seen (radio-cli ports), then check again");
}

void GatherSystem(Finding& f, const CheckOptions& options) {
    f.system.push_back({"system", SystemName(), false});
    const AdapterFacts adapter = Adapter(f.device, options.sysClassTty);
    std::string usb = adapter.vendorId.empty() ? "none seen (a pseudo-terminal or a built-in port)"
                                               : "USB " + adapter.vendorId + ":" + adapter.productId;
    if (!adapter.product.empty()) usb += " \"" + adapter.product + "\"";
    if (!adapter.driver.empty()) usb += ", driver " + adapter.driver;
    f.system.push_back({"adapter", usb, false});
    const GroupFacts groups = Groups(f.device);
    f.system.push_back({"user", groups.user, false});
    f.system.push_back({"user's groups", Joined(groups.processGroups, " "), false});
    f.system.push_back({"device's group", groups.known ? groups.deviceGroup : "(no device)", false});
    if (groups.known)
        f.system.push_back({"in the device's group", std::string(groups.inProcess ? "yes" : "no") +
                                                         (groups.inGroupFile ? ", listed in /etc/group" : ", not listed in /etc/group"),
                            false});
}

}  // namespace

const char* VerdictName(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok: return "ok";
        case Verdict::NoDevice: return "no-device";
        case Verdict::NoPermission: return "no-permission";
        case Verdict::PortBusy: return "port-busy";
        case Verdict::Interferer: return "interferer";
        case Verdict::Silent: return "silent";
        case Verdict::Echo: return "echo";
        case Verdict::Noise: return "noise";
        case Verdict::NoBlockAnswer: return "no-block-answer";
        case Verdict::Intermittent: return "intermittent";
    }
    return "?";
}

std::string PermissionFix(const GroupFacts& groups) {
    if (!groups.known) return "sudo usermod -aG dialout $USER, then log out and in";
    if (groups.groupMayOpen && !groups.inProcess)
        // Added to the group after this session began: the session's groups are those of its login.
        return groups.inGroupFile ? "log out and in again (you were added to " + groups.deviceGroup + " since this login)"
                                  : "sudo usermod -aG " + groups.deviceGroup + " $USER, then log out and in";
    // No group of ours would help: the device is open to its owner alone.
    return "the device is not open to its group " + groups.deviceGroup +
           ": install the package's udev rule (60-radio-serial.rules), then unplug and replug the cable";
}

Finding Check(const std::string& port, const CheckOptions& options) {
    const auto start = Clock::now();
    Finding f;
    f.port = port;
    f.device = serial::DeviceName(port);
    Add(f, "device", f.device);
    GatherSystem(f, options);
    const std::vector<std::string> interferers = RunningProcesses(options.interferers);
    if (!interferers.empty()) Add(f, "interferers", Joined(interferers));

    Line line(LineSettings{options.timing});
    Radio& radio = line.radio();
    radio.onTraffic = [&](bool sent, const std::uint8_t* data, std::size_t length) {
        f.traffic.push_back({MsSince(start), sent, std::vector<std::uint8_t>(data, data + length)});
    };
    const base::Outcome<> opened = line.open(f.device);
    if (!opened.ok()) {
        radio.onTraffic = nullptr;
        TellOpenFailure(f, line.comm().LastOpenFailure(), opened.message(), options, interferers);
        return f;
    }

    // The handshake `tries` times, each closed by "EXIT"; the first one answered also reads
    // one block. A try that cannot end within the budget is not begun.
    const image::TransferBlock& block = image::TransferList()[0];
    const std::string readFrame = image::ReadFrame(0);
    int tries = 0, answered = 0;
    bool echoed = false, heardOther = false, readTried = false, readAnswered = false;
    long long roundTripMs = -1, blockMs = -1;
    std::string otherHex, blockHex;
    const auto tryCost = options.timing.promLinWait + options.timing.afterExit + kSettle;
    while (tries < options.tries && !radio.hungUp()) {
        if (tries > 0 && Clock::now() - start + tryCost > options.budget) break;
        ++tries;
        long long rtt = -1;
        const auto sentAt = Clock::now();
        const Heard heard = Handshake(radio, rtt);
        echoed = echoed || heard.echoed;
        if (heard.kind == Heard::Other) {
            heardOther = true;
            if (otherHex.empty()) otherHex = heard.hex;
        }
        if (heard.kind == Heard::Ack) {
            ++answered;
            if (roundTripMs < 0) roundTripMs = rtt;
            if (!readTried) {
                readTried = true;
                // The radio is given the protocol's whole wait after "PROM_LIN" before a frame.
                PumpDelay(radio.pump(), std::max(Clock::duration::zero(), sentAt + options.timing.promLinWait - Clock::now()));
                radio.clearReceived(block.length + 8u);
                const auto readAt = Clock::now();
                radio.send(readFrame);
                const std::string echo = heard.echoed ? readFrame : std::string();
                readAnswered = AwaitReply(radio, [&](const std::string& hex) {
                    return hex.size() == echo.size() + 2u * block.length && hex.compare(0, echo.size(), echo) == 0;
                });
                blockHex = radio.RecvHex();
                if (readAnswered)
                    blockMs = std::chrono::duration_cast<std::chrono::milliseconds>(radio.lastReceive() - readAt).count();
            }
        }
        CloseProcedure(radio);
    }
    radio.onTraffic = nullptr;

    AddNumber(f, "tries", tries);
    AddNumber(f, "answered", answered);
    if (roundTripMs >= 0 && answered > 0) AddNumber(f, "round_trip_ms", roundTripMs);
    if (readTried) Add(f, "block_read", readAnswered ? "answered" : "not answered");
    if (blockMs >= 0) AddNumber(f, "block_ms", blockMs);
    if (readTried && !readAnswered) Add(f, "block_answer", blockHex.empty() ? "nothing" : Spaced(blockHex));
    if (echoed) Add(f, "echo", "yes");
    if (!otherHex.empty()) Add(f, "handshake_answer", Spaced(otherHex));

    const std::string at = " on " + f.device;
    if (radio.hungUp()) {
        Add(f, "ports", Joined(serial::PortList(options.sysClassTty)));
        Tell(f, Verdict::NoDevice, f.device + " went away during the check (the cable pulled out of the computer)",
             "plug the cable in firmly, then check again");
    } else if (answered == tries && tries > 0 && readAnswered) {
        Tell(f, Verdict::Ok,
             "the radio answers" + at + ": handshake in " + std::to_string(roundTripMs) + " ms, a block of " +
                 std::to_string(block.length) + " bytes read in " + std::to_string(blockMs) + " ms" +
                 (echoed ? " (the cable echoes what is sent)" : ""),
             "nothing to fix: read the radio (radio-cli read --port " + port + " FILE.bc)");
    } else if (answered == tries && tries > 0) {
        Tell(f, Verdict::NoBlockAnswer,
             "the radio answers the handshake" + at + " but not a block read (" +
                 (blockHex.empty() ? std::string("nothing came") : std::to_string(blockHex.size() / 2) + " bytes came") +
                 ", " + std::to_string(block.length) + " expected): a wrong model, or a mode that does not read",
             "check that the radio is the model this program is for, switch it off and on (not in a menu, not "
             "scanning), then check again");
    } else if (answered > 0) {
        Tell(f, Verdict::Intermittent,
             "answers come and go" + at + ": " + std::to_string(answered) + " of " + std::to_string(tries) +
                 " handshakes answered (a loose plug or a damaged cable)",
             "push the plug firmly into the radio's socket and keep the cable still; try another USB socket or cable");
    } else if (heardOther) {
        Tell(f, Verdict::Noise,
             "bytes come back" + at + " that are no answer (" + Spaced(otherHex, 8) +
                 "): another device on this port, or a wrong speed",
             "check that this port is the radio's programming cable and not another device, and that the radio is a "
             "model this program is for");
    } else if (echoed) {
        Tell(f, Verdict::Echo,
             "every byte sent" + at + " comes back, and nothing else: an echoing cable or a loopback, no radio behind it",
             "push the plug fully into the radio's socket and switch the radio on; a cable that only echoes is not "
             "one for this radio");
    } else if (!interferers.empty()) {
        Tell(f, Verdict::Interferer,
             "nothing answers" + at + ", and " + Joined(interferers) +
                 " is running, which takes or probes serial adapters",
             InterfererFix(interferers) + " (and make sure the radio is on)");
    } else {
        Tell(f, Verdict::Silent,
             "nothing answers" + at + ": the radio is switched off, or the cable is not in the radio's socket",
             "switch the radio on and push the plug fully into its socket, then check again");
    }
    return f;
}

std::vector<Finding> CheckAll(const CheckOptions& options, const std::function<void(const Finding&)>& checked) {
    std::vector<Finding> findings;
    const auto ports = serial::PortList(options.sysClassTty);
    if (ports.empty()) {
        Finding f;
        f.system.push_back({"system", SystemName(), false});
        Tell(f, Verdict::NoDevice, "no serial port is seen at all (the cable unplugged, or its driver missing)",
             "plug the cable into the computer, then check again (radio-cli ports lists what is seen)");
        findings.push_back(std::move(f));
        if (checked) checked(findings.back());
    }
    for (const auto& port : ports) {
        findings.push_back(Check(port, options));
        if (checked) checked(findings.back());
    }
    return findings;
}

namespace {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

}  // namespace

std::string ToJson(const Finding& f) {
    std::string facts;
    for (const auto& fact : f.facts)
        facts += (facts.empty() ? "" : ", ") + JsonString(fact.key) + ": " + (fact.number ? fact.value : JsonString(fact.value));
    return "{\"port\": " + JsonString(f.port) + ", \"class\": " + JsonString(VerdictName(f.verdict)) +
           ", \"message\": " + JsonString(f.message) + ", \"fix\": " + JsonString(f.fix) + ", \"facts\": {" + facts + "}}";
}

std::string ToText(const Finding& f) {
    return f.port + ": " + VerdictName(f.verdict) + "\n  " + f.message + "\n  fix: " + f.fix;
}

std::string Report(const std::vector<Finding>& findings) {
    std::string text = "radio-cli doctor: connection report\n";
    for (const auto& f : findings) {
        text += "\n== " + f.port + ": " + VerdictName(f.verdict) + "\n";
        text += "message: " + f.message + "\nfix: " + f.fix + "\n";
        for (const auto& fact : f.system) text += fact.key + ": " + fact.value + "\n";
        for (const auto& fact : f.facts) text += fact.key + ": " + fact.value + "\n";
        text += "bytes exchanged (ms since the check began, > sent, < received):\n";
        if (f.traffic.empty()) text += "  none\n";
        for (const auto& t : f.traffic) {
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "  %6lld %c ", t.ms, t.sent ? '>' : '<');
            text += stamp + Spaced(base::BytesToHex(t.bytes), 4096) + "\n";
        }
    }
    return text;
}

}  // namespace radiolink::doctor
