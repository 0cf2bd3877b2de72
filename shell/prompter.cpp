#include "shell/prompter.h"

#include <QFileDialog>
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

}  // namespace

void DialogPrompter::information(QWidget* parent, const QString& text, const QString& detail) {
    QMessageBox box(QMessageBox::Information, QString::fromUtf8(kBoxCaption), text, QMessageBox::Ok, parent);
    if (!detail.isEmpty()) box.setInformativeText(detail);
    box.exec();
}

bool DialogPrompter::question(QWidget* parent, const QString& text) {
    return QMessageBox::question(parent, QString::fromUtf8(kBoxCaption), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
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

}  // namespace shell
