#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "codeplug/codeplug.h"
#include "link/comm1.h"
#include "link/trace.h"
#include "serial/port_list.h"
#include "shell/busy_window.h"
#include "shell/channel_grid.h"
#include "shell/icons.h"
#include "shell/prompter.h"
#include "shell/transfer_dialogs.h"

namespace shell {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }
QString utf8(const char* s) { return QString::fromUtf8(s); }

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

std::unique_ptr<QSettings> openSettings(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    // Named as the per-user data folder is: $XDG_CONFIG_HOME/radio/radio.ini.
    const QString name = QCoreApplication::applicationName();
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, name, name);
}

constexpr const char* kPortNotOpen = "串口打不开!";

}  // namespace

TForm2::TForm2(Prompter& prompter, MainWindowOptions options)
    : prompter_(prompter),
      options_(std::move(options)),
      operator_(prompter, this),
      session_(operator_),
      radioLine_({}, [](serial::OwnerQueue& queue) { return std::make_unique<QtPump>(queue); }),
      host_{state_, bindings_, [this](const auto& handler, const std::string& edit) { run(handler, edit); }} {
    if (!options_.portList) options_.portList = [] { return serial::PortList(); };
    if (!options_.portLabel) options_.portLabel = [](const std::string& name) { return serial::PortLabel(name); };
    if (!options_.terminate) options_.terminate = [] { QCoreApplication::quit(); };
    session_.finishEdit = [this] { finishEditing(); };
    session_.radioBusy = [this] { return radio_.busy(); };

    setObjectName("Form2");
    setWindowTitle("Form2");
    // System menu and minimise, no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(1275, 701);

    // FormCreate. The grids' numbers and headings and every control's start-up value are the
    // start-up state itself.
    buildMenus();
    buildToolBar();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildPortBar());
    buildPages();
    layout->addWidget(PageControl1_, 1);
    setCentralWidget(central);
    buildStatusBar();

    // Comm1 with its design settings: software flow control is on until the window is made.
    radiolink::ConfigureComm1(comm_);
    comm_.SetInx_XonXoffFlow(true);
    comm_.SetOutx_XonXoffFlow(true);
    // The port list, and the port used last opened, else the first.
    portBar_.SetItems(options_.portList());
    if (portBar_.OpenAtStartup(comm_, lastPort())) rememberPort(portBar_.SelectedName());
    // All traffic with the radio runs without XON/XOFF: 0x11 and 0x13 are data.
    comm_.SetInx_XonXoffFlow(false);
    comm_.SetOutx_XonXoffFlow(false);

    showPortBar();
    showState();
}

TForm2::~TForm2() {
    dying_ = true;
    if (trace_) radiolink::TraceFile::detach(radio_);
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus)) focus->clearFocus();
    delete takeCentralWidget();
}

image::Outcome<> TForm2::startTrace(const std::string& path) {
    auto trace = std::make_unique<radiolink::TraceFile>();
    if (auto opened = trace->open(path); !opened.ok()) return opened;
    if (trace_) radiolink::TraceFile::detach(radio_);
    trace_ = std::move(trace);
    trace_->attach(radio_);
    return {};
}

void TForm2::setDialogs(QDialog* form3, QDialog* form4, TransferDialog* form5, TransferDialog* form6) {
    form3_ = form3;
    form4_ = form4;
    form5_ = form5;
    form6_ = form6;
    for (TransferDialog* dialog : {form5, form6})
        connect(dialog, &TransferDialog::ended, this, [this](const editor::Report& report) {
            if (!transferEnded()) showReport(report);
        });
}

