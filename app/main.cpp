// The program unit Radio: creates the windows once, in order (the login window first, then
// the main window, whose creation opens the port, then the dialogs), shows the login window
// and runs the message loop.
//
//   radio                   the editor on the system's serial ports
//   radio --virtual-radio   the editor on a built-in virtual radio, listed first and opened
//   radio --user-dir DIR    the user files (password, company name, background) in DIR
//   radio --trace FILE      every byte to and from the radio into FILE
//   radio --lang en|zh      the windows in English or Chinese (else as chosen last, else Chinese)
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <sodium.h>

#include "app/unattended.h"
#include "radio_version.h"
#include "serial/port_list.h"
#include "shell/end_on_signals.h"
#include "shell/language.h"
#include "shell/prompter.h"
#include "shell/qt_translations.h"
#include "shell/windows.h"
#ifdef RADIO_HAS_VIRTUAL_RADIO
#include "sim/virtual_radio.h"
#endif
#include "shell/path_bytes.h"

namespace {

using Clock = std::chrono::steady_clock;

// --help and --version need no display.
bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h" || a == "-?" || a == "--help-all" || a == "--version" || a == "-v") return true;
    }
    return false;
}

// The name gives the per-user data folder, ~/.local/share/radio, beside the backups; the
// version line of --version names the libraries too, for support.
void setIdentity() {
    QCoreApplication::setApplicationName("radio");
    QCoreApplication::setApplicationVersion(QString("%1 (Qt %2, libsodium %3)")
                                                .arg(RADIO_VERSION, qVersion(), sodium_version_string()));
}

void describe(QCommandLineParser& parser, const QList<QCommandLineOption>& options) {
    parser.setApplicationDescription("Programming tool for the dual-band two-way radio.");
    parser.addHelpOption();
    parser.addVersionOption();
    for (const auto& option : options) parser.addOption(option);
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = Clock::now();
    QCommandLineOption virtualRadio("virtual-radio",
                                    "Start a built-in virtual radio, list it first in the port bar and open it.");
    QCommandLineOption userDir("user-dir",
                               "Keep the user files (password, company name, login picture) in DIR instead of the "
                               "folder \"image\" beside the program or in the per-user data folder.",
                               "DIR");
    QCommandLineOption trace("trace",
                             "Write every byte sent to and received from the radio into FILE, with millisecond "
                             "timestamps and the time-outs.",
                             "FILE");
    QCommandLineOption screenshots("screenshot-pages",
                                   "Save a picture of the login window, of each page and of each dialog into DIR and "
                                   "quit.", "DIR");
    screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption measure("measure",
                               "Print the times until the login window and the main window are shown and, with "
                               "--virtual-radio, the duration of a full read and the resident memory after it; "
                               "then quit.");
    measure.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption roundTrip("round-trip",
                                 "Read the radio on the port the port bar opens, save it as FILE, write it back "
                                 "and quit; the exit status says whether both succeeded.",
                                 "FILE");
    roundTrip.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption language("lang",
                                "Show the windows in LANGUAGE: en (English) or zh (Chinese). Without it, the "
                                "language chosen last in the Help menu, else Chinese.",
                                "LANGUAGE");
    QCommandLineParser parser;
    describe(parser, {virtualRadio, userDir, trace, language, screenshots, measure, roundTrip});
    if (asksForHelp(argc, argv)) {
        QCoreApplication core(argc, argv);
        setIdentity();
        parser.process(core);
        return 0;
    }
    QApplication app(argc, argv);
    setIdentity();
    parser.process(app);
    // The language is chosen before any window exists: every text is made in it.
    std::optional<base::Language> asked;
    if (parser.isSet(language)) {
        asked = base::ParseLanguage(parser.value(language).toStdString());
        if (!asked) {
            std::cerr << "radio: unknown language \"" << parser.value(language).toStdString()
                      << "\" for --lang: use en (English) or zh (Chinese)\n";
            return 2;
        }
    }

    const bool unattended = parser.isSet(screenshots) || parser.isSet(measure) || parser.isSet(roundTrip);
    bool onVirtualRadio = false;
    shell::MainWindowOptions options;
    base::SetLanguage(shell::StartLanguage(asked, options.settingsFile));
    shell::TranslateQtTexts(app);
#ifdef RADIO_HAS_VIRTUAL_RADIO
    std::unique_ptr<sim::VirtualRadio> radio;
    if (parser.isSet(virtualRadio)) {
        try {
            radio = std::make_unique<sim::VirtualRadio>();
        } catch (const std::exception& e) {
            std::cerr << "radio: the virtual radio cannot start: " << e.what() << "\n";
            return 1;
        }
        const std::string path = radio->slavePath();
        options.portList = [path] {
            std::vector<std::string> names = serial::PortList();
            names.insert(names.begin(), path);
            return names;
        };
        // The virtual radio is the port opened; its run leaves the port used last alone.
        options.rememberPort = false;
        onVirtualRadio = true;
    }
#else
    if (parser.isSet(virtualRadio)) {
        std::cerr << "radio: the virtual radio needs a pseudo-terminal, which this system does not have\n";
        return 1;
    }
#endif

    shell::DialogPrompter dialogs;
    app::EchoPrompter echo;
    shell::Prompter& prompter = unattended ? static_cast<shell::Prompter&>(echo) : dialogs;
    const std::string folder = shell::UserFolder(shell::PathBytes(parser.value(userDir)));
    const base::Outcome<> prepared = shell::PrepareUserFolder(folder);
    shell::Windows windows = shell::CreateWindows(prompter, folder, options);
    shell::TForm1& form1 = *windows.Form1;
    shell::TForm2& form2 = *windows.Form2;
    if (parser.isSet(trace)) {
        if (const auto started = form2.startTrace(shell::PathBytes(parser.value(trace))); !started.ok()) {
            std::cerr << "radio: " << started.message() << "\n";
            return 2;
        }
    }
    if (!prepared.ok()) prompter.error(nullptr, QString::fromStdString(prepared.error));

    std::unique_ptr<app::Unattended> unattendedRun;
    if (unattended)
        unattendedRun = std::make_unique<app::Unattended>(
            app::UnattendedMode{parser.isSet(measure), parser.value(screenshots), started, onVirtualRadio,
                                parser.value(roundTrip)},
            windows, echo);
    shell::EndOnSignals endOnSignals(form2);
    form1.show();
    return QApplication::exec();
}
