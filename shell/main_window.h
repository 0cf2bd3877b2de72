// TForm2, the main editor window: menus, toolbar, port bar, the seven pages and the status
// bar, over one EditorState. Every event goes to the model's handler; a message it returns is
// shown in an information box; then the controls show the state again.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include "editor/session.h"
#include "image/editor_state.h"
#include "editor/history.h"
#include "image/message.h"
#include "base/outcome.h"
#include "base/text.h"
#include "link/line.h"
#include "editor/port_bar.h"
#include "shell/prompter.h"
#include "shell/qt_pump.h"
#include "shell/settings_pages.h"

namespace radiolink {
class TraceFile;
}

class QAction;
class QComboBox;
class QDialog;
class QLabel;
class QMenu;
class QTabWidget;

namespace shell {

class ChannelPage;
class Prompter;
class TransferDialog;

struct MainWindowOptions {
    // The names the port bar lists, first to last; by default the system's serial ports. Read
    // at start and again each time the list drops down.
    std::function<std::vector<std::string>()> portList;
    // What the list shows for a name; by default the name and what the system says the port
    // is (serial::PortLabel). The item's data stays the name, which is what is opened.
    std::function<std::string(const std::string&)> portLabel;
    // The INI file keeping the port used last; by default the per-user settings,
    // $XDG_CONFIG_HOME/radio/radio.ini.
    QString settingsFile;
    // The port used last is opened at start when listed, and a port that opens becomes it.
    // Off for a run on the virtual radio, whose pseudo-terminal is another each run.
    bool rememberPort = true;
    // Ends the program; by default the application's event loop is told to quit.
    std::function<void()> terminate;
};

class TForm2 : public QMainWindow {
    Q_OBJECT
public:
    TForm2(Prompter& prompter, MainWindowOptions options = {});
    ~TForm2() override;

    // Writes every byte to and from the radio into `path` from now on (the serial trace).
    // A failure says why the file cannot be made.
    base::Outcome<> startTrace(const std::string& path);

    // The windows that menu entries show, registered once they exist.
    void setDialogs(QDialog* form3, QDialog* form4, TransferDialog* form5, TransferDialog* form6);

    image::EditorState& state() { return session_.state(); }
    editor::Session& session() { return session_; }
    radiolink::Radio& radio() { return radio_; }
    serial::TComm& Comm1() { return comm_; }
    Prompter& prompter() { return prompter_; }
    QString statusPanel(int panel) const;
    // The status bar's line of what an entry cut or reset; it clears after a while.
    QString statusLine() const;
    void tellLine(const QString& line);
    QTabWidget* pageControl() const { return PageControl1_; }
    ChannelPage* channelPage(image::Band band) const;

    // Shows the whole state in the controls, running no handler.
    void showState();
    // Runs a handler over the state, shows what it returned, then the state. `edit` names the
    // edit the handler takes its text from: its keys and its commit are one undo step.
    void run(const std::function<image::Message(image::EditorState&)>& handler, const std::string& edit = {});
    const editor::History& history() const { return session_.history(); }
    // 撤销 and 重做.
    void undo();
    void redo();
    // Ends an edit in progress as leaving it would: an open cell editor commits, a focused
    // settings edit runs its Exit handler. Every command runs this first.
    void finishEditing();

    // Ends the program (退出, 退出(Q), closing the window, SIGTERM). While a transfer runs
    // the program ends only once the procedure has ended and "EXIT" has left.
    void endProgram();
    bool ending() const { return endWhenIdle_; }
    // A procedure ended: true when the program is now ending, and nothing more is shown.
    bool transferEnded();
    // While a procedure holds the radio, tells the operator why nothing else can start and
    // gives true.
    bool refuseWhileBusy();

