#include "cli/interrupts.h"

#include <unistd.h>

#include <csignal>

#include <atomic>

#include "link/link.h"

namespace cli {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> caughtSignal{0};
std::atomic<radiolink::Radio*> stopping{nullptr};
std::atomic<std::atomic<bool>*> stoppingFlag{nullptr};
struct sigaction previous[std::size(kSignals)];

extern "C" void onSignal(int signal) {
    int none = 0;
    caughtSignal.compare_exchange_strong(none, signal);
    if (radiolink::Radio* radio = stopping.load()) radio->requestStop();  // an atomic store
    if (std::atomic<bool>* flag = stoppingFlag.load()) flag->store(true);
}

void install() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a wait in poll() wakes up
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &previous[i]);
}

}  // namespace

StopOnSignals::StopOnSignals(radiolink::Radio& radio) {
    stopping.store(&radio);
    install();
}

StopOnSignals::StopOnSignals(std::atomic<bool>& flag) {
    stoppingFlag.store(&flag);
    install();
}

StopOnSignals::~StopOnSignals() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
    stopping.store(nullptr);
    stoppingFlag.store(nullptr);
}

int StopOnSignals::caught() { return caughtSignal.load(); }

std::string StopOnSignals::name(int signal) {
    switch (signal) {
        case SIGINT: return "SIGINT";
        case SIGTERM: return "SIGTERM";
        case SIGHUP: return "SIGHUP";
        default: return "signal " + std::to_string(signal);
    }
}

bool InputIsTerminal() { return ::isatty(STDIN_FILENO) != 0; }
bool ErrorIsTerminal() { return ::isatty(STDERR_FILENO) != 0; }

}  // namespace cli
