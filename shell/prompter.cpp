#include "shell/prompter.h"
#include "shell/path_bytes.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace shell {
namespace {

// Neither dialog adds a suffix, asks before replacing a file, or insists that the file
// exists: Open reports a missing file itself, with the system's reason.
std::optional<QString> runFileDialog(QWidget* parent, const QString& title, const QString& filter,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

// A long detail (a list of bad lines) shows its first lines and the rest on request.
void setDetail(QMessageBox& box, const QString& detail) {
    if (detail.isEmpty()) return;
    constexpr int kShown = 12;
    const QStringList lines = detail.split('\n');
    if (lines.size() <= kShown) {
        box.setInformativeText(detail);
        return;
    }
    box.setInformativeText(lines.mid(0, kShown).join('\n') + "\n...");
    box.setDetailedText(detail);
}

}  // namespace

void DialogPrompter::information(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(kBoxCaption), text, QMessageBox::Ok, parent);
    setDetail(box, detail);
    box.exec();
}

bool DialogPrompter::question(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kBoxCaption), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    setDetail(box, detail);
    return box.exec() == QMessageBox::Yes;
}

void DialogPrompter::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QString::fromUtf8(kBoxCaption), text);
}

std::optional<QString> DialogPrompter::openFileName(QWidget* parent, const QString& title, const QString& filter) {
    return runFileDialog(parent, title, filter, QFileDialog::AcceptOpen);
}

std::optional<QString> DialogPrompter::saveFileName(QWidget* parent, const QString& title, const QString& filter) {
    return runFileDialog(parent, title, filter, QFileDialog::AcceptSave);
}

std::optional<int> DialogPrompter::number(QWidget* parent, const QString& text, int value, int minimum, int maximum) {
    bool ok = false;
    const int chosen = QInputDialog::getInt(parent, QString::fromUtf8(kBoxCaption), text, value, minimum, maximum, 1, &ok);
    if (!ok) return std::nullopt;
    return chosen;
}

std::optional<QString> DialogPrompter::text(QWidget* parent, const QString& label, const QString& initial) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent, QString::fromUtf8(kBoxCaption), label, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return answer;
}

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::optional<std::string> systemName(const std::optional<QString>& name) {
    if (!name) return std::nullopt;
    return shell::PathBytes(*name);
}

}  // namespace

bool PrompterOperator::confirm(const std::string& question, const std::string& detail) {
    return prompter_.question(parent_, qs(question), qs(detail));
}

std::optional<std::string> PrompterOperator::fileToOpen(const std::string& title, const std::string& filter) {
    return systemName(prompter_.openFileName(parent_, qs(title), qs(filter)));
}

std::optional<std::string> PrompterOperator::fileToSave(const std::string& title, const std::string& filter) {
    return systemName(prompter_.saveFileName(parent_, qs(title), qs(filter)));
}

std::optional<int> PrompterOperator::number(const std::string& question, int value, int minimum, int maximum) {
    return prompter_.number(parent_, qs(question), value, minimum, maximum);
}

std::optional<std::string> PrompterOperator::text(const std::string& label, const std::string& initial) {
    const std::optional<QString> answer = prompter_.text(parent_, qs(label), qs(initial));
    if (!answer) return std::nullopt;
    return answer->toStdString();
}

void PrompterOperator::tell(const editor::Report& report) {
    switch (report.kind) {
    case editor::Report::Kind::Nothing:
        return;
    case editor::Report::Kind::Information:
        prompter_.information(parent_, qs(report.text), qs(report.detail));
        return;
    case editor::Report::Kind::Error:
        prompter_.error(parent_, qs(report.text));
        return;
    }
}

}  // namespace shell
