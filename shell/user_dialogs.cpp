#include "shell/user_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "shell/edit_events.h"
#include "shell/prompter.h"
#include "shell/qt_text.h"
#include "users/user_files.h"

namespace shell {
namespace {

QLineEdit* addEdit(QWidget* parent, const char* name, const char* label, const char* labelName, int y,
                   bool password) {
    auto* caption = new QLabel(Say(label), parent);
    caption->setObjectName(labelName);
    caption->setGeometry(40, y, 72, 24);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(118, y, 160, 24);
    caption->setBuddy(edit);
    if (password) ShowAsStars(edit);
    return edit;
}

}  // namespace

UserDialog::UserDialog(QWidget* form2, Prompter& prompter, std::string userDir, const char* caption, QSize client)
    : QDialog(form2, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      prompter_(prompter),
      dir_(std::move(userDir)) {
    setWindowTitle(Say(caption));
    setModal(true);
    setFixedSize(client);
    Button1_ = new QPushButton(Say("修改"), this);
    Button1_->setObjectName("Button1");
    Button1_->setGeometry(56, client.height() - 56, 80, 30);
    Button2_ = new QPushButton(Say("取消"), this);
    Button2_->setObjectName("Button2");
    Button2_->setGeometry(client.width() - 136, client.height() - 56, 80, 30);
    // Enter in an edit clicks no button.
    Button1_->setAutoDefault(false);
    Button2_->setAutoDefault(false);
    // Button2Click: the dialog closes, nothing saved.
    connect(Button2_, &QPushButton::clicked, this, &QDialog::reject);
}

void UserDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    const QList<QLineEdit*> edits = findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly);
    if (edits.isEmpty()) return;
    // The buttons were made before the edits, and the Tab order is the order of making.
    QWidget* previous = edits.constFirst();
    for (QWidget* next : {static_cast<QWidget*>(edits.constLast()), static_cast<QWidget*>(Button1_), static_cast<QWidget*>(Button2_)}) {
        if (next != previous) setTabOrder(previous, next);
        previous = next;
    }
    edits.constFirst()->setFocus(Qt::OtherFocusReason);
}

void UserDialog::finish(const base::Outcome<>& result) {
    if (result.ok()) {
        accept();
        return;
    }
    if (result.kind == base::ErrorKind::BadData)
        prompter_.information(this, text(result.error));
    else
        prompter_.error(this, text(result.error));
}

TForm3::TForm3(QWidget* form2, Prompter& prompter, std::string userDir)
    : UserDialog(form2, prompter, std::move(userDir), "修改密码", QSize(321, 186)) {
    setObjectName("Form3");
    Edit1_ = addEdit(this, "Edit1", "旧密码:", "Label1", 32, true);
    Edit2_ = addEdit(this, "Edit2", "新密码:", "Label2", 76, true);
    connect(Button1_, &QPushButton::clicked, this, &TForm3::Button1Click);
}

void TForm3::Button1Click() {
    const base::Outcome<> result = users::ChangePassword(dir_, Edit1_->text().toStdString(), Edit2_->text().toStdString());
    // No password stays behind in the hidden dialog once it has been changed.
    if (result.ok()) {
        Edit1_->clear();
        Edit2_->clear();
    }
    finish(result);
}

TForm4::TForm4(QWidget* form2, Prompter& prompter, std::string userDir)
    : UserDialog(form2, prompter, std::move(userDir), "备注", QSize(318, 136)), form2_(form2) {
    setObjectName("Form4");
    Edit1_ = addEdit(this, "Edit1", "公司名称:", "Label1", 30, false);
    connect(Button1_, &QPushButton::clicked, this, &TForm4::Button1Click);
}

void TForm4::Button1Click() {
    const std::string name = Edit1_->text().toStdString();
    const base::Outcome<> result = users::SaveCompanyName(dir_, name);
    finish(result);
    if (result.ok() && form2_) form2_->setWindowTitle(Edit1_->text());
}

}  // namespace shell
