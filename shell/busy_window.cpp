#include "shell/busy_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "shell/qt_text.h"

namespace shell {

BusyWindow::BusyWindow(QWidget* parent, const QString& caption)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName("BusyWindow");
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Say("%1, 请稍候...", caption.toStdString()), this);
    auto* bar = new QProgressBar(this);
    bar->setAccessibleName(caption);
    bar->setRange(0, 0);  // no steps to show: it moves while the procedure runs
    layout->addWidget(label);
    layout->addWidget(bar);
    setFixedSize(300, 90);
    show();
}

BusyWindow::~BusyWindow() { hide(); }

void BusyWindow::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace shell
