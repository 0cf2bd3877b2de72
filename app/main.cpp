// The program unit Radio: creates the windows once, in order (the login window first, then
// the main window, whose creation opens the port, then the dialogs), shows the login window
// and runs the message loop.
//
//   radio                   the editor on the system's serial ports
//   radio --virtual-radio   the editor on a built-in virtual radio, listed first and opened
//   radio --user-dir DIR    the user files (password, company name, background) in DIR
//   radio --trace FILE      every byte to and from the radio into FILE
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include "serial/port_list.h"
#include "shell/channel_grid.h"
#include "shell/end_on_signals.h"
#include "shell/prompter.h"
#include "shell/windows.h"
#include "sim/virtual_radio.h"

namespace {

using Clock = std::chrono::steady_clock;

// For the unattended modes: what a box would say goes to stderr, and every question is
// answered Yes.
class EchoPrompter : public shell::Prompter {
public:
    void information(QWidget*, const QString& text, const QString& detail) override {
        std::cerr << text.toStdString() << (detail.isEmpty() ? "" : " (" + detail.toStdString() + ")") << "\n";
    }
    bool question(QWidget*, const QString&, const QString&) override { return true; }
    void error(QWidget*, const QString& text) override { std::cerr << text.toStdString() << "\n"; }
    std::optional<QString> openFileName(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> text(QWidget*, const QString&, const QString&) override { return std::nullopt; }
};

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// The first paint of a window.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(std::function<void()> then) : then_(std::move(then)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            auto then = std::move(then_);
            then_ = nullptr;
            QTimer::singleShot(0, then);
        }
        return false;
    }

private:
    std::function<void()> then_;
};

bool asksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h" || a == "-?" || a == "--help-all") return true;
    }
    return false;
}

void describe(QCommandLineParser& parser, const QList<QCommandLineOption>& options) {
    parser.setApplicationDescription("Programming tool for the dual-band two-way radio.");
    parser.addHelpOption();
    for (const auto& option : options) parser.addOption(option);
}

double msSince(Clock::time_point started) {
    return std::chrono::duration<double, std::milli>(Clock::now() - started).count();
}

long long epochMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
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
                                   "Save a picture of the login window and of each page into DIR and quit.", "DIR");
    screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption measure("measure",
                               "Print the times until the login window and the main window are shown and, with "
                               "--virtual-radio, the duration of a full read and the resident memory after it; "
                               "then quit.");
    measure.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineParser parser;
    describe(parser, {virtualRadio, userDir, trace, screenshots, measure});
    if (asksForHelp(argc, argv)) {
        // The help needs no display.
        QCoreApplication core(argc, argv);
        parser.process(core);
        return 0;
    }
    QApplication app(argc, argv);
    // The per-user data folder is ~/.local/share/radio, beside the backups.
    QApplication::setApplicationName("radio");
    parser.process(app);

    const bool unattended = parser.isSet(screenshots) || parser.isSet(measure);
    std::unique_ptr<sim::VirtualRadio> radio;
    shell::MainWindowOptions options;
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
    }

    shell::DialogPrompter dialogs;
    EchoPrompter echo;
    shell::Prompter& prompter = unattended ? static_cast<shell::Prompter&>(echo) : dialogs;
    std::string folderError;
    const std::string folder = shell::UserFolder(QFile::encodeName(parser.value(userDir)).toStdString(), folderError);
    shell::Windows windows = shell::CreateWindows(prompter, folder, options);
    shell::TForm1& form1 = *windows.Form1;
    shell::TForm2& form2 = *windows.Form2;
    if (parser.isSet(trace)) {
        std::string error;
        if (!form2.startTrace(QFile::encodeName(parser.value(trace)).toStdString(), error)) {
            std::cerr << "radio: " << error << "\n";
            return 2;
        }
    }
    if (!folderError.empty()) prompter.error(nullptr, QString::fromStdString(folderError));

    std::unique_ptr<FirstPaint> loginPaint, mainPaint;
    if (unattended) {
        // The login window as it comes up; then the log-in itself, as a correct password
        // would do it.
        loginPaint = std::make_unique<FirstPaint>([&] {
            if (parser.isSet(measure))
                std::printf("login window shown after %.0f ms from main (at %lld ms since the epoch)\n",
                            msSince(started), epochMs());
            if (parser.isSet(screenshots)) {
                QDir dir(parser.value(screenshots));
                dir.mkpath(".");
                form1.grab().save(dir.filePath("login-window.png"));
            }
            form1.enterMainWindow();
        });
        form1.installEventFilter(loginPaint.get());
        mainPaint = std::make_unique<FirstPaint>([&] {
            if (parser.isSet(measure))
                std::printf("main window shown after %.0f ms from main (at %lld ms since the epoch)\n",
                            msSince(started), epochMs());
            if (radio) {
                windows.Form5->show();
                const auto readStart = Clock::now();
                windows.Form5->Button1Click();
                const auto readMs = std::chrono::duration<double, std::milli>(Clock::now() - readStart).count();
                if (parser.isSet(measure))
                    std::printf("full read in %.0f ms, progress %d, VmRSS %ld KiB\n", readMs,
                                windows.Form5->progressBar()->value(), residentKiB());
            }
            if (parser.isSet(screenshots)) {
                QDir dir(parser.value(screenshots));
                dir.mkpath(".");
                static const char* names[] = {"1-upper-channels", "2-upper-settings", "3-lower-channels",
                                              "4-lower-settings", "5-general",        "6-dtmf",
                                              "7-limits"};
                for (int i = 0; i < form2.pageControl()->count(); ++i) {
                    form2.pageControl()->setCurrentIndex(i);
                    QApplication::processEvents();
                    form2.grab().save(dir.filePath(QString("page-%1.png").arg(names[i])));
                }
                // A cell editor open over its cell: the transmit tone of channel 3.
                form2.pageControl()->setCurrentIndex(0);
                shell::StringGrid* grid = form2.channelPage(image::Band::Upper)->grid();
                grid->setCurrentIndex(grid->model()->index(2, image::kColTxTone));
                QApplication::processEvents();
                form2.grab().save(dir.filePath("page-1-upper-channels-editor.png"));
            }
            QApplication::quit();
        });
        form2.installEventFilter(mainPaint.get());
    }
    shell::EndOnSignals endOnSignals(form2);
    form1.show();
    return QApplication::exec();
}