void TForm2::buildMenus() {
    auto entry = [](QMenu* menu, const char* name, const char* caption) {
        QAction* action = menu->addAction(utf8(caption));
        action->setObjectName(name);
        return action;
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    // Each caption shows its Alt key as "文件(F)" does; "&" marks it for the menu bar.

    QMenu* F1 = bar->addMenu(utf8("文件(&F)"));
    F1->setObjectName("F1");
    N1_ = entry(F1, "N1", "新建");
    N2_ = entry(F1, "N2", "打开");
    N3_ = entry(F1, "N3", "保存");
    // The channels of the current channel page's band, in and out of CHIRP's CSV format.
    N17_ = entry(F1, "N17", "导入CSV");
    N17_->setStatusTip(utf8("从 CHIRP CSV 文件导入当前信道页的信道 (只在上段信道、下段信道页可用)"));
    N18_ = entry(F1, "N18", "导出CSV");
    N18_->setStatusTip(utf8("把当前信道页的信道导出为 CHIRP CSV 文件 (只在上段信道、下段信道页可用)"));
    N4_ = entry(F1, "N4", "退出");
    N1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    N2_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    N3_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // The shortcuts work wherever the focus is in the window, also when nothing has it.
    addActions({N1_, N2_, N3_});

    QMenu* N5 = bar->addMenu(utf8("编辑(&E)"));
    N5->setObjectName("N5");
    N6_ = entry(N5, "N6", "读频");
    N7_ = entry(N5, "N7", "写频");
    entry(N5, "N8", "-------")->setEnabled(false);
    N9_ = entry(N5, "N9", "上段信道");
    N11_ = entry(N5, "N11", "下段信道");
    entry(N5, "N16", "-------")->setEnabled(false);
    buildEditEntries(N5);

    QMenu* N12 = bar->addMenu(utf8("帮助(&H)"));
    N12->setObjectName("N12");
    N13_ = entry(N12, "N13", "备注");
    N14_ = entry(N12, "N14", "修改密码");

    // A top-level entry without sub-entries.
    N15_ = bar->addAction(utf8("退出(&Q)"));
    N15_->setObjectName("N15");

    connect(N1_, &QAction::triggered, this, &TForm2::N1Click);
    connect(N2_, &QAction::triggered, this, &TForm2::N2Click);
    connect(N3_, &QAction::triggered, this, &TForm2::N3Click);
    connect(N17_, &QAction::triggered, this, [this] {
        N17Click();
        record();
    });
    connect(N18_, &QAction::triggered, this, &TForm2::N18Click);
    connect(N4_, &QAction::triggered, this, &TForm2::endProgram);
    connect(N6_, &QAction::triggered, this, &TForm2::N6Click);
    connect(N7_, &QAction::triggered, this, &TForm2::N7Click);
    connect(N9_, &QAction::triggered, this, [this] { PageControl1_->setCurrentIndex(0); });
    connect(N11_, &QAction::triggered, this, [this] { PageControl1_->setCurrentIndex(2); });
    connect(N13_, &QAction::triggered, this, [this] {
        if (form4_) form4_->exec();
    });
    connect(N14_, &QAction::triggered, this, [this] {
        if (form3_) form3_->exec();
    });
    connect(N15_, &QAction::triggered, this, &TForm2::endProgram);
}

void TForm2::buildToolBar() {
    QToolBar* bar = addToolBar("ToolBar1");
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    struct Button {
        int number;
        const char* caption;
        Picture picture;
        QAction* entry;
    };
    // The captions keep their blanks.
    const Button buttons[] = {
        {1, "  新建  ", Picture::New, N1_},    {3, "  打开  ", Picture::Open, N2_},
        {5, "  保存   ", Picture::Save, N3_},  {7, "读频", Picture::Read, N6_},
        {9, "写频", Picture::Write, N7_},      {11, "备注", Picture::Remark, N13_},
        {13, "修改密码", Picture::Password, N14_},
    };
    for (const Button& b : buttons) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QString("ToolButton%1").arg(b.number));
        button->setText(utf8(b.caption));
        button->setIcon(ToolIcon(b.picture));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumSize(55, 52);
        bar->addWidget(button);
        bar->addSeparator();
        // A toolbar button runs its menu entry, so each command has one implementation.
        QAction* entry = b.entry;
        connect(button, &QToolButton::clicked, entry, [entry] { entry->trigger(); });
    }
}

QWidget* TForm2::buildPortBar() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel1");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 4, 8, 4);
    Label1_ = new QLabel(utf8(serial::kLabel1Caption), panel);
    Label1_->setObjectName("Label1");
    ComboBox1_ = new PortBox([this] { refreshPorts(); }, panel);
    ComboBox1_->setObjectName("ComboBox1");
    ComboBox1_->setEditable(false);
    ComboBox1_->setMinimumWidth(160);
    ComboBox1_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row->addWidget(Label1_);
    row->addWidget(ComboBox1_);
    row->addStretch(1);
    connect(ComboBox1_, &QComboBox::activated, this, &TForm2::ComboBox1Click);
    return panel;
}

