#include "shell/transfer_dialogs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QProgressBar>
#include <QPushButton>

#include "image/transfer.h"
#include "link/pipelines.h"
#include "shell/qt_text.h"

namespace shell {

TransferDialog::TransferDialog(QWidget* parent, editor::Session& session, radiolink::Radio& radio,
                               std::function<std::string()> portName, const char* caption, int height)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      session_(session),
      radio_(radio),
      portName_(std::move(portName)) {
    setWindowTitle(Say(caption));
    setModal(true);
    setFixedSize(449, height);

    ProgressBar1_ = new QProgressBar(this);
    ProgressBar1_->setObjectName("ProgressBar1");
    ProgressBar1_->setRange(0, image::kBlockCount);
    ProgressBar1_->setValue(0);
    ProgressBar1_->setGeometry(24, 28, 401, 24);
    ProgressBar1_->setAccessibleName(Say("%1进度", Say(caption).toStdString()));

    Button1_ = new QPushButton(Say(caption), this);
    Button1_->setObjectName("Button1");
    Button1_->setGeometry(96, height - 60, 97, 32);
    Button2_ = new QPushButton(Say("取消"), this);
    Button2_->setObjectName("Button2");
    Button2_->setGeometry(256, height - 60, 97, 32);
    // Enter starts the procedure; Escape (or 取消) closes the dialog. No other button takes
    // Enter, whichever has the focus.
    Button1_->setDefault(true);
    Button2_->setAutoDefault(false);

    connect(Button1_, &QPushButton::clicked, this, &TransferDialog::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &TransferDialog::Button2Click);
}

void TransferDialog::showEvent(QShowEvent* event) {
    ProgressBar1_->setValue(0);  // FormShow
    showStep({});
    QDialog::showEvent(event);
    // Each opening starts on the start button, wherever the focus was left last time: Space
    // on 取消 or on an option would cancel or change what the operator did not mean to.
    Button1_->setFocus(Qt::OtherFocusReason);
}

void TransferDialog::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TransferDialog::reject() {
    // Escape is 取消: it closes the dialog, stops a read that runs, and leaves a write alone.
    if (running_)
        Button2Click();
    else
        QDialog::reject();
}

void TransferDialog::showStep(const QString& step) {
    ProgressBar1_->setFormat(step.isEmpty() ? QString("%p%") : step + " %p%");
}

void TransferDialog::Button1Click() {
    if (running_) return;
    running_ = true;
    stopAsked_ = false;
    Button1_->setEnabled(false);
    Button2_->setEnabled(stoppable());
    radio_.clearStop();
    // A procedure already holding the radio makes this one refuse, which it reports.
    const radiolink::Result result = procedure([this](int done) { ProgressBar1_->setValue(done); });
    running_ = false;
    Button1_->setEnabled(true);
    Button2_->setEnabled(true);
    editor::Report report;
    if (stopAsked_ && result.interrupted)
        report = editor::Report::Information(base::Tr("读频已取消!"),
                                             base::Tr("%1\n已读到的数据留在编辑器中 (撤销可恢复读频前的数据)", result.detail()));
    else if (!result.message.empty())
        report = editor::Report::Information(result.message, result.detail());
    report.radioSilent = result.kind == base::ErrorKind::NoAnswer && !result.ok();
    emit ended(report);
    accept();
}

void TransferDialog::Button2Click() {
    if (!running_) {
        reject();
        return;
    }
    if (!stoppable() || stopAsked_) return;
    stopAsked_ = true;
    Button2_->setEnabled(false);
    radio_.requestStop();
}

TForm5::TForm5(QWidget* parent, editor::Session& session, radiolink::Radio& radio, std::function<std::string()> portName)
    : TransferDialog(parent, session, radio, std::move(portName), "读频", 148) {
    setObjectName("Form5");
    startButton()->setAccessibleDescription(Say("从电台读取全部信道和设置"));
}

radiolink::Result TForm5::procedure(const radiolink::Progress& progress) {
    return radiolink::ReadKeepingBackup(radio_, session_.state(), portName_(), progress);
}

TForm6::TForm6(QWidget* parent, editor::Session& session, radiolink::Radio& radio, std::function<std::string()> portName)
    : TransferDialog(parent, session, radio, std::move(portName), "写频", 157) {
    setObjectName("Form6");
    startButton()->setAccessibleDescription(Say("把全部信道和设置写入电台"));
    CheckBox1_ = new QCheckBox(Say("写前备份"), this);
    CheckBox1_->setObjectName("CheckBox1");
    CheckBox1_->setToolTip(Say("写频前先读取电台, 把读到的数据备份"));
    CheckBox1_->setGeometry(96, 62, 120, 24);
    CheckBox1_->setChecked(true);  // a write is not undone without a backup of what it replaced
    CheckBox2_ = new QCheckBox(Say("写后校验"), this);
    CheckBox2_->setObjectName("CheckBox2");
    CheckBox2_->setToolTip(Say("写频后读回电台, 逐字节与写入的数据比较"));
    CheckBox2_->setGeometry(256, 62, 120, 24);
}

radiolink::Result TForm6::procedure(const radiolink::Progress& progress) {
    const radiolink::WritePlan plan{CheckBox1_->isChecked(), CheckBox2_->isChecked()};
    return radiolink::WriteSafely(radio_, session_.state(), plan, portName_(), progress,
                                  [this](radiolink::Step step) {
                                      showStep(step == radiolink::Step::Backup  ? CheckBox1_->text()
                                               : step == radiolink::Step::Write ? Say("写频")
                                                                                : CheckBox2_->text());
                                  });
}

}  // namespace shell
