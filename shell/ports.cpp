// The main window's port bar: the list of ports, read again as it drops down, the port used
// last, and the opening of the selected port when a procedure needs it.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>

#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/qt_text.h"

namespace shell {
namespace {

// The port list, read again as it drops down, so an adapter plugged in after the start is
// there without a restart.
class PortBox : public QComboBox {
public:
    PortBox(std::function<void()> beforePopup, QWidget* parent)
        : QComboBox(parent), beforePopup_(std::move(beforePopup)) {}
    void showPopup() override {
        beforePopup_();
        QComboBox::showPopup();
    }

private:
    std::function<void()> beforePopup_;
};

constexpr const char* kLastPortKey = "ports/last";

constexpr const char* kPortNotOpen = "串口打不开!";

}  // namespace

QWidget* TForm2::buildPortBar() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    Label1_ = new QLabel(Say(editor::kLabel1Caption), panel);
    Label1_->setObjectName("Label1");
    ComboBox1_ = new PortBox([this] { refreshPorts(); }, panel);
    ComboBox1_->setObjectName("ComboBox1");
    Label1_->setBuddy(ComboBox1_);
    ComboBox1_->setAccessibleDescription(Say("电台所接的串口, 读频和写频用它"));
    ComboBox1_->setEditable(false);
    ComboBox1_->setMinimumWidth(160);
    ComboBox1_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row->addWidget(Label1_);
    row->addWidget(ComboBox1_);
    row->addStretch(1);
    connect(ComboBox1_, &QComboBox::activated, this, &TForm2::ComboBox1Click);
    return panel;
}

void TForm2::showPortBar() {
    const QSignalBlocker blocker(ComboBox1_);
    ComboBox1_->clear();
    for (const auto& name : portBar_.Items) ComboBox1_->addItem(text(options_.portLabel(name)), text(name));
    ComboBox1_->setCurrentIndex(portBar_.ItemIndex);
    panels_[0]->setText(Say(portBar_.Panel0));  // the bar keeps its texts as the core made them
    panels_[0]->setToolTip(text(portBar_.Panel0Reason));
}

void TForm2::refreshPorts() {
    portBar_.Refresh(options_.portList());
    showPortBar();
}

void TForm2::ComboBox1Click(int index) {
    // A procedure waiting on the port keeps it until it ends.
    if (!refuseWhileBusy() && portBar_.ComboBox1Click(comm_, index)) rememberPort(portBar_.SelectedName());
    showPortBar();
}

std::string TForm2::lastPort() const {
    if (!options_.rememberPort) return {};
    return OpenSettings(options_.settingsFile)->value(kLastPortKey).toString().toStdString();
}

void TForm2::rememberPort(const std::string& name) {
    if (!options_.rememberPort) return;
    // Unwritable settings cost only the choice at the next start.
    OpenSettings(options_.settingsFile)->setValue(kLastPortKey, text(name));
}

// A procedure needs the selected port open. One that did not open (another program held it,
// the cable was out) is tried again now; when it still cannot be opened the operator is told
// why, never that the radio does not answer on a port that never opened.
editor::Report TForm2::portReady() {
    if (comm_.IsOpen()) return {};
    const bool opened = portBar_.ItemIndex >= 0 && portBar_.ComboBox1Click(comm_, portBar_.ItemIndex);
    showPortBar();
    if (opened) {
        rememberPort(portBar_.SelectedName());
        return {};
    }
    if (portBar_.ItemIndex < 0) return editor::Report::Information(base::Tr(editor::kNoSerialPort));
    return editor::Report::Information(base::Tr(kPortNotOpen), portBar_.Panel0Reason);
}

}  // namespace shell
