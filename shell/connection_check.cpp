// TForm2::N20Click: the check runs on a thread of its own (it waits up to five seconds) on a
// line of its own, the window's port closed meanwhile and opened again after.
#include <thread>

#include <QEventLoop>

#include "files/atomic_write.h"
#include "link/doctor.h"
#include "shell/busy_window.h"
#include "shell/connection_check.h"
#include "shell/main_window.h"
#include "shell/path_bytes.h"
#include "shell/qt_text.h"

namespace shell {

void TForm2::N20Click() {
    if (refuseWhileBusy()) return;
    finishEditing();
    const std::string port = portBar_.SelectedName();
    if (port.empty()) {
        showReport(editor::Report::Information(base::Tr(editor::kNoSerialPort)));
        return;
    }
    radiolink::doctor::Finding finding;
    withPortReleased([&] {
        BusyWindow busy(this, Say(kChecking));
        QEventLoop waiting;
        std::thread check([&] {
            finding = radiolink::doctor::Check(port);
            QMetaObject::invokeMethod(&waiting, &QEventLoop::quit, Qt::QueuedConnection);
        });
        waiting.exec();
        check.join();
    });
    prompter_.information(this, text(finding.port + ": " + finding.message), text(finding.fix));
    if (!prompter_.question(this, Say(kSaveReport))) return;
    const auto path = prompter_.saveFileName(this, Say("检测报告"), Say("文本文件 (*.txt)"));
    if (!path) return;
    const std::string report = radiolink::doctor::Report({finding});
    if (const auto saved = files::WriteAtomically(PathBytes(*path), report); !saved.ok())
        prompter_.error(this, text(saved.message()));
}

}  // namespace shell
