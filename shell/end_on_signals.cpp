#include "shell/end_on_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>

#include <QSocketNotifier>

#include "shell/main_window.h"

namespace shell {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int pipeFds[2] = {-1, -1};

extern "C" void onSignal(int signal) {
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const auto written = ::write(pipeFds[1], &byte, 1);
}

}  // namespace

EndOnSignals::EndOnSignals(TForm2& form2) : form2_(form2) {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndOnSignals::arrived);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) sigaction(signal, &action, nullptr);
}

EndOnSignals::~EndOnSignals() {
    for (int signal : kSignals) std::signal(signal, SIG_DFL);
    delete notifier_;
    for (int& fd : pipeFds) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void EndOnSignals::arrived() {
    unsigned char bytes[16];
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0) {
    }
    form2_.endProgram();
}

}  // namespace shell