void TForm2::buildPages() {
    PageControl1_ = new QTabWidget(this);
    PageControl1_->setObjectName("PageControl1");
    PageControl1_->setDocumentMode(true);
    PageControl1_->setUsesScrollButtons(false);
    auto after = [this](const image::Message& message) {
        if (dying_) return;
        record();
        if (!message.empty()) prompter_.information(this, text(message));
        showState();
    };
    upperPage_ = new ChannelPage(state_, image::Band::Upper, after, PageControl1_);
    lowerPage_ = new ChannelPage(state_, image::Band::Lower, after, PageControl1_);
    // What a grid entry cut or reset: one line in the status bar, no box.
    for (ChannelPage* page : {upperPage_, lowerPage_})
        connect(page, &ChannelPage::told, this, &TForm2::tellLine);
    struct Page {
        const char* name;
        const char* caption;
        QWidget* widget;
    };
    const Page pages[] = {
        {"TabSheet1", "上段信道", upperPage_},
        {"TabSheet2", "上段设置", BandPage(host_, image::Band::Upper)},
        {"TabSheet5", "下段信道", lowerPage_},
        {"TabSheet6", "下段设置", BandPage(host_, image::Band::Lower)},
        {"TabSheet3", "综合设置", GeneralPage(host_)},
        {"TabSheet7", "双音频组", DtmfPage(host_)},
        {"TabSheet4", "限频", LimitsPage(host_)},
    };
    for (const Page& p : pages) {
        p.widget->setObjectName(p.name);
        PageControl1_->addTab(p.widget, utf8(p.caption));
    }
    // The grids' context menu: the row operations after 撤销 and 重做.
    for (ChannelPage* page : {upperPage_, lowerPage_}) {
        page->grid()->addActions({undo_, redo_});
        for (QAction* a : rowEntries_) page->grid()->addAction(a);
        page->grid()->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    PageControl1_->setCurrentIndex(0);
    // The next and the previous page from wherever the focus is, round the end as the tabs
    // do: a grid or an edit keeps Ctrl+Tab and Ctrl+PgDn from reaching the tabs otherwise.
    const auto turnPage = [this](int by) {
        const int count = PageControl1_->count();
        PageControl1_->setCurrentIndex((PageControl1_->currentIndex() + by + count) % count);
    };
    const std::pair<QKeyCombination, int> pageKeys[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},           {Qt::CTRL | Qt::Key_PageDown, 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1}, {Qt::CTRL | Qt::Key_PageUp, -1},
    };
    for (const auto& [keys, by] : pageKeys) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [turnPage, by = by] { turnPage(by); });
    }
    connect(PageControl1_, &QTabWidget::currentChanged, this, &TForm2::showCsvEntries);
    showCsvEntries();

    QWidget* limits = PageControl1_->widget(6);
    for (int n = 1; n <= 4; ++n)
        if (auto* button = limits->findChild<QAbstractButton*>(QString("Button%1").arg(n)))
            connect(button, &QAbstractButton::clicked, this, [this, n] { singleBlock(n); });
}

void TForm2::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setFixedWidth(200);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel);
        panels_[i] = panel;
    }
    panels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panels_[1]->setText("    ");
    // The line that tells what an entry cut or reset, beside the panels (a status bar's own
    // message would hide the port's panel while it shows).
    line_ = new QLabel(bar);
    line_->setObjectName("StatusLine");
    bar->addWidget(line_, 1);
    lineTimer_.setSingleShot(true);
    connect(&lineTimer_, &QTimer::timeout, line_, &QLabel::clear);
}

void TForm2::tellLine(const QString& line) {
    line_->setText(line);
    lineTimer_.start(std::chrono::seconds(15));
}

QString TForm2::statusLine() const { return line_->text(); }

QString TForm2::statusPanel(int panel) const { return panels_[panel]->text(); }

ChannelPage* TForm2::channelPage(image::Band band) const {
    return band == image::Band::Upper ? upperPage_ : lowerPage_;
}

std::optional<image::Band> TForm2::currentChannelBand() const {
    switch (PageControl1_->currentIndex()) {
    case 0:
        return image::Band::Upper;
    case 2:
        return image::Band::Lower;
    default:
        return std::nullopt;
    }
}

void TForm2::showCsvEntries() {
    const bool channels = currentChannelBand().has_value();
    N17_->setEnabled(channels);
    N18_->setEnabled(channels);
    for (QAction* a : rowEntries_) a->setEnabled(channels);
}

void TForm2::showPortBar() {
    const QSignalBlocker blocker(ComboBox1_);
    ComboBox1_->clear();
    for (const auto& name : portBar_.Items) ComboBox1_->addItem(text(options_.portLabel(name)), text(name));
    ComboBox1_->setCurrentIndex(portBar_.ItemIndex);
    panels_[0]->setText(text(portBar_.Panel0));
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
    return openSettings(options_.settingsFile)->value(kLastPortKey).toString().toStdString();
}

void TForm2::rememberPort(const std::string& name) {
    if (!options_.rememberPort) return;
    // Unwritable settings cost only the choice at the next start.
    openSettings(options_.settingsFile)->setValue(kLastPortKey, text(name));
}

