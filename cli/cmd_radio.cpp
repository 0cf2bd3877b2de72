// The commands that talk to a radio: ports, read, write and the single-block transfers.
#include <cstdio>
#include <fstream>

#include "cli/command.h"
#include "cli/connection.h"
#include "cli/interrupts.h"
#include "cli/files.h"
#include "cli/options.h"
#include "base/text.h"
#include "codeplug/codeplug.h"
#include "image/transfer.h"
#include "link/backups.h"
#include "link/messages.h"
#include "link/pipelines.h"
#include "serial/port_list.h"

namespace cli {
namespace {

const std::string kPortHelp =
    "  --port DEV     a name from `radio-cli ports`, a device path (/dev/ttyUSB0, /dev/pts/5),\n"
    "                 or `virtual` for an in-process virtual radio\n"
    "  --trace FILE   write every byte sent and received to FILE, with timestamps\n";

std::string restoreCommand(const std::string& port, const std::string& backup) {
    return "To put it back as it was: radio-cli restore --port " + port + " " + backup;
}

// The procedure's verdict on stdout, what went wrong (or the backup kept) on stderr; for a
// write that failed after sending, how to put the radio back. 2 when the radio was read but
// a file the procedure keeps (its backup) could not be saved.
int report(std::string_view command, const radiolink::Result& r, const std::string& port = {}, bool writes = false) {
    if (!r.message.empty()) std::printf("%s\n", r.message.c_str());
    if (!r.detail().empty()) Fail(command, r.detail());
    if (writes && !r.ok() && !r.backup.empty() && !r.fileProblem && r.kind != base::ErrorKind::Refused)
        Fail(command, restoreCommand(port, r.backup));
    if (r.fileProblem) return kUsage;
    return r.ok() ? kOk : kFailed;
}

// After a signal: where the procedure stopped and what the radio now holds. 128 + signal.
int reportInterrupted(std::string_view command, const radiolink::Result& r, const std::string& port, bool writes) {
    const int signal = StopOnSignals::caught();
    std::string text = "interrupted by " + StopOnSignals::name(signal) + "; EXIT was sent.";
    const std::string blocks = std::to_string(r.progress) + " of " + std::to_string(image::kBlockCount) + " blocks";
    if (!writes) {
        text += " Stopped after " + blocks + " read; the radio is unchanged and no file was written.";
        if (!r.backup.empty()) text += " What was read is kept in " + r.backup;
    } else if (r.progress == 0) {
        text += " Nothing was written: the radio is unchanged.";
    } else {
        text += " Stopped after " + blocks + ": the radio now holds " + std::to_string(r.progress) +
                " newly written blocks, the other " + std::to_string(image::kBlockCount - r.progress) +
                " are as they were.";
        if (!r.backup.empty())
            text += " " + restoreCommand(port, r.backup);
        else
            text += " No backup was taken before this write.";
    }
    Fail(command, text);
    return 128 + signal;
}

// A trace that could not be written fails a command that succeeded (2); a failed transfer
// keeps its own status (1, 128 + N), and the trace's reason is said either way.
int withTrace(std::string_view command, Connection& connection, int code) {
    const base::Outcome<> closed = connection.closeTrace();
    if (closed.ok()) return code;
    Fail(command, closed.message());
    return code == kOk ? kUsage : code;
}

// The options every radio command shares, then the connection.
struct Setup {
    Options options;
    std::unique_ptr<Connection> connection;
    std::string port() const { return *options.value("port"); }
};
std::optional<Setup> setUp(std::string_view command, const std::vector<std::string>& args,
                           std::set<std::string> valued, const std::set<std::string>& flags,
                           const std::vector<std::string>& required) {
    valued.insert({"port", "trace", "waits-ms"});
    Setup s{ParseOptions(args, valued, flags), nullptr};
    if (!s.options.error.empty()) {
        Fail(command, s.options.error + " (see --help)");
        return std::nullopt;
    }
    if (!s.options.positional.empty()) {
        Fail(command, "unexpected argument " + s.options.positional.front() + " (see --help)");
        return std::nullopt;
    }
    for (const auto& name : required)
        if (!s.options.value(name)) {
            Fail(command, "--" + name + " is required (see --help)");
            return std::nullopt;
        }
    radiolink::Timing timing;
    if (const auto waits = s.options.value("waits-ms")) {
        const auto parsed = ParseWaits(*waits);
        if (!parsed.ok()) {
            Fail(command, parsed.message());
            return std::nullopt;
        }
        timing = parsed.value;
    }
    auto connected = Connect(*s.options.value("port"), s.options.value("trace").value_or(""), timing);
    if (!connected.ok()) {
        Fail(command, connected.message());
        return std::nullopt;
    }
    s.connection = std::move(connected.value);
    return s;
}

int runPorts(const std::vector<std::string>& args) {
    if (!args.empty()) {
        Fail("ports", "takes no arguments (see --help)");
        return kUsage;
    }
    const auto ports = serial::PortList();
    if (ports.empty()) std::printf("%s\n", base::Tr("无串口!"));
    for (const auto& p : ports) std::printf("%s\t%s\n", serial::PortLabel(p).c_str(), serial::DeviceName(p).c_str());
    return kOk;
}

int runRead(const std::vector<std::string>& args) {
    auto s = setUp("read", args, {"out", "raw"}, {}, {"port", "out"});
    if (!s) return kUsage;
    image::EditorState state;
    std::vector<std::uint8_t> raw;
    radiolink::Result r;
    {
        StopOnSignals signals(s->connection->radio());
        ProgressBar bar(image::kBlockCount);
        r = radiolink::ReadKeepingBackup(s->connection->radio(), state, s->port(), std::ref(bar), &raw);
    }
    if (StopOnSignals::caught())
        return withTrace("read", *s->connection, reportInterrupted("read", r, s->port(), false));
    if (!r.ok()) {
        // Neither --out nor --raw is written: a file that looks whole must hold a whole read.
        const int code = report("read", r);
        Fail("read", "no file was written" +
                         (r.backup.empty() ? std::string(".") : "; what was read is kept in " + r.backup));
        return withTrace("read", *s->connection, code);
    }
    // The files first, the verdict after: 读取成功! is printed only once they are saved.
    const std::string out = *s->options.value("out");
    const auto kept = [&] { return r.backup.empty() ? std::string() : " (what was read is kept in " + r.backup + ")"; };
    if (!SaveCodeplug("read", out, state).ok()) {
        Fail("read", "the radio was read, but the codeplug was not saved" + kept());
        return withTrace("read", *s->connection, kUsage);
    }
    if (const auto rawPath = s->options.value("raw")) {
        if (const auto written =
                WriteFile(*rawPath, std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()), 0600);
            !written.ok()) {
            Fail("read", written.message());
            Fail("read", "the codeplug was saved, the raw image was not" + kept());
            return withTrace("read", *s->connection, kUsage);
        }
    }
    return withTrace("read", *s->connection, report("read", r));
}

int runWrite(const std::vector<std::string>& args) {
    auto s = setUp("write", args, {"in"}, {"verify", "no-backup"}, {"port", "in"});
    if (!s) return kUsage;
    const auto state = OpenCodeplug("write", *s->options.value("in"));
    if (!state) return kUsage;
    const radiolink::WritePlan plan{!s->options.has("no-backup"), s->options.has("verify")};
    radiolink::Result r;
    {
        StopOnSignals signals(s->connection->radio());
        std::optional<ProgressBar> bar;
        auto step = [&](radiolink::Step step) {
            bar.reset();
            bar.emplace(image::kBlockCount, step == radiolink::Step::Backup  ? "backup"
                                            : step == radiolink::Step::Write ? "write"
                                                                             : "verify");
        };
        r = radiolink::WriteSafely(s->connection->radio(), *state, plan, s->port(),
                                   [&](int done) { if (bar) (*bar)(done); }, step);
    }
    if (StopOnSignals::caught())
        return withTrace("write", *s->connection, reportInterrupted("write", r, s->port(), true));
    return withTrace("write", *s->connection, report("write", r, s->port(), true));
}

// read-message, read-limits: the file's state, updated by one block and saved back.
template <radiolink::Result (*Procedure)(radiolink::Radio&, image::EditorState&)>
int runSingleRead(std::string_view command, const std::vector<std::string>& args) {
    auto s = setUp(command, args, {"file"}, {}, {"port", "file"});
    if (!s) return kUsage;
    const std::string path = *s->options.value("file");
    auto state = OpenCodeplug(command, path);
    if (!state) return kUsage;
    radiolink::Result r;
    {
        StopOnSignals signals(s->connection->radio());
        r = Procedure(s->connection->radio(), *state);
    }
    if (StopOnSignals::caught())
        return withTrace(command, *s->connection, reportInterrupted(command, r, s->port(), false));
    // A failed read empties the group's edits, as the page does; the file keeps them.
    if (!r.ok()) return withTrace(command, *s->connection, report(command, r));
    // The file first, the verdict after it is saved.
    if (!SaveCodeplug(command, path, *state).ok()) {
        Fail(command, "the radio was read, but the file was not saved");
        return withTrace(command, *s->connection, kUsage);
    }
    return withTrace(command, *s->connection, report(command, r));
}

template <radiolink::Result (*Procedure)(radiolink::Radio&, const image::EditorState&)>
int runSingleWrite(std::string_view command, const std::vector<std::string>& args) {
    auto s = setUp(command, args, {"file"}, {}, {"port", "file"});
    if (!s) return kUsage;
    const auto state = OpenCodeplug(command, *s->options.value("file"));
    if (!state) return kUsage;
    radiolink::Result r;
    {
        StopOnSignals signals(s->connection->radio());
        r = Procedure(s->connection->radio(), *state);
    }
    if (StopOnSignals::caught()) {
        // The one block either went out whole (and the radio has it) or not at all.
        Fail(command, "interrupted by " + StopOnSignals::name(StopOnSignals::caught()) + "; " +
                          (r.progress ? "the block was written, EXIT was sent." : "EXIT was sent if anything was."));
        return withTrace(command, *s->connection, 128 + StopOnSignals::caught());
    }
    return withTrace(command, *s->connection, report(command, r));
}

int runRestore(const std::vector<std::string>& args) {
    auto options = ParseOptions(args, {"port", "trace", "waits-ms"}, {"force", "no-backup"});
    if (!options.error.empty() || options.positional.size() != 1 || !options.value("port")) {
        Fail("restore", options.error.empty()
                            ? "usage: radio-cli restore --port DEV IMAGE.img [--force] [--no-backup] (see --help)"
                                              : options.error);
        return kUsage;
    }
    const std::string path = options.positional.front();
    const auto read = ReadFile(path);
    if (!read.ok()) {
        Fail("restore", path + ": " + read.message());
        return kUsage;
    }
    const std::string* const bytes = &read.value;
    if (bytes->size() != image::kImageSize) {
        Fail("restore", path + ": an image holds " + std::to_string(image::kImageSize) + " bytes, this file " +
                            std::to_string(bytes->size()));
        return kUsage;
    }
    const std::vector<std::uint8_t> memory(bytes->begin(), bytes->end());
    if (const auto risk = radiolink::RestoreRisk(path, memory); !risk.ok() && !options.has("force")) {
        Fail("restore", path + ": " + risk.message() + ". Nothing was sent; --force writes it all the same.");
        return kUsage;
    }
    std::vector<std::string> connectArgs = {"--port", *options.value("port")};
    if (const auto trace = options.value("trace")) connectArgs.insert(connectArgs.end(), {"--trace", *trace});
    if (const auto waits = options.value("waits-ms")) connectArgs.insert(connectArgs.end(), {"--waits-ms", *waits});
    auto s = setUp("restore", connectArgs, {}, {}, {"port"});
    if (!s) return kUsage;
    radiolink::Result r;
    {
        StopOnSignals signals(s->connection->radio());
        std::optional<ProgressBar> bar;
        auto step = [&](radiolink::Step step) {
            bar.reset();
            bar.emplace(image::kBlockCount, step == radiolink::Step::Backup ? "backup" : "restore");
        };
        r = radiolink::RestoreSafely(s->connection->radio(), memory, !options.has("no-backup"), s->port(),
                                     [&](int done) { if (bar) (*bar)(done); }, step);
    }
    if (StopOnSignals::caught())
        return withTrace("restore", *s->connection, reportInterrupted("restore", r, s->port(), true));
    return withTrace("restore", *s->connection, report("restore", r, s->port(), true));
}

const std::string kExits =
    "Exit status: 0 success, 1 the transfer failed (the block and what came back are named),\n"
    "2 bad usage, a file error (a file, the backup or the trace not saved; the verdict is printed\n"
    "only once the files are saved) or a port that cannot be opened, 128 + N stopped by signal N\n"
    "(Ctrl+C, SIGTERM, SIGHUP: the transfer stops at the next block, EXIT is sent, and what the\n"
    "radio now holds is said).";

RADIO_CLI_COMMAND("ports", "list the serial ports as the port bar shows them", [] {
                  return base::Fill("usage: radio-cli ports\n\nLists the serial ports of this system, sorted, each with what "
                                    "it is where the system\nknows it (ttyUSB0 - FT232R USB UART) and the device it "
                                    "opens.\nPrints %1 when there is none.",
                                    {base::Tr("无串口!")});
                  },
                  runPorts)

// "Prints 读取成功! or 读取失败!." with the verdicts as this run says them.
std::string verdictHelp(const char* pattern, const char* ok, const char* failed) {
    return base::Fill(pattern, {base::Tr(ok), base::Tr(failed)});
}

RADIO_CLI_COMMAND("read", "read the whole radio into a codeplug file", [] {
                  return "usage: radio-cli read --port DEV --out FILE.bc [--raw FILE.img] [--trace FILE]\n\n"
                         "Reads the 136 blocks of the radio's memory into the start-up editor state and saves it.\n" +
                         kPortHelp +
                         "  --raw FILE     also keep the bytes received as a 7168-byte image (mode 0600)\n\n"
                         "A read that fails or is stopped writes neither FILE.bc nor the --raw image; what it got is\n"
                         "in the backup, under a name that says it is incomplete.\n" +
                         verdictHelp("Prints %1 or %2.\n", radiolink::kReadOk, radiolink::kReadFailed) + kExits;
                  },
                  runRead)

RADIO_CLI_COMMAND("write", "write a codeplug file into the radio", [] {
                  return "usage: radio-cli write --port DEV --in FILE.bc [--verify] [--no-backup] [--trace FILE]\n\n"
                         "Opens the file, reads the radio and keeps a raw backup of it, then writes the file's 136\n"
                         "blocks. Every frame is checked before the first byte is sent.\n" +
                         kPortHelp +
                         "  --verify       read the radio back afterwards and compare every byte the write sent\n"
                         "  --no-backup    write without reading and backing up the radio first\n\n" +
                         verdictHelp("Prints one verdict: %1 (written, and verified when asked) or %2.\n", radiolink::kWriteOk,
                                     radiolink::kWriteFailed) +
                         kExits;
                  },
                  runWrite)

RADIO_CLI_COMMAND("restore", "write a raw backup image back into the radio", [] {
                  return "usage: radio-cli restore --port DEV IMAGE.img [--force] [--no-backup] [--trace FILE]\n\n"
                         "Reads the radio and keeps a raw backup of it, as write does, then writes the bytes of a\n"
                         "7168-byte image (a backup that every read leaves in " +
                         radiolink::BackupDir() +
                         ")\nback block by block with the write frames, only the bytes the blocks carry.\n" + kPortHelp +
                         "  --no-backup    restore without reading and backing up the radio first\n" +
                         "  --force        write an image that would blank the radio all the same: the backup of a\n"
                         "                 read that did not finish (named .incomplete-block-J.img), or an image\n"
                         "                 whose settings blocks are all FF\n" +
                         verdictHelp("\nPrints %1 or %2.\n", radiolink::kWriteOk, radiolink::kWriteFailed) + kExits;
                  },
                  runRestore)

RADIO_CLI_COMMAND("read-message", "read the power-on message into a codeplug file", [] {
                  return "usage: radio-cli read-message --port DEV --file FILE.bc\n\nReads the 16 bytes at 0x02D0 and "
                         "updates the file.\n" + kPortHelp +
                         verdictHelp("\nPrints %1 or %2.\n", radiolink::kReadOk, radiolink::kReadFailed) + kExits;
                  },
                  [](const std::vector<std::string>& a) { return runSingleRead<radiolink::ReadPowerOnMessage>("read-message", a); })

RADIO_CLI_COMMAND("read-limits", "read the band limits into a codeplug file", [] {
                  return "usage: radio-cli read-limits --port DEV --file FILE.bc\n\nReads the 17 bytes at 0x02E0 and "
                         "updates the file.\n" + kPortHelp +
                         verdictHelp("\nPrints %1 or %2.\n", radiolink::kReadOk, radiolink::kReadFailed) + kExits;
                  },
                  [](const std::vector<std::string>& a) { return runSingleRead<radiolink::ReadLimits>("read-limits", a); })

RADIO_CLI_COMMAND("write-message", "write a file's power-on message into the radio", [] {
                  return "usage: radio-cli write-message --port DEV --file FILE.bc\n\nWrites the file's 16 bytes of "
                         "power-on message at 0x02D0.\n" + kPortHelp +
                         verdictHelp("\nPrints %1 or %2.\n", radiolink::kBlockWriteOk, radiolink::kBlockWriteFailed) + kExits;
                  },
                  [](const std::vector<std::string>& a) { return runSingleWrite<radiolink::WritePowerOnMessage>("write-message", a); })

RADIO_CLI_COMMAND("write-limits", "write a file's band limits into the radio", [] {
                  return "usage: radio-cli write-limits --port DEV --file FILE.bc\n\nWrites the file's 17 bytes of band "
                         "limits at 0x02E0.\n" + kPortHelp +
                         verdictHelp("\nPrints %1 or %2.\n", radiolink::kBlockWriteOk, radiolink::kBlockWriteFailed) + kExits;
                  },
                  [](const std::vector<std::string>& a) { return runSingleWrite<radiolink::WriteLimits>("write-limits", a); })

}  // namespace
}  // namespace cli
