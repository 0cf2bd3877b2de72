#include "shell/transfer_dialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>

#include "image/transfer.h"
#include "link/backups.h"
#include "shell/main_window.h"
#include "shell/prompter.h"

namespace shell {

TransferDialog::TransferDialog(TForm2& form2, const char* caption, int height)
    : QDialog(&form2, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      form2_(form2) {
    setWindowTitle(QString::fromUtf8(caption));
    setModal(true);
    setFixedSize(449, height);

    ProgressBar1_ = new QProgressBar(this);
    ProgressBar1_->setObjectName("ProgressBar1");
    ProgressBar1_->setRange(0, image::kBlockCount);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setGeometry(24, 28, 401, 24);

    Button1_ = new QPushButton(QString::fromUtf8(caption), this);
    Button1_->setObjectName("Button1");
    Button1_->setGeometry(96, height - 60, 97, 32);
    Button2_ = new QPushButton(QString::fromUtf8("取消"), this);
    Button2_->setObjectName("Button2");
    Button2_->setGeometry(256, height - 60, 97, 32);
    Button1_->setAutoDefault(false);
    Button2_->setAutoDefault(false);

    connect(Button1_, &QPushButton::clicked, this, &TransferDialog::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TransferDialog::reject);
}

void TransferDialog::showEvent(QShowEvent* event) {
    ProgressBar1_->setValue(0);  // FormShow
    showStep({});
    QDialog::showEvent(event);
}

void TransferDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TransferDialog::reject() {
    if (!running_) QDialog::reject();
}

void TransferDialog::showStep(const QString& step) {
    ProgressBar1_->setFormat(step.isEmpty() ? QString("%p%") : step + " %p%");
}

std::string TransferDialog::keepBackup(const std::vector<std::uint8_t>& raw) {
    std::string error;
    const std::string path = radiolink::SaveBackup(raw, form2_.Comm1().CommName(), error);
    if (path.empty()) errorsAfter_ << "The raw backup of the read could not be saved: " + QString::fromStdString(error);
    return path;
}

void TransferDialog::Button1Click() {
    if (running_) return;
    running_ = true;
    errorsAfter_.clear();
    Button1_->setEnabled(false);
    Button2_->setEnabled(false);
    const radiolink::Result result = procedure([this](int done) { ProgressBar1_->setValue(done); });
    running_ = false;
    Button1_->setEnabled(true);
    Button2_->setEnabled(true);
    form2_.showState();
    if (!result.message.empty())
        form2_.prompter().information(this, QString::fromStdString(result.message),
                                      QString::fromStdString(result.detail));
    for (const QString& error : errorsAfter_) form2_.prompter().error(this, error);
    accept();
}

namespace {

void addLine(std::string& detail, const std::string& line) {
    if (line.empty()) return;
    if (!detail.empty()) detail += "\n";
    detail += line;
}

std::string backupLine(const std::string& path) { return path.empty() ? std::string() : "backup: " + path; }

}  // namespace

TForm5::TForm5(TForm2& form2) : TransferDialog(form2, "读频", 148) { setObjectName("Form5"); }

radiolink::Result TForm5::procedure(const radiolink::Progress& progress) {
    std::vector<std::uint8_t> raw;
    radiolink::Result result = radiolink::ReadRadio(form2_.radio(), form2_.state(), progress, &raw);
    // Kept whether the read succeeded or not; a backup that cannot be saved does not change
    // the read's result.
    if (!raw.empty()) addLine(result.detail, backupLine(keepBackup(raw)));
    return result;
}

TForm6::TForm6(TForm2& form2) : TransferDialog(form2, "写频", 157) {
    setObjectName("Form6");
    CheckBox1_ = new QCheckBox(QString::fromUtf8("写前备份"), this);
    CheckBox1_->setObjectName("CheckBox1");
    CheckBox1_->setToolTip(QString::fromUtf8("写频前先读取电台, 把读到的数据备份"));
    CheckBox1_->setGeometry(96, 62, 120, 24);
    CheckBox2_ = new QCheckBox(QString::fromUtf8("写后校验"), this);
    CheckBox2_->setObjectName("CheckBox2");
    CheckBox2_->setToolTip(QString::fromUtf8("写频后读回电台, 逐字节与写入的数据比较"));
    CheckBox2_->setGeometry(256, 62, 120, 24);
}

radiolink::Result TForm6::procedure(const radiolink::Progress& progress) {
    radiolink::Radio& radio = form2_.radio();
    const image::EditorState& state = form2_.state();
    const bool backup = CheckBox1_->isChecked(), verify = CheckBox2_->isChecked();
    // A field that cannot be encoded stops the write before anything is sent, and before a
    // backup is read for it.
    if (!image::BuildWriteFrames(state).ok() || (!backup && !verify)) return radiolink::WriteRadio(radio, state, progress);

    std::string backupPath;
    if (backup) {
        showStep(CheckBox1_->text());
        image::EditorState scratch;
        std::vector<std::uint8_t> raw;
        radiolink::Result read = radiolink::ReadRadio(radio, scratch, progress, &raw);
        std::string error;
        backupPath = radiolink::SaveBackup(raw, form2_.Comm1().CommName(), error);
        if (!read.ok) {
            read.detail = "nothing was written; the read before it failed at " + read.detail;
            addLine(read.detail, backupLine(backupPath));
            if (backupPath.empty()) errorsAfter_ << "The raw backup of the read could not be saved: " + QString::fromStdString(error);
            return read;
        }
        if (backupPath.empty()) {
            errorsAfter_ << "Nothing was written: the backup of the radio could not be saved: " +
                                QString::fromStdString(error);
            return {false, "", "", read.progress};
        }
        progress(0);
    }

    showStep(QString::fromUtf8("写频"));
    radiolink::Result result = radiolink::WriteRadio(radio, state, progress);
    if (result.ok && verify) {
        showStep(CheckBox2_->text());
        progress(0);
        result = radiolink::VerifyRadio(radio, image::BuildWriteFrames(state).frames, progress);
        if (result.ok) result.detail = "verified: every byte written reads back the same";
        else result.detail = "verify: " + result.detail;
    }
    addLine(result.detail, backupLine(backupPath));
    return result;
}

}  // namespace shell
