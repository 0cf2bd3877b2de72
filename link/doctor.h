// The connection check: why a radio does not answer on a port, and what to do about it, told
// as one of a few verdicts with a message and a one-line fix. It opens the port as Comm1,
// sends the handshake a few times and reads one block, and never writes anything to the
// radio: the only frames it sends are "PROM_LIN", one read frame and "EXIT", and every
// "PROM_LIN" is closed by its "EXIT". radio-cli doctor shows it; a window can call it too.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/doctor_facts.h"
#include "link/link.h"

namespace radiolink::doctor {

enum class Verdict {
    Ok,             // the handshake and a block read answered
    NoDevice,       // no such device
    NoPermission,   // the system refused this user the device
    PortBusy,       // another program holds the port
    Interferer,     // a program known to take serial adapters runs, and the port failed or stayed silent
    Silent,         // nothing answers at all
    Echo,           // every byte sent comes back, and nothing else
    Noise,          // bytes come back that are no answer
    NoBlockAnswer,  // the handshake is answered, a block read is not
    Intermittent,   // some handshakes are answered, others not
};

// "ok", "no-device", "no-permission", "port-busy", "interferer", "silent", "echo", "noise",
// "no-block-answer", "intermittent".
const char* VerdictName(Verdict verdict);

// One piece of what the check saw, in the order it was gathered. `number` marks a value
// that is a count or a time (JSON gives it unquoted).
struct Fact {
    std::string key, value;
    bool number = false;
};

// Bytes on the line, `ms` after the check of the port began.
struct Traffic {
    long long ms = 0;
    bool sent = false;
    std::vector<std::uint8_t> bytes;
};

struct Finding {
    std::string port;    // as given
    std::string device;  // as opened
    Verdict verdict = Verdict::Silent;
    std::string message;  // what is wrong, in a sentence
    std::string fix;      // what to do, in one line
    std::vector<Fact> facts;
    std::vector<Traffic> traffic;
    // For the support report: the machine, the adapter, the groups.
    std::vector<Fact> system;

    bool ok() const { return verdict == Verdict::Ok; }
};

struct CheckOptions {
    Timing timing;                                   // the protocol's waits; tests shorten them
    std::chrono::milliseconds budget{5000};          // the whole check of one port, at most about
    int tries = 4;                                   // handshakes, to tell a loose plug
    // Programs that take serial adapters away from the programs meant to use them.
    std::vector<std::string> interferers{"brltty", "ModemManager"};
    std::string sysClassTty = "/sys/class/tty";
};

// Checks one port: a port-list name or a device path.
Finding Check(const std::string& port, const CheckOptions& options = {});

// Checks every port serial::PortList() sees, one finding each; with no port at all, one
// no-device finding that says so. `checked` is told of each finding as it is made.
std::vector<Finding> CheckAll(const CheckOptions& options = {}, const std::function<void(const Finding&)>& checked = {});

// What to do about a device this user may not open, from who may open it.
std::string PermissionFix(const GroupFacts& groups);

// {"port": ..., "class": ..., "message": ..., "fix": ..., "facts": {...}} on one line.
std::string ToJson(const Finding& finding);
// "ttyUSB0: silent\n  <message>\n  fix: <fix>", without a final newline.
std::string ToText(const Finding& finding);
// A plain-text report for a support request: the verdicts, the machine, the adapter, the
// groups and every byte exchanged with its time.
std::string Report(const std::vector<Finding>& findings);

}  // namespace radiolink::doctor
