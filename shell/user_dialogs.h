// The dialogs of the user files, shown modally from the main window's help menu: TForm3
// "修改密码" changes the login password, TForm4 "备注" the company name that is the windows'
// caption. Both keep their edits' text between showings.
#pragma once

#include <string>

#include <QDialog>

#include "base/outcome.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {

class Prompter;

class UserDialog : public QDialog {
    Q_OBJECT
public:
    QPushButton* Button1() const { return Button1_; }
    QPushButton* Button2() const { return Button2_; }

protected:
    UserDialog(QWidget* form2, Prompter& prompter, std::string userDir, const char* caption, QSize client);
    // A handler's result: success closes the dialog; what the operator gave, refused (BadData),
    // is shown as information and the dialog stays; anything else is an error (it stays too).
    void finish(const base::Outcome<>& result);
    // Each opening starts in the first edit; Tab goes through the edits, then the buttons.
    void showEvent(QShowEvent* event) override;

    Prompter& prompter_;
    std::string dir_;
    QPushButton* Button1_;
    QPushButton* Button2_;
};

class TForm3 : public UserDialog {
    Q_OBJECT
public:
    TForm3(QWidget* form2, Prompter& prompter, std::string userDir);
    QLineEdit* Edit1() const { return Edit1_; }  // old password
    QLineEdit* Edit2() const { return Edit2_; }  // new password

    // The old password must match the file; then the file holds the new one (which may be
    // empty) and the dialog closes without a message.
    void Button1Click();

private:
    QLineEdit* Edit1_;
    QLineEdit* Edit2_;
};

class TForm4 : public UserDialog {
    Q_OBJECT
public:
    TForm4(QWidget* form2, Prompter& prompter, std::string userDir);
    QLineEdit* Edit1() const { return Edit1_; }  // company name

    // An empty name is refused; otherwise it is saved, the dialog closes and the main
    // window takes it as its caption at once.
    void Button1Click();

private:
    QWidget* form2_;
    QLineEdit* Edit1_;
};

}  // namespace shell
