// Undo and redo over every kind of change to the editor, and the row operations of both
// grids at their edges, each one undo step.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "editor/history.h"
#include "editor/row_operations.h"
#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

std::size_t steps(Program& p) { return p.form2().history().undoSteps(); }

// Clicks an edit of a settings page, types into it and leaves it.
void typeSetting(Program& p, int page, const char* name, const QString& keys) {
    p.showPage(page);
    auto* edit = p.find<QLineEdit>(name);
    QTest::mouseClick(edit, Qt::LeftButton);
    p.type(keys);
    p.leave(edit);
}

// Runs a transfer dialog to its end.
void runTransfer(Program& p, shell::TransferDialog* dialog, const char* entry) {
    QTimer::singleShot(0, dialog, [dialog] { QTest::mouseClick(dialog->startButton(), Qt::LeftButton); });
    p.find<QAction>(entry)->trigger();
    p.activate();
}

// With the grid in front and focused: the window's shortcut keys reach the entries.
void shortcut(Program& p, Band band, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    p.showPage(band == Band::Upper ? 0 : 2);
    p.grid(band).setFocus();
    p.key(key, modifiers);
}

}  // namespace

TEST(UndoRedo, EveryKindOfChangeIsOneStepAndComesBackExactly) {
    Program p;
    QTemporaryDir dir;
    shell::TForm2& w = p.form2();
    EXPECT_FALSE(p.find<QAction>("Undo")->isEnabled());
    // The state just before each step: undo gives these back, last first.
    std::vector<image::EditorState> before;
    auto step = [&](const char* what, const std::function<void()>& change) {
        const std::size_t count = steps(p);
        before.push_back(w.state());
        change();
        EXPECT_EQ(steps(p), count + 1) << what;
    };
    auto noStep = [&](const char* what, const std::function<void()>& action) {
        const std::size_t count = steps(p);
        const image::EditorState state = w.state();
        action();
        EXPECT_EQ(steps(p), count) << what;
        EXPECT_FALSE(editor::ContentDiffers(w.state(), state)) << what;
    };

    p.clickCell(Band::Upper, 1, 2);
    p.type("145");
    step("a committed frequency", [&] { p.key(Qt::Key_Return); });
    p.clickCell(Band::Upper, 2, 2);
    step("a chosen item", [&] { p.choose(p.find<QComboBox>("t2"), 3); });
    p.clickCell(Band::Lower, 12, 1);
    noStep("a cell selected is no step", [&] { p.clickCell(Band::Lower, 1, 1); });
    EXPECT_EQ(w.state().col1, "1");
    p.type("438.5");
    step("a frequency in the other grid", [&] { p.key(Qt::Key_Return); });
    step("a band page list", [&] {
        p.showPage(1);
        p.choose(p.find<QComboBox>("left1"), 1);
    });
    step("a band page edit, typed and left", [&] { typeSetting(p, 3, "right3", "150.05"); });
    step("a general page list", [&] {
        p.showPage(4);
        p.choose(p.find<QComboBox>("gn1"), 1);
    });
    step("a DTMF code: all its keys", [&] { typeSetting(p, 5, "sy1", "123"); });
    step("an identity code", [&] { typeSetting(p, 5, "sypz1", "45"); });
    step("a power-on line", [&] { typeSetting(p, 6, "kaiji1", "MSG"); });
    p.clickRow(Band::Upper, 1);
    step("a row operation", [&] { shortcut(p, Band::Upper, Qt::Key_I); });

    const QString file = dir.filePath("saved.bc");
    noStep("a save", [&] {
        p.prompter.files = {file};
        p.find<QAction>("N3")->trigger();
    });
    step("New", [&] { p.find<QAction>("N1")->trigger(); });
    step("Open", [&] {
        p.prompter.files = {file};
        p.find<QAction>("N2")->trigger();
    });
    step("a single-block read", [&] {
        p.showPage(6);
        QTest::mouseClick(p.find<QPushButton>("Button1"), Qt::LeftButton);
    });
    step("a full read", [&] { runTransfer(p, p.windows.Form5, "N6"); });
    noStep("a write", [&] { runTransfer(p, p.windows.Form6, "N7"); });
    step("a CSV import", [&] {
        p.showPage(0);
        p.prompter.files = {QDir::cleanPath(RADIO_TEST_DATA "/../../data/chirp_repeaters.csv")};
        p.find<QAction>("N17")->trigger();
    });
    ASSERT_TRUE(p.prompter.errors.isEmpty()) << p.prompter.errors.join("|").toStdString();
    const image::EditorState last = w.state();

    // Ctrl+Z all the way back, each step exactly; then Ctrl+Y and Ctrl+Shift+Z forward again.
    for (std::size_t i = before.size(); i-- > 0;) {
        shortcut(p, Band::Upper, Qt::Key_Z);
        ASSERT_EQ(w.state(), before[i]) << "undo of step " << i;
    }
    EXPECT_FALSE(p.find<QAction>("Undo")->isEnabled());
    EXPECT_EQ(p.cell(Band::Upper, 2, 1), "");
    EXPECT_EQ(p.find<QLineEdit>("sy1")->text(), "");
    for (std::size_t i = 1; i <= before.size(); ++i) {
        if (i % 2)
            shortcut(p, Band::Lower, Qt::Key_Y);
        else
            shortcut(p, Band::Lower, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_EQ(w.state(), i < before.size() ? before[i] : last) << "redo of step " << i;
    }
    EXPECT_FALSE(p.find<QAction>("Redo")->isEnabled());
    // The controls show what came back.
    EXPECT_EQ(p.find<QLineEdit>("kaiji1")->text(), QString::fromStdString(last.limits.kaiji1));
}

TEST(UndoRedo, KeepsAtLeastAHundredStepsAndANewChangeEndsTheRedo) {
    Program p;
    const image::EditorState start = p.form2().state();
    for (int i = 0; i < 110; ++i) p.enter(Band::Lower, 1, 1, QString::number(140 + i % 30));
    EXPECT_EQ(steps(p), 110u);
    p.form2().undo();
    EXPECT_TRUE(p.form2().history().canRedo());
    p.enter(Band::Lower, 1, 2, "145");
    EXPECT_FALSE(p.form2().history().canRedo());
    while (p.form2().history().canUndo()) p.form2().undo();
    EXPECT_FALSE(editor::ContentDiffers(p.form2().state(), start));
}

TEST(UndoRedo, AStoppedReadKeepsWhatCameAndUndoesInOneStep) {
    // 取消 clicked, or Escape, which is the same.
    for (const bool escape : {false, true}) {
        SCOPED_TRACE(escape ? "Escape" : "取消");
        Program p;
        shell::TForm5& form5 = *p.windows.Form5;
        const image::EditorState start = p.form2().state();
        QObject::connect(form5.progressBar(), &QProgressBar::valueChanged, &form5, [&](int done) {
            if (done != 20) return;
            if (escape)
                QTest::keyClick(&form5, Qt::Key_Escape);
            else
                QTest::mouseClick(form5.findChild<QPushButton*>("Button2"), Qt::LeftButton);
        });
        runTransfer(p, &form5, "N6");
        ASSERT_EQ(p.prompter.texts(), QStringList({"读频已取消!"}));
        EXPECT_TRUE(p.prompter.infos[0].detail.contains("20 / 136")) << p.prompter.infos[0].detail.toStdString();
        EXPECT_LT(form5.progressBar()->value(), 136);
        EXPECT_NE(p.form2().state(), start) << "the blocks read stay";
        EXPECT_EQ(steps(p), 1u);
        p.form2().undo();
        EXPECT_EQ(p.form2().state(), start);
        // The radio was told the procedure ended.
        ASSERT_FALSE(p.radio->frames().empty());
        EXPECT_EQ(p.radio->frames().back().front(), 'E');
    }
}

TEST(RowOperations, CopyBetweenTheBandsAndPasteAtTheEdges) {
    Program p;
    p.enter(Band::Upper, 1, 1, "145.5");
    p.enter(Band::Upper, 12, 1, "RPT1");
    p.enter(Band::Upper, 4, 2, "150");
    // Rows 1..3 by their numbers: a click, then Shift+click.
    p.clickRow(Band::Upper, 1);
    p.clickRow(Band::Upper, 3, Qt::ShiftModifier);
    EXPECT_EQ(p.page(Band::Upper).selectedRows(), (std::vector<int>{1, 2, 3}));
    shortcut(p, Band::Upper, Qt::Key_C);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_EQ(copied.toStdString(), editor::CopyRows(p.form2().state().upper, {1, 2, 3}));
    EXPECT_TRUE(copied.startsWith("145.50000\t0FF\t关\t\t"));

    // Onto the lower band's last three rows, as one step.
    const image::EditorState beforePaste = p.form2().state();
    p.clickRow(Band::Lower, 126);
    shortcut(p, Band::Lower, Qt::Key_V);
    EXPECT_TRUE(p.prompter.infos.empty());
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(p.cell(Band::Lower, 126, c), p.cell(Band::Upper, 1, c)) << c;
    EXPECT_EQ(p.cell(Band::Lower, 127, 4), "150.00000");
    EXPECT_EQ(p.page(Band::Lower).selectedRows(), (std::vector<int>{126, 127, 128}));
    EXPECT_EQ(steps(p), 4u);

    // One row too many, or bad cells: nothing is pasted, one message names the lines.
    const image::EditorState pasted = p.form2().state();
    p.clickRow(Band::Lower, 127);
    shortcut(p, Band::Lower, Qt::Key_V);
    QGuiApplication::clipboard()->setText("145\t77.7" + QString(10, '\t') + "\n176.1" + QString(11, '\t') + "\n146" +
                                          QString(11, '\t') + "\n");
    p.clickRow(Band::Upper, 1);
    shortcut(p, Band::Upper, Qt::Key_V);
    ASSERT_EQ(p.prompter.infos.size(), 2u);
    EXPECT_TRUE(p.prompter.infos[0].text.contains("第3行: 超出第128信道"));
    EXPECT_TRUE(p.prompter.infos[1].text.contains("第1行: 接收亚音频 '77.7'"));
    EXPECT_TRUE(p.prompter.infos[1].text.contains("第2行: 接收频率 '176.1'"));
    EXPECT_FALSE(p.prompter.infos[1].text.contains("第3行"));
    EXPECT_EQ(p.form2().state(), pasted);
    EXPECT_EQ(steps(p), 4u);

    // Ctrl+X takes the rows to the clipboard and empties them.
    p.clickRow(Band::Lower, 128);
    p.clickRow(Band::Lower, 126, Qt::ControlModifier);
    shortcut(p, Band::Lower, Qt::Key_X);
    EXPECT_EQ(QGuiApplication::clipboard()->text().count('\n'), 2);
    EXPECT_EQ(p.cell(Band::Lower, 126, 1), "");
    EXPECT_EQ(p.cell(Band::Lower, 127, 4), "150.00000");
    shortcut(p, Band::Lower, Qt::Key_Z);
    EXPECT_EQ(p.form2().state(), pasted);
    shortcut(p, Band::Lower, Qt::Key_Z);
    EXPECT_EQ(p.form2().state(), beforePaste);
}

// Rows with Chinese names go to the clipboard and come back; a single value pasted on one cell
// goes into that cell only; anything else is told in the status bar and changes nothing.
TEST(RowOperations, PasteCarriesChineseNamesAndOneValueGoesIntoOneCell) {
    Program p;
    QClipboard* clipboard = QGuiApplication::clipboard();
    const char* names[] = {"工地1", "中继3"};
    for (int row : {1, 2}) {
        p.enter(Band::Upper, 1, row, "145.5");
        p.clickCell(Band::Upper, 12, row);
        clipboard->setText(QString::fromUtf8(names[row - 1]));
        p.key(Qt::Key_V, Qt::ControlModifier);
        p.key(Qt::Key_Return);
    }
    p.enter(Band::Upper, 4, 1, "150");
    p.clickCell(Band::Upper, 5, 1);
    p.choose(p.find<QComboBox>("t6"), "D023N");
    p.clickRow(Band::Upper, 1);
    p.clickRow(Band::Upper, 2, Qt::ShiftModifier);
    shortcut(p, Band::Upper, Qt::Key_C);
    p.clickRow(Band::Lower, 5);
    shortcut(p, Band::Lower, Qt::Key_V);
    EXPECT_TRUE(p.prompter.infos.empty()) << p.prompter.texts().join("|").toStdString();
    for (int c = 1; c <= 12; ++c) EXPECT_EQ(p.cell(Band::Lower, 6, c), p.cell(Band::Upper, 2, c)) << c;
    EXPECT_EQ(p.cell(Band::Lower, 5, 12), QString::fromUtf8("工地1"));

    // "150.0875" on the transmit frequency: that cell and its defaults, told; one step.
    const image::EditorState before = p.form2().state();
    const std::size_t stepsBefore = steps(p);
    p.grid(Band::Upper).moveTo(4, 1);
    clipboard->setText("150.0875");
    p.form2().tellLine({});
    shortcut(p, Band::Upper, Qt::Key_V);
    EXPECT_EQ(p.cell(Band::Upper, 1, 4), "150.08750");
    EXPECT_EQ(p.cell(Band::Upper, 1, 5), "0FF");
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.50000");
    EXPECT_EQ(p.cell(Band::Upper, 1, 12), QString::fromUtf8("工地1"));
    EXPECT_EQ(p.form2().statusLine(), QString::fromUtf8("第1信道发射频率改为150.08750, 恢复默认: 发射亚音频 D023N→0FF"));
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_EQ(steps(p), stepsBefore + 1);
    shortcut(p, Band::Upper, Qt::Key_Z);
    EXPECT_EQ(p.form2().state().upper, before.upper);

    // Neither whole rows nor one value on one cell: a line in the status bar, no change.
    const std::pair<QString, int> refused[] = {{"150.0875", 0}, {"145\t150\n", 1}, {"abc", 1}};
    for (const auto& [text, single] : refused) {
        SCOPED_TRACE(text.toStdString());
        if (single) {
            p.grid(Band::Upper).moveTo(4, 1);
        } else {
            p.clickRow(Band::Upper, 1);
            p.clickRow(Band::Upper, 2, Qt::ShiftModifier);
        }
        clipboard->setText(text);
        p.form2().tellLine({});
        const image::EditorState now = p.form2().state();
        shortcut(p, Band::Upper, Qt::Key_V);
        EXPECT_EQ(p.form2().state().upper, now.upper);
        EXPECT_FALSE(p.form2().statusLine().isEmpty());
        EXPECT_TRUE(p.prompter.infos.empty());
    }
}

TEST(RowOperations, InsertDeleteMoveSortAndFillAtTheEdges) {
    Program p;
    for (int row : {1, 2, 128}) p.enter(Band::Lower, 1, row, QString::number(150 - row % 10));
    const image::EditorState start = p.form2().state();
    auto rx = [&](int row) { return p.cell(Band::Lower, row, 1); };
    auto rxs = [&](std::initializer_list<int> rows) {
        QStringList out;
        for (int r : rows) out << rx(r);
        return out;
    };
    auto undoneTo = [&](const image::EditorState& state) {
        shortcut(p, Band::Lower, Qt::Key_Z);
        EXPECT_EQ(p.form2().state(), state);
    };

    // Inserting would push channel 128 out: asked first, No changes nothing.
    p.clickRow(Band::Lower, 1);
    p.prompter.answer = false;
    shortcut(p, Band::Lower, Qt::Key_I);
    EXPECT_EQ(p.prompter.questions.size(), 1);
    EXPECT_EQ(p.form2().state(), start);
    p.prompter.answer = true;
    shortcut(p, Band::Lower, Qt::Key_I);
    EXPECT_EQ(rxs({1, 2, 128}), QStringList({"", "149.00000", ""}));
    undoneTo(start);

    // Ctrl+Delete on rows 1 and 128.
    p.clickRow(Band::Lower, 1);
    p.clickRow(Band::Lower, 128, Qt::ControlModifier);
    shortcut(p, Band::Lower, Qt::Key_Delete);
    EXPECT_EQ(rxs({1, 127}), QStringList({"148.00000", ""}));
    undoneTo(start);

    // Up from row 1 and down from row 128 do nothing and are no step; the selection moves.
    const std::size_t count = steps(p);
    p.clickRow(Band::Lower, 1);
    shortcut(p, Band::Lower, Qt::Key_Up);
    p.clickRow(Band::Lower, 128);
    shortcut(p, Band::Lower, Qt::Key_Down);
    EXPECT_EQ(steps(p), count);
    shortcut(p, Band::Lower, Qt::Key_Up);
    EXPECT_EQ(rxs({127, 128}), QStringList({"142.00000", ""}));
    EXPECT_EQ(p.page(Band::Lower).selectedRows(), (std::vector<int>{127}));
    undoneTo(start);

    // Sorting: by receive frequency, empty rows last.
    p.find<QAction>("SortRows")->trigger();
    EXPECT_EQ(rxs({1, 2, 3, 4}), QStringList({"142.00000", "148.00000", "149.00000", ""}));
    undoneTo(start);

    // Filling rows 127 and 128: a start and a step, asked for; out of range changes nothing.
    p.clickRow(Band::Lower, 127);
    p.clickRow(Band::Lower, 128, Qt::ShiftModifier);
    p.prompter.inputs = {QString("175.99"), QString("0.02")};
    p.find<QAction>("FillRows")->trigger();
    EXPECT_EQ(p.prompter.infos.size(), 1u);
    EXPECT_EQ(p.form2().state(), start);
    p.prompter.inputs = {QString("438"), QString("0.0125")};
    p.find<QAction>("FillRows")->trigger();
    EXPECT_EQ(rxs({127, 128}), QStringList({"438.00000", "438.01250"}));
    EXPECT_EQ(p.cell(Band::Lower, 127, 8), "高");
    undoneTo(start);
}
