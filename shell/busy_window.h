// A small window in front of the main window while a short procedure holds the radio: it
// takes every click and key (it is application-modal), cannot be closed by the operator, and
// goes away with the procedure.
#pragma once

#include <QDialog>

namespace shell {

class BusyWindow : public QDialog {
    Q_OBJECT
public:
    BusyWindow(QWidget* parent, const QString& caption);  // shown at once
    ~BusyWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override {}
};

}  // namespace shell
