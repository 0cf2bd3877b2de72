#include "shell/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "link/comm1.h"
#include "link/trace.h"
#include "serial/port_list.h"
#include "link/messages.h"
#include "base/text.h"
#include "shell/channel_grid.h"
#include "shell/connection_check.h"
#include "shell/prompter.h"
#include "shell/transfer_dialogs.h"
#include "shell/qt_text.h"

namespace shell {
namespace {

// A handler's message as a report: an information box, or nothing.
editor::Report told(const image::Message& message) {
    return message.empty() ? editor::Report() : editor::Report::Information(message);
}

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
    // The window opens on the first channel's receive frequency, where the typing starts: the
    // first control in the Tab order is the port list, which typed letters would change.
    upperPage_->grid()->setFocus(Qt::OtherFocusReason);
}

TForm2::~TForm2() {
    dying_ = true;
    if (trace_) radiolink::TraceFile::detach(radio_);
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus)) focus->clearFocus();
    delete takeCentralWidget();
}

base::Outcome<> TForm2::startTrace(const std::string& path) {
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
            if (!endWhenIdle_) showReport(report);
        });
}

void TForm2::buildPages() {
    PageControl1_ = new QTabWidget(this);
    PageControl1_->setObjectName("PageControl1");
    PageControl1_->setDocumentMode(true);
    PageControl1_->setUsesScrollButtons(false);
    // A grid's editor has committed into the state: one step, then what it told.
    auto after = [this](const image::Message& message) {
        if (dying_) return;
        session_.record();
        showReport(told(message));
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
        PageControl1_->addTab(p.widget, Say(p.caption));
    }
    upperPage_->setPageName(Say(pages[0].caption));
    lowerPage_->setPageName(Say(pages[2].caption));
    // The grids' context menu: the row operations after 撤销 and 重做.
    for (ChannelPage* page : {upperPage_, lowerPage_}) {
        page->grid()->addActions({undo_, redo_});
        for (QAction* a : rowEntries_) page->grid()->addAction(a);
        page->grid()->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    // The pages as one control are spoken as the page shown.
    const auto namePages = [this] { PageControl1_->setAccessibleName(PageControl1_->tabText(PageControl1_->currentIndex())); };
    connect(PageControl1_, &QTabWidget::currentChanged, this, namePages);
    PageControl1_->setCurrentIndex(0);
    namePages();
    buildPageKeys();
    connect(PageControl1_, &QTabWidget::currentChanged, this, &TForm2::showCsvEntries);
    showCsvEntries();

    connectSingleBlocks(PageControl1_->widget(6));
}

void TForm2::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    // Spoken before what a panel shows, which alone would not say what it is about.
    const char* const panelNames[] = {"通讯端口状态", "状态"};
    for (int i = 0; i < 2; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setAccessibleName(Say(panelNames[i]));
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
    line_->setAccessibleName(Say("提示"));
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
    if (!report.line.empty()) tellLine(text(report.line));
    operator_.tell(report);
    // A radio that did not answer: the check says why, once the procedure has let go.
    if (report.radioSilent && prompter_.question(this, Say(kOfferCheck), Say(kCheckSends)))
        QTimer::singleShot(0, this, &TForm2::N20Click);
}

void TForm2::run(const std::function<image::Message(image::EditorState&)>& handler, const std::string& edit) {
    if (dying_) return;
    showReport(session_.edit([&handler](image::EditorState& state) { return told(handler(state)); }, edit));
}

void TForm2::undo() { showReport(session_.Undo()); }

void TForm2::redo() { showReport(session_.Redo()); }

void TForm2::finishEditing() {
    upperPage_->finishEdit();
    lowerPage_->finishEdit();
    QWidget* focus = QApplication::focusWidget();
    if (focus && isAncestorOf(focus) && qobject_cast<QLineEdit*>(focus)) PageControl1_->setFocus(Qt::OtherFocusReason);
}

void TForm2::N17Click() {
    if (const auto band = currentChannelBand()) showReport(session_.ImportCsv(*band));
}

void TForm2::N18Click() {
    if (const auto band = currentChannelBand()) showReport(session_.ExportCsv(*band));
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
