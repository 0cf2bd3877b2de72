// The main window's procedures with the radio: the read and write dialogs and the limits
// page's four single-block buttons, each on the session's path once the port is ready.
#include <QAbstractButton>

#include "shell/busy_window.h"
#include "shell/main_window.h"
#include "shell/transfer_dialogs.h"
#include "shell/fleet_dialog.h"
#include "shell/qt_text.h"

namespace shell {
void TForm2::N6Click() { transfer(editor::Transfer::Reads, form5_); }

void TForm2::N7Click() { transfer(editor::Transfer::Writes, form6_); }

void TForm2::withPortReleased(const std::function<void()>& use) {
    comm_.ClosePort();
    use();
    (void)portReady();  // a port that does not open again says so at the next procedure
}

// The batch opens its ports itself; the editor's state is only read.
void TForm2::N19Click() {
    if (refuseWhileBusy()) return;
    finishEditing();
    const std::string selected = portBar_.SelectedName();
    withPortReleased([&] {
        FleetDialog dialog(this, prompter_, state_, options_.portList(), options_.portLabel, selected);
        dialog.exec();
    });
}

void TForm2::transfer(editor::Transfer direction, TransferDialog* dialog) {
    procedure(direction, [dialog](image::EditorState&) {
        // The dialog tells how its procedure ended (ended()) before it closes.
        if (dialog) dialog->exec();
        return editor::Report();
    });
}

void TForm2::procedure(editor::Transfer direction, const editor::Session::Change& run) {
    const editor::Report report = session_.Procedure(direction, [&](image::EditorState& state) {
        const editor::Report notReady = portReady();
        return notReady.empty() ? run(state) : notReady;
    });
    if (dying_ || transferEnded()) return;
    showReport(report);
}

// The limits page's four buttons, each a procedure of one block with a window in front of the
// editor, which takes every click and key until the procedure has ended.
void TForm2::connectSingleBlocks(QWidget* limitsPage) {
    using radiolink::Radio;
    using Run = radiolink::Result (*)(Radio&, image::EditorState&);
    struct SingleBlock {
        const char* button;
        const char* caption;
        editor::Transfer direction;
        Run run;
    };
    static const SingleBlock blocks[] = {
        {"Button1", "读取开机信息", editor::Transfer::Reads, radiolink::ReadPowerOnMessage},
        {"Button2", "写入开机信息", editor::Transfer::Writes,
         [](Radio& radio, image::EditorState& state) { return radiolink::WritePowerOnMessage(radio, state); }},
        {"Button3", "读取频率限制", editor::Transfer::Reads, radiolink::ReadLimits},
        {"Button4", "写入频率限制", editor::Transfer::Writes,
         [](Radio& radio, image::EditorState& state) { return radiolink::WriteLimits(radio, state); }},
    };
    for (const SingleBlock& block : blocks) {
        auto* button = limitsPage->findChild<QAbstractButton*>(block.button);
        connect(button, &QAbstractButton::clicked, this, [this, &block] {
            procedure(block.direction, [this, &block](image::EditorState& state) {
                BusyWindow busy(this, Say(block.caption));
                radio_.clearStop();
                const radiolink::Result result = block.run(radio_, state);
                if (result.message.empty()) return editor::Report();
                editor::Report report =
                    editor::Report::Information(result.message, result.ok() ? std::string() : result.detail());
                report.radioSilent = !result.ok() && result.kind == base::ErrorKind::NoAnswer;
                return report;
            });
        });
    }
}

}  // namespace shell
