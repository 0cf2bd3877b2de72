// The commands of radio-cli. Each command lives in its own file and registers itself with
// RADIO_CLI_COMMAND, so adding a command touches no shared table.
#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace cli {

// Exit codes shared by every command.
enum Exit : int { kOk = 0, kFailed = 1, kUsage = 2 };

// A --help text. Commands register before --lang is read, so a help that cites what the
// program says (a verdict, a page's caption) composes itself when it is shown.
class Help {
public:
    Help(std::string text) : compose_([text = std::move(text)] { return text; }) {}
    Help(const char* text) : Help(std::string(text)) {}
    template <class Compose, class = std::enable_if_t<std::is_invocable_r_v<std::string, Compose>>>
    Help(Compose compose) : compose_(std::move(compose)) {}
    std::string text() const { return compose_(); }

private:
    std::function<std::string()> compose_;
};

struct Command {
    std::string name;
    std::string summary;  // one line for the command list
    Help help;            // full --help text
    std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& commands();

struct Registrar {
    explicit Registrar(Command c) { commands().push_back(std::move(c)); }
};

#define RADIO_CLI_CONCAT2(a, b) a##b
#define RADIO_CLI_CONCAT(a, b) RADIO_CLI_CONCAT2(a, b)
#define RADIO_CLI_COMMAND(...) \
    static const ::cli::Registrar RADIO_CLI_CONCAT(radio_cli_command_, __LINE__){::cli::Command{__VA_ARGS__}};

}  // namespace cli