    // The commands of the menu entries.
    void N6Click();  // Read (TForm5)
    void N7Click();  // Write (TForm6)
    void N19Click();  // 批量写频 (FleetDialog): the state as the plan of a batch of radios
    // 检测连接: why the radio on the selected port does not answer, and what to do; offered
    // by every "电台没有回应".
    void N20Click();
    void N17Click();  // Import CSV into the current channel page's band
    void N18Click();  // Export CSV of the current channel page's band
    // 语言/Language: the choice is saved for the next start; the windows keep the language
    // they were made in, so nothing being edited is touched.
    void chooseLanguage(base::Language language);

    // A row command of the session over the current channel page's selection (row_commands.cpp).
    using RowCommand = editor::RowsDone (editor::Session::*)(const editor::Rows&);
    void rows(RowCommand command);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildPageKeys();
    // The first control of a page the Tab key reaches takes the focus.
    void focusFirstControl(QWidget* page);
    QWidget* buildPortBar();
    void buildPages();
    void buildStatusBar();
    void showPortBar();
    // The drop-down opens: the ports are listed anew.
    void refreshPorts();
    void ComboBox1Click(int index);
    // The port used last, kept in the settings; "" when none is or remembering is off.
    std::string lastPort() const;
    void rememberPort(const std::string& name);
    // A read or a write with the radio on the session's path, once the port is ready; shows
    // its report unless the program is ending.
    void procedure(editor::Transfer direction, const editor::Session::Change& run);
    void transfer(editor::Transfer direction, TransferDialog* dialog);
    void connectSingleBlocks(QWidget* limitsPage);
    // Nothing when the selected port is open or opens now; otherwise why it cannot be used.
    editor::Report portReady();
    // Runs `use` with this window's port closed (the 批量写频 batch and the connection check
    // open ports of their own), then opens it again.
    void withPortReleased(const std::function<void()>& use);
    // The band of the current page when it is a channel page.
    std::optional<image::Band> currentChannelBand() const;
    void showCsvEntries();
    void buildEditEntries(QMenu* menu);

    // What a command reports: its box, then the state and the undo entries anew.
    void showReport(const editor::Report& report);

    Prompter& prompter_;
    MainWindowOptions options_;
    PrompterOperator operator_;
    editor::Session session_;
    image::EditorState& state_ = session_.state();

    radiolink::Line radioLine_;  // Comm1, its queue, the Qt pump and the radio
    serial::TComm& comm_ = radioLine_.comm();
    radiolink::Radio& radio_ = radioLine_.radio();
    editor::PortBar portBar_;

    Bindings bindings_;
    PageHost host_;

    QAction* N1_ = nullptr;
    QAction* N2_ = nullptr;
    QAction* N3_ = nullptr;
    QAction* N4_ = nullptr;
    QAction* N6_ = nullptr;
    QAction* N7_ = nullptr;
    QAction* N9_ = nullptr;
    QAction* N11_ = nullptr;
    QAction* N13_ = nullptr;
    QAction* N14_ = nullptr;
    QAction* N15_ = nullptr;
    QAction* N17_ = nullptr;
    QAction* N18_ = nullptr;
    QAction* N19_ = nullptr;
    QAction* N20_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    std::vector<QAction*> rowEntries_;  // enabled on the channel pages only
    QLabel* Label1_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QTabWidget* PageControl1_ = nullptr;
    ChannelPage* upperPage_ = nullptr;
    ChannelPage* lowerPage_ = nullptr;
    QLabel* panels_[2] = {nullptr, nullptr};
    QLabel* line_ = nullptr;
    QTimer lineTimer_;
    QDialog* form3_ = nullptr;
    QDialog* form4_ = nullptr;
    TransferDialog* form5_ = nullptr;
    TransferDialog* form6_ = nullptr;
    std::unique_ptr<radiolink::TraceFile> trace_;
    bool dying_ = false;  // the window is being destroyed: no handler runs any more
    bool endWhenIdle_ = false;  // asked to end while a procedure held the radio
};

}  // namespace shell
