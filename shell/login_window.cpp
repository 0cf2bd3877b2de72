#include "shell/login_window.h"

#include <algorithm>
#include <filesystem>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

#include "shell/edit_events.h"
#include "shell/prompter.h"
#include "users/jpeg.h"
#include "users/login_picture.h"
#include "users/user_files.h"
#include "files/path.h"
#include "shell/path_bytes.h"
#include "shell/qt_text.h"

namespace shell {
namespace {

namespace fs = std::filesystem;

std::string localPath(const QString& path) { return shell::PathBytes(path); }
std::string join(const std::string& dir, const char* name) { return files::TextOf(files::PathOf(dir) / name); }

QImage toImage(const users::Picture& picture) {
    return QImage(picture.rgb.data(), picture.width, picture.height, picture.width * 3, QImage::Format_RGB888).copy();
}

}  // namespace

std::string UserFolder(const std::string& chosen) {
    return users::ChooseFolder(localPath(QCoreApplication::applicationDirPath()),
                               localPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)), chosen);
}

base::Outcome<> PrepareUserFolder(const std::string& dir) {
    std::error_code ec;
    if (fs::exists(files::PathOf(dir), ec)) return {};
    return users::PrepareFolder(dir);
}

TForm1::TForm1(Prompter& prompter, std::string userDir, std::function<void()> terminate)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompter_(prompter),
      dir_(std::move(userDir)),
      terminate_(std::move(terminate)) {
    setObjectName("Form1");
    setWindowTitle(users::kDefaultCompany);
    // The client area is the picture's 640 x 480 (648 x 514 with a Windows frame).
    setFixedSize(640, 480);

    Image1_ = new QLabel(this);
    Image1_->setObjectName("Image1");
    Image1_->setGeometry(0, 0, 640, 480);
    Image1_->setScaledContents(true);  // stretched to fill the window
    showPicture(toImage(users::DecodeJpeg(users::BuiltInPicture()).value));

    // The password row sits on the hills at the foot of the picture.
    Label1_ = new QLabel(Say("密码:"), this);
    Label1_->setObjectName("Label1");
    Label1_->setStyleSheet("color: white; font-weight: bold;");
    // Ends where the edit begins; a longer caption than "密码:" grows to the left.
    Label1_->ensurePolished();  // the bold of the style sheet counts
    const int labelWidth = std::max(48, Label1_->sizeHint().width());
    Label1_->setGeometry(166 - labelWidth, 412, labelWidth, 26);
    Edit1_ = new QLineEdit(this);
    Edit1_->setObjectName("Edit1");
    ShowAsStars(Edit1_);
    Edit1_->setGeometry(170, 412, 170, 26);
    Label1_->setBuddy(Edit1_);
    Edit1_->setAccessibleDescription(Say("回车登入"));
    Button1_ = new QPushButton(Say("登入"), this);
    Button1_->setObjectName("Button1");
    Button1_->setGeometry(352, 410, 80, 30);
    Button2_ = new QPushButton(Say("更换背景"), this);
    Button2_->setObjectName("Button2");
    Button2_->setAccessibleDescription(Say("选择一张 JPEG 图片作为登录背景"));
    Button2_->setGeometry(444, 410, 90, 30);

    connect(Button1_, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TForm1::Button2Click);
    // Edit1KeyPress: Enter logs in exactly as the button does.
    connect(Edit1_, &QLineEdit::returnPressed, this, &TForm1::Button1Click);
    Edit1_->setFocus();
}

void TForm1::showPicture(const QImage& picture) {
    picture_ = picture;
    Image1_->setPixmap(QPixmap::fromImage(picture));
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm1::FormShow() {
    // A picture refused (a folder, too large, no JPEG) leaves the built-in one.
    const auto background = users::LoadBackground(join(dir_, users::kBackgroundFile));
    if (!background.ok()) {
        prompter_.error(this, text(background.error));
        return;
    }
    showPicture(toImage(background.value.picture));
    const auto company = users::ReadFirstLine(join(dir_, users::kCompanyFile));
    if (!company.ok()) {
        prompter_.error(this, text(company.error));
        return;
    }
    setWindowTitle(text(company.value));
}

void TForm1::Button1Click() {
    const auto matches = users::CheckPassword(dir_, Edit1_->text().toStdString());
    if (!matches.ok()) {
        prompter_.error(this, Say("%1\n\n没有密码文件, 任何密码都不能登入。删除文件夹 \"%2\" 后, 下次启动时重新建立, 密码为空。",
                                  matches.error, dir_));
        return;
    }
    if (!matches.value) {
        Edit1_->clear();
        prompter_.information(this, Say("密码错误!"));
        return;
    }
    enterMainWindow();
}

void TForm1::enterMainWindow() {
    Edit1_->clear();  // the password is not kept in a hidden window
    hide();
    if (!form2_) return;
    form2_->setWindowTitle(windowTitle());
    form2_->show();
    form2_->activateWindow();
}

void TForm1::Button2Click() {
    // Whatever comes of it, the operator types the password next.
    struct BackToPassword {
        QLineEdit* edit;
        ~BackToPassword() { edit->setFocus(Qt::OtherFocusReason); }
    } back{Edit1_};
    const auto picked = prompter_.openFileName(this, "Open", "*.jpg");
    if (!picked) return;
    const auto background = users::LoadBackground(localPath(*picked));
    if (!background.ok()) {
        // Neither the picture nor the background file changes.
        prompter_.error(this, text(background.error));
        return;
    }
    showPicture(toImage(background.value.picture));
    // The copy replaces the background file; when it cannot (the file is read-only, the disk
    // full) the picture is shown for this run and the operator is told it will not stay.
    const auto kept = users::WriteBytes(join(dir_, users::kBackgroundFile), background.value.bytes);
    if (!kept.ok()) prompter_.error(this, text(kept.error));
}

void TForm1::closeEvent(QCloseEvent* event) {
    // FormCloseQuery: the close is not refused, and it ends the program.
    event->accept();
    if (terminate_) terminate_();
}

}  // namespace shell
