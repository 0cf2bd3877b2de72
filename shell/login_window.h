// TForm1, the login window: the first window of the program, shown before the main window.
// A correct password hides it for the rest of the run and shows the main window under its
// caption; closing it ends the program. Its caption (the company name) and background
// picture come from the user files in the folder "image".
#pragma once

#include <functional>
#include <string>

#include <QImage>
#include <QWidget>

#include "base/outcome.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {

class Prompter;

// The folder of the user files: `chosen` when given (--user-dir); otherwise "image" beside
// the program where that is writable, else in the per-user data folder.
std::string UserFolder(const std::string& chosen);
// A folder that does not exist yet is made with its defaults (the company name "Velkor", the
// built-in picture, the empty password), so a new user logs in with an empty password. One
// that exists is left as it is: a file missing later is reported, not replaced.
base::Outcome<> PrepareUserFolder(const std::string& dir);

class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1(Prompter& prompter, std::string userDir, std::function<void()> terminate);

    // The window that a correct password shows.
    void setMainWindow(QWidget* form2) { form2_ = form2; }

    QLabel* Image1() const { return Image1_; }
    QLineEdit* Edit1() const { return Edit1_; }
    QPushButton* Button1() const { return Button1_; }
    QPushButton* Button2() const { return Button2_; }
    // The picture Image1 shows, as decoded (before stretching).
    const QImage& picture() const { return picture_; }

    // FormShow: the background file into Image1, then the company name as the caption. A
    // file that cannot be read stops there, with its error shown.
    void FormShow();
    // Log in: the typed password against the password file.
    void Button1Click();
    // Change the background: a picked JPEG is shown and replaces the background file.
    void Button2Click();
    // What a correct password does: this window hidden, the main window shown under its
    // caption.
    void enterMainWindow();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showPicture(const QImage& picture);

    Prompter& prompter_;
    std::string dir_;
    std::function<void()> terminate_;
    QWidget* form2_ = nullptr;
    QImage picture_;
    QLabel* Image1_;
    QLabel* Label1_;
    QLineEdit* Edit1_;
    QPushButton* Button1_;
    QPushButton* Button2_;
};

}  // namespace shell
