// radio-cli: the command-line front end of the programming tool.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#ifdef RADIO_CLI_SODIUM
#include <sodium.h>
#endif
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#include "files/wide_path_win.h"
#endif

#include "cli/command.h"
#include "base/text.h"
#include "radio_version.h"

namespace cli {
std::vector<Command>& commands() {
    static std::vector<Command> all;
    return all;
}
}  // namespace cli

namespace {

void usage(std::FILE* out) {
    std::fprintf(out, "usage: radio-cli [--lang en|zh] COMMAND [ARGS...]\n       radio-cli COMMAND --help\n"
                      "       radio-cli --version\n\n"
                      "--lang en|zh     the language of the messages: Chinese (zh) unless asked\n\ncommands:\n");
    auto sorted = cli::commands();
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (const auto& c : sorted) std::fprintf(out, "  %-16s %s\n", c.name.c_str(), c.summary.c_str());
}

// radio-cli links no Qt: the version and the libsodium it runs with.
void version() {
#ifdef RADIO_CLI_SODIUM
    std::printf("radio-cli %s\nlibsodium %s\n", RADIO_VERSION, sodium_version_string());
#else
    std::printf("radio-cli %s\n", RADIO_VERSION);
#endif
}

// --help or -h among the command's own arguments, not after "--".
bool asksForHelp(const std::vector<std::string>& args) {
    for (const auto& a : args) {
        if (a == "--") return false;
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

// Takes --lang LANG or --lang=LANG out of the arguments (before a "--") and chooses that
// language for the messages. False, with the reason said, for a language we do not have.
bool chooseLanguage(std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
        std::string value;
        std::size_t taken = 1;
        if (args[i] == "--lang") {
            if (i + 1 == args.size()) {
                std::fprintf(stderr, "radio-cli: --lang needs a language: en or zh\n");
                return false;
            }
            value = args[i + 1];
            taken = 2;
        } else if (args[i].rfind("--lang=", 0) == 0) {
            value = args[i].substr(7);
        } else {
            continue;
        }
        const auto language = base::ParseLanguage(value);
        if (!language) {
            std::fprintf(stderr, "radio-cli: --lang %s: the languages are en and zh\n", value.c_str());
            return false;
        }
        base::SetLanguage(*language);
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i + taken));
        --i;
    }
    return true;
}

}  // namespace

// What went to stdout must have left: a closed pipe (radio-cli read ... | head -c0) costs the
// output, never the work. SIGPIPE is ignored, so the command finishes (its files saved, the
// radio left with EXIT); the lost output then makes the exit status 2.
int finish(const std::string& command, int code) {
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return code;
    std::fprintf(stderr, "radio-cli %s: the output could not be written to stdout (a closed pipe?)\n", command.c_str());
    return code == cli::kOk ? cli::kUsage : code;
}

int main(int argc, char** argv) {
#ifdef _WIN32
    // Arguments and the console in UTF-8, as inside: the wide command line, not the ANSI one.
    (void)argc;
    (void)argv;
    ::SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.push_back(files::Narrow(wide[i]));
        ::LocalFree(wide);
    }
#else
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
#endif
    if (!chooseLanguage(args)) return cli::kUsage;
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        usage(args.empty() ? stderr : stdout);
        return args.empty() ? cli::kUsage : cli::kOk;
    }
    if (args[0] == "--version" || args[0] == "-V") {
        version();
        return cli::kOk;
    }
    for (const auto& c : cli::commands()) {
        if (c.name != args[0]) continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (asksForHelp(rest)) {
            std::printf("%s\n", c.help.text().c_str());
            return finish(c.name, cli::kOk);
        }
        return finish(c.name, c.run(rest));
    }
    std::fprintf(stderr, "radio-cli: unknown command '%s'\n", args[0].c_str());
    usage(stderr);
    return cli::kUsage;
}
