// New, Open and Save through the menu, the toolbar and the shortcuts, with their dialogs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

void enter(Program& p, int column, int row, const QString& text) {
    p.clickCell(Band::Upper, column, row);
    p.type(text);
    p.key(Qt::Key_Return);
}

}  // namespace

TEST(FileCommands, NewAsksFirst) {
    Program p;
    enter(p, 1, 5, "145");
    p.showPage(1);
    p.choose(p.find<QComboBox>("left1"), "信道模式");
    const QString k1 = p.field(1);

    p.prompter.answer = false;
    p.find<QAction>("N1")->trigger();
    EXPECT_EQ(p.prompter.questions, QStringList({"是否新建?"}));
    EXPECT_EQ(p.cell(Band::Upper, 5, 1), "145.00000");

    p.prompter.answer = true;
    p.key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(p.prompter.questions.size(), 2);
    EXPECT_EQ(p.cell(Band::Upper, 5, 1), "");
    EXPECT_EQ(p.cell(Band::Upper, 5, 0), "5");
    EXPECT_EQ(p.find<QComboBox>("left1")->currentText(), "频率模式");
    EXPECT_NE(p.field(1), k1);
    EXPECT_EQ(p.field(1), "0000FFFFFFFFFFFF00FFFFFF00000101");
}

TEST(FileCommands, SaveThenOpen) {
    Program p;
    QTemporaryDir dir;
    enter(p, 1, 2, "438.0125");
    enter(p, 12, 2, "RPT");
    p.showPage(5);
    QTest::mouseClick(p.find<QLineEdit>("sy3"), Qt::LeftButton);
    p.type("*88#");
    const image::EditorState saved = p.form2().state();

    p.prompter.files = {dir.filePath("x")};
    QTest::mouseClick(p.find<QToolButton>("ToolButton5"), Qt::LeftButton);
    EXPECT_EQ(p.prompter.lastTitle, "Save");
    EXPECT_EQ(p.prompter.lastFilter, "*.bc");
    EXPECT_EQ(p.prompter.texts(), QStringList({"保存成功!"}));
    ASSERT_TRUE(QFile::exists(dir.filePath("x.bc")));

    p.prompter.answer = true;
    p.find<QAction>("N1")->trigger();
    EXPECT_EQ(p.cell(Band::Upper, 2, 1), "");

    p.prompter.files = {dir.filePath("x.bc")};
    p.key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(p.prompter.lastTitle, "Open");
    EXPECT_TRUE(p.prompter.errors.isEmpty());
    EXPECT_EQ(p.cell(Band::Upper, 2, 1), "438.01250");
    EXPECT_EQ(p.cell(Band::Upper, 2, 12), "RPT");
    EXPECT_EQ(p.find<QLineEdit>("sy3")->text(), "*88#");
    image::EditorState opened = p.form2().state();
    opened.Col = saved.Col;
    opened.Row = saved.Row;
    EXPECT_EQ(opened, saved);

    // Cancelled dialogs change nothing.
    p.prompter.infos.clear();
    p.find<QAction>("N3")->trigger();
    p.find<QAction>("N2")->trigger();
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_TRUE(p.prompter.errors.isEmpty());
}

TEST(FileCommands, ErrorsCarryTheSystemsReason) {
    Program p;
    QTemporaryDir dir;
    p.prompter.files = {dir.filePath("missing/x")};
    p.key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(p.prompter.errors.size(), 1);
    EXPECT_TRUE(p.prompter.errors[0].startsWith("Cannot create file \"")) << p.prompter.errors[0].toStdString();
    EXPECT_TRUE(p.prompter.errors[0].contains("No such file or directory"));
    EXPECT_TRUE(p.prompter.infos.empty());

    enter(p, 1, 1, "145");
    p.prompter.files = {dir.filePath("none.bc")};
    p.find<QAction>("N2")->trigger();
    ASSERT_EQ(p.prompter.errors.size(), 2);
    EXPECT_TRUE(p.prompter.errors[1].startsWith("Cannot open file \""));
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.00000");

    QFile broken(dir.filePath("broken.bc"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("1,2,3,\r");
    broken.close();
    p.prompter.files = {broken.fileName()};
    p.find<QAction>("N2")->trigger();
    ASSERT_EQ(p.prompter.errors.size(), 3);
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.00000");
}

TEST(FileCommands, TheRealQuestionBox) {
    shell::DialogPrompter dialogs;
    Program p;  // for the window only
    QString asked;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        asked = box->text();
        EXPECT_TRUE(box->button(QMessageBox::Yes));
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_FALSE(dialogs.question(&p.form2(), "是否新建?"));
    EXPECT_EQ(asked, "是否新建?");
}
