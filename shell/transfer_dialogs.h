// TForm5 "读频" and TForm6 "写频": the full read and the full write, each a modal dialog with
// a progress bar of 136 blocks. While the procedure runs both buttons are disabled and the
// dialog cannot be closed; afterwards the result is shown and the dialog closes itself.
//
// Both run the link's safe pipelines (link/pipelines.h): every full read keeps a raw backup
// of what it received, named with the port. The write dialog has two options: "写前备份"
// (ticked at first) reads the radio into a scratch state and backs it up before anything is
// written, and "写后校验" reads the radio back after a successful write and compares every
// byte sent.
#pragma once

#include <functional>
#include <string>

#include <QDialog>

#include "editor/session.h"
#include "link/link.h"

class QCheckBox;
class QProgressBar;
class QPushButton;

namespace shell {

class TransferDialog : public QDialog {
    Q_OBJECT
public:
    QProgressBar* progressBar() const { return ProgressBar1_; }
    QPushButton* startButton() const { return Button1_; }
    bool running() const { return running_; }

    // Button1Click: runs the procedure, tells how it ended, closes the dialog.
    void Button1Click();
    // Button2Click (取消): closes the dialog; while a read runs, stops it at the next block
    // boundary instead ("EXIT" is sent, what was read stays). Escape does the same.
    void Button2Click();

signals:
    // The procedure has ended ("EXIT" has left) and this is what to tell, the dialog still
    // open over its parent.
    void ended(const editor::Report& report);

protected:
    // The procedure fills or writes the session's state over `radio`, on the port `portName`
    // names (for the backups' names).
    TransferDialog(QWidget* parent, editor::Session& session, radiolink::Radio& radio,
                   std::function<std::string()> portName, const char* caption, int height);
    virtual radiolink::Result procedure(const radiolink::Progress& progress) = 0;
    // Whether 取消 stops the running procedure (the read); a write runs to its end.
    virtual bool stoppable() const { return false; }
    // The progress bar shows the named step of a procedure of several ("" for none).
    void showStep(const QString& step);
    editor::Session& session_;
    radiolink::Radio& radio_;
    std::function<std::string()> portName_;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QProgressBar* ProgressBar1_;
    QPushButton* Button1_;
    QPushButton* Button2_;
    bool running_ = false;
    bool stopAsked_ = false;
};

class TForm5 : public TransferDialog {
    Q_OBJECT
public:
    TForm5(QWidget* parent, editor::Session& session, radiolink::Radio& radio, std::function<std::string()> portName);

protected:
    radiolink::Result procedure(const radiolink::Progress& progress) override;
    bool stoppable() const override { return true; }
};

class TForm6 : public TransferDialog {
    Q_OBJECT
public:
    TForm6(QWidget* parent, editor::Session& session, radiolink::Radio& radio, std::function<std::string()> portName);
    QCheckBox* CheckBox1() const { return CheckBox1_; }  // 写前备份
    QCheckBox* CheckBox2() const { return CheckBox2_; }  // 写后校验

protected:
    radiolink::Result procedure(const radiolink::Progress& progress) override;

private:
    QCheckBox* CheckBox1_;
    QCheckBox* CheckBox2_;
};

}  // namespace shell
