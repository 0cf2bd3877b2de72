#include "app/unattended.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QBuffer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include "base/text.h"
#include "files/atomic_write.h"
#include "link/messages.h"
#include "shell/busy_window.h"
#include "shell/channel_grid.h"
#include "shell/connection_check.h"
#include "shell/fleet_dialog.h"
#include "shell/login_window.h"
#include "shell/qt_text.h"
#include "shell/transfer_dialogs.h"
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

// A dialog as it first shows, then hidden again.
void saveShown(QWidget* dialog, const QString& path) {
    dialog->show();
    QApplication::processEvents();
    savePng(dialog->grab(), path);
    dialog->hide();
}

// A box as the program shows one (shell/prompter.cpp), not run.
void saveBox(QWidget* parent, QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
             const QString& path) {
    QMessageBox box(icon, QString::fromUtf8(shell::kBoxCaption), text, buttons, parent);
    saveShown(&box, path);
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

std::optional<QString> EchoPrompter::saveFileName(QWidget*, const QString&, const QString&) {
    if (saveAs.isEmpty()) return std::nullopt;
    return saveAs;
}

Unattended::Unattended(const UnattendedMode& mode, shell::Windows& windows, EchoPrompter& prompter)
    : mode_(mode), windows_(windows), prompter_(prompter) {
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
    if (mode_.roundTrip.isEmpty()) {
        windows_.Form1->enterMainWindow();
        return;
    }
    // The round trip logs in as the operator does, with the password typed (none: the user
    // files are new), through the login window's own check.
    windows_.Form1->Edit1()->clear();
    windows_.Form1->Button1()->click();
    if (!windows_.Form2->isVisible()) {
        std::cout << "the login was refused" << std::endl;
        QApplication::exit(1);
    }
}

void Unattended::mainShown() {
    shell::TForm2& form2 = *windows_.Form2;
    if (mode_.measure)
        std::printf("main window shown after %lld ms from main (at %lld ms since the epoch)\n", msSince(mode_.started),
                    epochMs());
    bool succeeded = true;
    if (!mode_.roundTrip.isEmpty()) {
        succeeded = roundTrip();
    } else if (mode_.withRadio) {
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
        saveDialogs(dir);
    }
    QApplication::exit(succeeded ? 0 : 1);
}

// Every dialog and a box of each kind, as they first show over the main window, so that one run
// in each language pictures every window.
void Unattended::saveDialogs(const QDir& dir) {
    shell::TForm2& form2 = *windows_.Form2;
    const auto path = [&dir](const char* name) { return dir.filePath(QString("%1.png").arg(name)); };
    saveShown(windows_.Form5, path("dialog-read"));
    saveShown(windows_.Form6, path("dialog-write"));
    saveShown(windows_.Form3, path("dialog-password"));
    saveShown(windows_.Form4, path("dialog-remark"));
    {
        // The batch over the ports the port bar lists, as 批量写频 opens it.
        auto* bar = form2.findChild<QComboBox*>("ComboBox1");
        std::vector<std::string> ports;
        std::map<std::string, std::string> labels;
        for (int i = 0; bar && i < bar->count(); ++i) {
            ports.push_back(bar->itemData(i).toString().toStdString());
            labels[ports.back()] = bar->itemText(i).toStdString();
        }
        shell::FleetDialog fleet(&form2, prompter_, form2.state(), ports,
                                 [&labels](const std::string& port) { return labels[port]; },
                                 ports.empty() ? std::string() : ports.front());
        saveShown(&fleet, path("dialog-fleet"));
    }
    // The window in front while a single block is read or written (the limits page's buttons),
    // and the one of 检测连接.
    {
        shell::BusyWindow busy(&form2, shell::Say("写入开机信息"));
        QApplication::processEvents();
        savePng(busy.grab(), path("dialog-block"));
    }
    {
        shell::BusyWindow busy(&form2, shell::Say(shell::kChecking));
        QApplication::processEvents();
        savePng(busy.grab(), path("dialog-check"));
    }
    saveBox(&form2, QMessageBox::Information, shell::Say(radiolink::kReadOk), QMessageBox::Ok, path("box-information"));
    saveBox(&form2, QMessageBox::Question, shell::Say(shell::kOfferCheck), QMessageBox::Yes | QMessageBox::No,
            path("box-question"));
    // What choosing another language tells.
    saveBox(&form2, QMessageBox::Information, shell::Say("程序下次启动时使用这个语言。"), QMessageBox::Ok,
            path("box-language"));
}

// The operator's way: 读频 in its dialog, 保存 into the file, 写频 in its dialog (a backup
// first and a verifying read after, as the dialog's boxes are ticked at first). True when
// the read and the write said they succeeded and the file is there.
bool Unattended::roundTrip() {
    std::string read, written;
    const auto told = [](std::string& into) {
        return [&into](const editor::Report& report) { into = report.text; };
    };
    QObject::connect(windows_.Form5, &shell::TransferDialog::ended, windows_.Form5, told(read));
    QObject::connect(windows_.Form6, &shell::TransferDialog::ended, windows_.Form6, told(written));
    windows_.Form5->show();
    windows_.Form5->Button1Click();
    std::cout << "read: " << read << std::endl;
    if (read != base::Tr(radiolink::kReadOk)) return false;  // the verdict as said
    prompter_.saveAs = mode_.roundTrip;
    windows_.Form2->findChild<QAction*>("N3")->trigger();
    if (!QFile::exists(mode_.roundTrip)) {
        std::cout << "not saved: " << shell::PathBytes(mode_.roundTrip) << std::endl;
        return false;
    }
    std::cout << "saved: " << shell::PathBytes(mode_.roundTrip) << std::endl;
    windows_.Form6->show();
    windows_.Form6->Button1Click();
    std::cout << "written: " << written << std::endl;
    return written == base::Tr(radiolink::kWriteOk);
}

}  // namespace app
