// TForm5 "读频" and TForm6 "写频": the full read and the full write, each a modal dialog with
// a progress bar of 136 blocks. While the procedure runs both buttons are disabled and the
// dialog cannot be closed; afterwards the result is shown and the dialog closes itself.
#pragma once

#include <QDialog>

#include "link/link.h"

class QProgressBar;
class QPushButton;

namespace shell {

class TForm2;

class TransferDialog : public QDialog {
    Q_OBJECT
public:
    QProgressBar* progressBar() const { return ProgressBar1_; }
    QPushButton* startButton() const { return Button1_; }
    bool running() const { return running_; }

    // Button1Click: runs the procedure, shows its result, closes the dialog.
    void Button1Click();

protected:
    TransferDialog(TForm2& form2, const char* caption, int height);
    virtual radiolink::Result procedure(const radiolink::Progress& progress) = 0;
    TForm2& form2_;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    QProgressBar* ProgressBar1_;
    QPushButton* Button1_;
    QPushButton* Button2_;
    bool running_ = false;
};

class TForm5 : public TransferDialog {
    Q_OBJECT
public:
    explicit TForm5(TForm2& form2);

protected:
    radiolink::Result procedure(const radiolink::Progress& progress) override;
};

class TForm6 : public TransferDialog {
    Q_OBJECT
public:
    explicit TForm6(TForm2& form2);

protected:
    radiolink::Result procedure(const radiolink::Progress& progress) override;
};

}  // namespace shell