void TForm2::endProgram() {
    if (radio_.busy()) {
        endWhenIdle_ = true;
        return;
    }
    options_.terminate();
}

bool TForm2::transferEnded() {
    if (!endWhenIdle_ || radio_.busy()) return false;
    options_.terminate();
    return true;
}

bool TForm2::refuseWhileBusy() {
    if (!session_.busy()) return false;
    operator_.tell(editor::Session::Refusal());
    return true;
}

void TForm2::showState() {
    if (dying_) return;
    bindings_.show(state_);
    upperPage_->showState();
    lowerPage_->showState();
    undo_->setEnabled(session_.history().canUndo());
    redo_->setEnabled(session_.history().canRedo());
}

void TForm2::showReport(const editor::Report& report) {
    if (dying_) return;
    showState();
    operator_.tell(report);
}

void TForm2::run(const std::function<image::Message(image::EditorState&)>& handler, const std::string& edit) {
    if (dying_) return;
    showReport(session_.edit(
        [&handler](image::EditorState& state) {
            const image::Message message = handler(state);
            return message.empty() ? editor::Report() : editor::Report::Information(message);
        },
        edit));
}

void TForm2::record(const std::string& edit) {
    session_.record(edit);
    undo_->setEnabled(session_.history().canUndo());
    redo_->setEnabled(session_.history().canRedo());
}

void TForm2::undo() { showReport(session_.Undo()); }

void TForm2::redo() { showReport(session_.Redo()); }

void TForm2::finishEditing() {
    upperPage_->finishEdit();
    lowerPage_->finishEdit();
    QWidget* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus) && qobject_cast<QLineEdit*>(focus)) PageControl1_->setFocus(Qt::OtherFocusReason);
}

void TForm2::N1Click() { showReport(session_.New()); }

void TForm2::N2Click() { showReport(session_.Open()); }

void TForm2::N3Click() { showReport(session_.Save()); }

void TForm2::N6Click() {
    finishEditing();
    if (refuseWhileBusy() || !portReady()) return;
    if (form5_) form5_->exec();
    // What a read brought is one step, also when it stopped part way; a read that failed
    // before it changed anything is none.
    record();
    showState();
}

void TForm2::N7Click() {
    finishEditing();
    if (refuseWhileBusy() || !portReady()) return;
    if (form6_) form6_->exec();
    session_.rebase();  // a write is no step
    showState();
}

// A procedure needs the selected port open. One that did not open (another program held it,
// the cable was out) is tried again now; when it still cannot be opened the operator is told
// why, never that the radio does not answer on a port that never opened.
bool TForm2::portReady() {
    if (comm_.IsOpen()) return true;
    if (portBar_.ItemIndex >= 0 && portBar_.ComboBox1Click(comm_, portBar_.ItemIndex)) {
        rememberPort(portBar_.SelectedName());
        showPortBar();
        return true;
    }
    showPortBar();
    if (portBar_.ItemIndex < 0)
        prompter_.information(this, utf8(serial::kNoSerialPort));
    else
        prompter_.information(this, utf8(kPortNotOpen), text(portBar_.Panel0Reason));
    return false;
}

void TForm2::singleBlock(int button) {
    if (refuseWhileBusy() || !portReady()) return;
    radiolink::Result result;
    {
        // The editor stays as it is while the block is on its way: a window in front takes
        // every click and key until the procedure has ended.
        static const char* const captions[] = {"读取开机信息", "写入开机信息", "读取频率限制", "写入频率限制"};
        BusyWindow busy(this, utf8(captions[button - 1]));
        radio_.clearStop();
        switch (button) {
        case 1:
            result = radiolink::ReadPowerOnMessage(radio_, state_);
            break;
        case 2:
            result = radiolink::WritePowerOnMessage(radio_, state_);
            break;
        case 3:
            result = radiolink::ReadLimits(radio_, state_);
            break;
        default:
            result = radiolink::WriteLimits(radio_, state_);
            break;
        }
    }
    if (dying_ || transferEnded()) return;
    if (button == 1 || button == 3)
        record();
    else
        session_.rebase();
    showState();
    if (!result.message.empty())
        prompter_.information(this, text(result.message), result.ok() ? QString() : text(result.detail()));
    showState();
}

void TForm2::closeEvent(QCloseEvent* event) {
    // Closing the main window ends the program, without a question about unsaved work; while
    // a procedure runs, once it has ended.
    if (radio_.busy()) {
        event->ignore();
        endProgram();
        return;
    }
    event->accept();
    options_.terminate();
}

}  // namespace shell
