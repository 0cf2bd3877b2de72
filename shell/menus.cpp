// The main window's menus and toolbar: each entry runs one command, and each toolbar button
// runs its menu entry.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenuBar>
#include <QShortcut>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "shell/icons.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/qt_text.h"

namespace shell {
void TForm2::buildMenus() {
    auto entry = [this](QMenu* menu, const char* name, const char* caption, auto run) {
        QAction* action = menu->addAction(Say(caption));
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, run);
        return action;
    };
    // A command of the session: what it reports is shown, then the state.
    using editor::Session;
    auto command = [this](editor::Report (Session::*run)()) { return [this, run] { showReport((session_.*run)()); }; };
    auto nothing = [] {};
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    // Each caption shows its Alt key as "文件(F)" does; "&" marks it for the menu bar.

    QMenu* F1 = bar->addMenu(Say("文件(&F)"));
    F1->setObjectName("F1");
    N1_ = entry(F1, "N1", "新建", command(&Session::New));
    N2_ = entry(F1, "N2", "打开", command(&Session::Open));
    N3_ = entry(F1, "N3", "保存", command(&Session::Save));
    // The channels of the current channel page's band, in and out of CHIRP's CSV format.
    N17_ = entry(F1, "N17", "导入CSV", &TForm2::N17Click);
    N17_->setStatusTip(Say("从 CHIRP CSV 文件导入当前信道页的信道 (只在上段信道、下段信道页可用)"));
    N18_ = entry(F1, "N18", "导出CSV", &TForm2::N18Click);
    N18_->setStatusTip(Say("把当前信道页的信道导出为 CHIRP CSV 文件 (只在上段信道、下段信道页可用)"));
    N4_ = entry(F1, "N4", "退出", &TForm2::endProgram);
    N1_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    N2_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    N3_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // The shortcuts work wherever the focus is in the window, also when nothing has it.
    addActions({N1_, N2_, N3_});

    QMenu* N5 = bar->addMenu(Say("编辑(&E)"));
    N5->setObjectName("N5");
    N6_ = entry(N5, "N6", "读频", &TForm2::N6Click);
    N7_ = entry(N5, "N7", "写频", &TForm2::N7Click);
    N19_ = entry(N5, "N19", "批量写频...", &TForm2::N19Click);
    N19_->setStatusTip(Say("把当前编辑的数据写入多台电台, 每台保留自己的ID码、限频和遥控状态"));
    entry(N5, "N8", "-------", nothing)->setEnabled(false);
    N9_ = entry(N5, "N9", "上段信道", [this] { PageControl1_->setCurrentIndex(0); });
    N11_ = entry(N5, "N11", "下段信道", [this] { PageControl1_->setCurrentIndex(2); });
    entry(N5, "N16", "-------", nothing)->setEnabled(false);
    buildEditEntries(N5);

    QMenu* N12 = bar->addMenu(Say("帮助(&H)"));
    N12->setObjectName("N12");
    N13_ = entry(N12, "N13", "备注", [this] {
        if (form4_) form4_->exec();
    });
    N14_ = entry(N12, "N14", "修改密码", [this] {
        if (form3_) form3_->exec();
    });
    N20_ = entry(N12, "N20", "检测连接", &TForm2::N20Click);
    N20_->setStatusTip(Say("查明电台为什么没有回应: 只发握手和读一块, 不写入电台"));
    // The languages, each named in itself and under one caption of both, so that an operator
    // who reads only one of them finds the way back.
    QMenu* languages = N12->addMenu(utf8("语言/Language"));  // not a text: the same caption in either language
    languages->setObjectName("Language");
    auto* group = new QActionGroup(languages);
    const std::tuple<const char*, const char*, base::Language> choices[] = {
        {"LanguageChinese", "中文", base::Language::Chinese},  // not a text: each language's own name
        {"LanguageEnglish", "English", base::Language::English},
    };
    for (const auto& [name, caption, language] : choices) {
        QAction* action = languages->addAction(utf8(caption));
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(language == base::CurrentLanguage());
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, language = language] { chooseLanguage(language); });
    }

    // A top-level entry without sub-entries.
    N15_ = bar->addAction(Say("退出(&Q)"));
    N15_->setObjectName("N15");

    connect(N15_, &QAction::triggered, this, &TForm2::endProgram);
}

void TForm2::chooseLanguage(base::Language language) {
    SaveLanguage(options_.settingsFile, language);
    // Going back to the language in use needs no restart.
    if (language == base::CurrentLanguage()) return;
    prompter_.information(this, SayIn(language, "程序下次启动时使用这个语言。"));
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
        button->setText(Say(b.caption));
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

void TForm2::focusFirstControl(QWidget* page) {
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w)) continue;
        if (w->isVisibleTo(page) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TForm2::buildPageKeys() {
    // The next and the previous page from wherever the focus is, round the end as the tabs
    // do: a grid or an edit keeps Ctrl+Tab and Ctrl+PgDn from reaching the tabs otherwise.
    const auto turnPage = [this](int by) {
        const int count = PageControl1_->count();
        QWidget* focus = QApplication::focusWidget();
        const bool inPage = focus && PageControl1_->currentWidget()->isAncestorOf(focus);
        // The focus on the page turned away goes to the new page's first control, where a
        // screen reader says what the page holds and typing goes on; not by way of the next
        // control of the window, which hiding the page would give it to (and a reader say).
        if (inPage) focus->clearFocus();
        PageControl1_->setCurrentIndex((PageControl1_->currentIndex() + by + count) % count);
        if (inPage) focusFirstControl(PageControl1_->currentWidget());
    };
    const std::pair<QKeyCombination, int> pageKeys[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},           {Qt::CTRL | Qt::Key_PageDown, 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1}, {Qt::CTRL | Qt::Key_PageUp, -1},
    };
    // Keys nothing on the screen shows.
    PageControl1_->setAccessibleDescription(Say("Ctrl+Tab 下一页, Ctrl+Shift+Tab 上一页"));
    for (const auto& [keys, by] : pageKeys) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [turnPage, by = by] { turnPage(by); });
    }
}

}  // namespace shell
