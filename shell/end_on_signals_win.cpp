// Windows sends a program with windows no signals: logging off or shutting down reaches it as
// the session's request to save, which ends it the way 退出 does, never in a transfer's middle.
#include <QGuiApplication>
#include <QSessionManager>

#include "shell/end_on_signals.h"
#include "shell/main_window.h"

namespace shell {

EndOnSignals::EndOnSignals(TForm2& form2) : form2_(form2) {
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { arrived(); });
}

EndOnSignals::~EndOnSignals() = default;

void EndOnSignals::arrived() { form2_.endProgram(); }

}  // namespace shell
