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

}  // namespace

int main(int argc, char** argv) {
    const auto started = Clock::now();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Radio");

    QCommandLineParser parser;
    parser.setApplicationDescription("Programming tool for the dual-band two-way radio.");
    parser.addHelpOption();
    QCommandLineOption virtualRadio("virtual-radio",
                                    "Start a built-in virtual radio, list it first in the port bar and open it.");
    parser.addOption(virtualRadio);
    QCommandLineOption screenshots("screenshot-pages", "Save a picture of each page into DIR and quit.", "DIR");
    screenshots.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(screenshots);
    QCommandLineOption measure("measure", "Print the start-up time and, after a full read, the resident memory.");
    measure.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(measure);
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
            if (parser.isSet(measure)) std::printf("main window shown after %.0f ms\n", shownMs);
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
            }
            QApplication::quit();
        });
        form2.installEventFilter(firstPaint.get());
    }
    form2.show();
    return QApplication::exec();
}
