#include "app/unattended.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include "files/atomic_write.h"
#include "shell/channel_grid.h"
#include "shell/path_bytes.h"

namespace app {
namespace {

using Clock = std::chrono::steady_clock;

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// A screenshot as PNG, written as every file of the program is; a failure is said on stderr.
void savePng(const QPixmap& shot, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    shot.save(&buffer, "PNG");
    const auto written = files::WriteAtomically(
        shell::PathBytes(path), std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    if (!written.ok()) std::cerr << "Cannot create file \"" << path.toStdString() << "\". " << written.message() << "\n";
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

// Whole milliseconds: printed as integers, so no decimal point depends on the locale.
long long msSince(Clock::time_point started) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
}

long long epochMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}


}  // namespace

void EchoPrompter::information(QWidget*, const QString& text, const QString& detail) {
    std::cerr << text.toStdString() << (detail.isEmpty() ? "" : " (" + detail.toStdString() + ")") << "\n";
}

void EchoPrompter::error(QWidget*, const QString& text) { std::cerr << text.toStdString() << "\n"; }

Unattended::Unattended(const UnattendedMode& mode, shell::Windows& windows) : mode_(mode), windows_(windows) {
    loginPaint_ = std::make_unique<FirstPaint>([this] { loginShown(); });
    windows_.Form1->installEventFilter(loginPaint_.get());
    mainPaint_ = std::make_unique<FirstPaint>([this] { mainShown(); });
    windows_.Form2->installEventFilter(mainPaint_.get());
}

Unattended::~Unattended() = default;

// The login window as it comes up; then the log-in itself, as a correct password would do it.
void Unattended::loginShown() {
    if (mode_.measure)
        std::printf("login window shown after %lld ms from main (at %lld ms since the epoch)\n", msSince(mode_.started),
                    epochMs());
    if (!mode_.screenshotDir.isEmpty()) {
        QDir dir(mode_.screenshotDir);
        dir.mkpath(".");
        savePng(windows_.Form1->grab(), dir.filePath("login-window.png"));
    }
    windows_.Form1->enterMainWindow();
}

void Unattended::mainShown() {
    shell::TForm2& form2 = *windows_.Form2;
    if (mode_.measure)
        std::printf("main window shown after %lld ms from main (at %lld ms since the epoch)\n", msSince(mode_.started),
                    epochMs());
    if (mode_.withRadio) {
        windows_.Form5->show();
        const auto readStart = Clock::now();
        windows_.Form5->Button1Click();
        if (mode_.measure)
            std::printf("full read in %lld ms, progress %d, VmRSS %ld KiB\n", msSince(readStart),
                        windows_.Form5->progressBar()->value(), residentKiB());
    }
    if (!mode_.screenshotDir.isEmpty()) {
        QDir dir(mode_.screenshotDir);
        dir.mkpath(".");
        static const char* names[] = {"1-upper-channels", "2-upper-settings", "3-lower-channels", "4-lower-settings",
                                      "5-general",        "6-dtmf",           "7-limits"};
        for (int i = 0; i < form2.pageControl()->count(); ++i) {
            form2.pageControl()->setCurrentIndex(i);
            QApplication::processEvents();
            savePng(form2.grab(), dir.filePath(QString("page-%1.png").arg(names[i])));
        }
        // A cell editor open over its cell: the transmit tone of channel 3.
        form2.pageControl()->setCurrentIndex(0);
        shell::StringGrid* grid = form2.channelPage(image::Band::Upper)->grid();
        grid->setCurrentIndex(grid->model()->index(2, image::kColTxTone));
        QApplication::processEvents();
        savePng(form2.grab(), dir.filePath("page-1-upper-channels-editor.png"));
    }
    QApplication::quit();
}

}  // namespace app
