// The windows in the language chosen at the start, and the choice kept for the next start.
#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>

#include "image/editor_state.h"
#include "shell/language.h"
#include "tests/shell/window_fixture.h"

using base::Language;

TEST(Language, WindowsMadeInEnglishSpeakItAndTheChineseOnesStayAsTheyWere) {
    struct Seen {
        std::function<QString(Program&)> text;
        const char* chinese;
        const char* english;
    };
    const Seen seen[] = {
        {[](Program& p) { return p.form2().menuBar()->actions().at(0)->text(); }, "文件(&F)", "&File"},
        {[](Program& p) { return p.form2().menuBar()->actions().at(3)->text(); }, "退出(&Q)", "&Quit"},
        {[](Program& p) { return p.find<QAction>("N19")->text(); }, "批量写频...", "Program a fleet..."},
        {[](Program& p) { return p.find<QAction>("DeleteRows")->text(); }, "删除行", "Delete rows"},
        {[](Program& p) { return p.form2().pageControl()->tabText(4); }, "综合设置", "General"},
        {[](Program& p) { return p.form2().pageControl()->accessibleName(); }, "上段信道", "Upper channels"},
        {[](Program& p) { return p.windows.Form5->windowTitle(); }, "读频", "Read radio"},
        {[](Program& p) { return p.windows.Form3->windowTitle(); }, "修改密码", "Change password"},
        // Names a screen reader says are made from the captions, in the same language.
        {[](Program& p) { return p.windows.Form6->findChild<QProgressBar*>("ProgressBar1")->accessibleName(); },
         "写频进度", "Write radio progress"},
        {[](Program& p) { return p.windows.Form6->findChild<QPushButton*>("Button2")->accessibleName(); }, "取消",
         "Cancel"},
        {[](Program& p) { return p.form1().Button1()->text(); }, "登入", "Log in"},
        // A message box.
        {[](Program& p) {
             p.form1().Edit1()->setText("wrong");
             p.form1().Button1()->click();
             return p.prompter.texts().value(0);
         },
         "密码错误!", "Wrong password!"},
        // The way back is readable in either language.
        {[](Program& p) { return p.find<QMenu>("Language")->title(); }, "语言/Language", "语言/Language"},
    };
    for (const Language language : {Language::English, Language::Chinese}) {
        base::LanguageScope scope(language);
        Program p(true, "none", false);
        for (const Seen& s : seen)
            EXPECT_EQ(s.text(p), QString::fromUtf8(language == Language::English ? s.english : s.chinese));
        EXPECT_TRUE(p.find<QAction>(language == Language::English ? "LanguageEnglish" : "LanguageChinese")->isChecked());
    }
}

TEST(Language, TheChoiceIsKeptForTheNextStartAndTheCommandLineWinsOverIt) {
    Program p;
    const QString settings = p.user.temporary.filePath("radio.ini");
    EXPECT_EQ(shell::StartLanguage(std::nullopt, settings), Language::Chinese);
    QSettings(settings, QSettings::IniFormat).setValue("ui/language", "klingon");
    EXPECT_EQ(shell::StartLanguage(std::nullopt, settings), Language::Chinese);

    // Unsaved edits outlive the choice: the windows are not made again.
    p.enter(image::Band::Upper, image::kColRxFreq, 1, "145.125");
    const image::EditorState edited = p.form2().state();
    p.find<QAction>("LanguageEnglish")->trigger();
    EXPECT_EQ(p.form2().state(), edited);
    EXPECT_TRUE(p.form2().history().canUndo());
    EXPECT_EQ(p.prompter.texts(), QStringList({"The program uses this language from its next start."}));
    EXPECT_EQ(base::CurrentLanguage(), Language::Chinese);
    EXPECT_EQ(shell::StartLanguage(std::nullopt, settings), Language::English);
    EXPECT_EQ(shell::StartLanguage(Language::Chinese, settings), Language::Chinese);

    // Back to the language in use: saved, and nothing to restart for.
    p.find<QAction>("LanguageChinese")->trigger();
    EXPECT_EQ(p.prompter.texts().size(), 1);
    EXPECT_EQ(shell::SavedLanguage(settings), Language::Chinese);
}
