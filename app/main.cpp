// The program unit Radio: creates the windows once, in order, and runs the message loop.
//
//   radio                   the editor on the system's serial ports
//   radio --virtual-radio   the editor on a built-in virtual radio, listed first and opened
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include "serial/port_list.h"
#include "shell/channel_grid.h"
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
    bool question(QWidget*, const QString&) override { return true; }
    void error(QWidget*, const QString& text) override { std::cerr << text.toStdString() << "\n"; }
    std::optional<QString> openFileName(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&) override { return std::nullopt; }
};

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// The first paint of the main window.
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

void describe(QCommandLineParser& parser, const QCommandLineOption& virtualRadio, const QCommandLineOption& screenshots,
              const QCommandLineOption& measure) {
    parser.setApplicationDescription("Programming tool for the dual-band two-way radio.");
    parser.addHelpOption();
    parser.addOption(virtualRadio);
    parser.addOption(screenshots);
    parser.addOption(measure);
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = Clock::now();
    QCommandLineOption virtualRadio("virtual-radio",
                                    "Start a built-in virtual radio, list it first in the port bar and open it.");
    QCommandLineOption screenshots("screenshot-pages", "Save a picture of each page into DIR and quit.", "DIR");
    screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption measure("measure",
                               "Print the time until the main window is shown and, with --virtual-radio, the "
                               "duration of a full read and the resident memory after it; then quit.");
    measure.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineParser parser;
    describe(parser, virtualRadio, screenshots, measure);
    if (asksForHelp(argc, argv)) {
        // The help needs no display.
        QCoreApplication core(argc, argv);
        parser.process(core);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Radio");
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
    shell::Windows windows = shell::CreateWindows(unattended ? static_cast<shell::Prompter&>(echo) : dialogs, options);
    shell::TForm2& form2 = *windows.Form2;

    std::unique_ptr<FirstPaint> firstPaint;
    if (unattended) {
        firstPaint = std::make_unique<FirstPaint>([&] {
            const auto shownMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
            if (parser.isSet(measure)) {
                const auto epochMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
                std::printf("main window shown after %.0f ms from main (at %lld ms since the epoch)\n", shownMs,
                            static_cast<long long>(epochMs));
            }
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
        form2.installEventFilter(firstPaint.get());
    }
    form2.show();
    return QApplication::exec();
}
