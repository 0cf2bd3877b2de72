// The read and write dialogs and the limits page's buttons against the virtual radio.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "image/hex.h"
#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

QString memory(Program& p, std::uint16_t address, std::size_t length) {
    return QString::fromStdString(image::BytesToHex(p.radio->read(address, length)));
}

// Clicks the toolbar button that shows the dialog, then the dialog's first button; while
// the procedure runs, looks whether the dialog can be closed and its buttons pressed.
struct DialogRun {
    bool buttonsEnabledMeanwhile = true;
    bool stayedOpen = false;
};
DialogRun runDialog(Program& p, const char* toolButton, shell::TransferDialog* dialog) {
    DialogRun run;
    QTimer::singleShot(0, dialog, [&] {
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->progressBar()->value(), 0);
        QTimer::singleShot(150, dialog, [&] {
            auto* cancel = dialog->findChild<QPushButton*>("Button2");
            run.buttonsEnabledMeanwhile = dialog->startButton()->isEnabled() || cancel->isEnabled();
            dialog->close();
            QTest::keyClick(dialog, Qt::Key_Escape);
            run.stayedOpen = dialog->isVisible() && dialog->running();
        });
        QTest::mouseClick(dialog->startButton(), Qt::LeftButton);
    });
    QTest::mouseClick(p.find<QToolButton>(toolButton), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    p.activate();
    return run;
}

}  // namespace

TEST(TransferDialogs, FullReadThenFullWrite) {
    Program p;
    shell::TForm5& form5 = *p.windows.Form5;
    EXPECT_EQ(form5.windowTitle(), "读频");
    EXPECT_EQ(form5.size(), QSize(449, 148));
    EXPECT_EQ(form5.progressBar()->maximum(), 136);

    const DialogRun read = runDialog(p, "ToolButton7", &form5);
    EXPECT_FALSE(read.buttonsEnabledMeanwhile);
    EXPECT_TRUE(read.stayedOpen);
    EXPECT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
    EXPECT_EQ(form5.progressBar()->value(), 136);

    // The grids, the pages and the hidden fields hold what the radio holds.
    EXPECT_EQ(p.cell(Band::Upper, 1, 12), "CALL");
    EXPECT_FALSE(p.cell(Band::Lower, 1, 1).isEmpty());
    EXPECT_FALSE(p.find<QLineEdit>("left3")->text().isEmpty());
    EXPECT_EQ(p.field(1), memory(p, 0x0300, 16));
    EXPECT_EQ(p.field(4), memory(p, 0x0390, 16));
    EXPECT_EQ(p.field(5), memory(p, 0x0200, 18));
    EXPECT_EQ(p.field(9), memory(p, 0x0270, 16));
    EXPECT_EQ(p.field(10), memory(p, 0x02D0, 16));
    EXPECT_EQ(p.field(11), memory(p, 0x02E0, 17));
    EXPECT_EQ(p.field(15), memory(p, 0x02A8, 12));
    EXPECT_EQ(p.find<QLineEdit>("kaiji1")->text(), "HELLO");

    // A new channel 13 goes out with the write, into the first record of block 6.
    p.clickCell(Band::Upper, 1, 13);
    p.type("438.0125");
    p.key(Qt::Key_Return);
    p.prompter.infos.clear();
    p.radio->clearReceived();
    shell::TForm6& form6 = *p.windows.Form6;
    EXPECT_EQ(form6.windowTitle(), "写频");
    EXPECT_EQ(form6.size(), QSize(449, 157));
    const DialogRun write = runDialog(p, "ToolButton9", &form6);
    EXPECT_FALSE(write.buttonsEnabledMeanwhile);
    EXPECT_TRUE(write.stayedOpen);
    EXPECT_EQ(p.prompter.texts(), QStringList({"写频正确!"}));
    EXPECT_EQ(form6.progressBar()->value(), 136);
    EXPECT_TRUE(memory(p, 0x0400 + 6 * 48, 24).contains(QString::fromStdString(image::hexDigits(43801250, 8))));
    int writes = 0;
    for (const auto& f : p.radio->frames()) writes += f.size() > 4 && f[0] == 'W' && f[1] == 'R';
    EXPECT_EQ(writes, 136);

    // Each showing starts the progress bar at 0; cancel closes the dialog.
    QTimer::singleShot(0, &form5, [&] {
        EXPECT_EQ(form5.progressBar()->value(), 0);
        QTest::mouseClick(form5.findChild<QPushButton*>("Button2"), Qt::LeftButton);
    });
    p.find<QAction>("N6")->trigger();
    EXPECT_FALSE(form5.isVisible());
    p.activate();
    EXPECT_EQ(p.prompter.infos.size(), 1u);
}

TEST(TransferDialogs, ReadFromARadioThatIsOffChangesNothing) {
    Program p(true, "off");
    p.clickCell(Band::Upper, 1, 1);
    p.type("145");
    p.key(Qt::Key_Return);
    const image::EditorState before = p.form2().state();
    runDialog(p, "ToolButton7", p.windows.Form5);
    ASSERT_EQ(p.prompter.texts(), QStringList({"读取失败!"}));
    EXPECT_FALSE(p.prompter.infos[0].detail.isEmpty());
    EXPECT_EQ(p.windows.Form5->progressBar()->value(), 0);
    EXPECT_EQ(p.form2().state(), before);
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.00000");
}

TEST(LimitsButtons, SingleBlockReadsAndWrites) {
    Program p;
    p.showPage(6);
    QTest::mouseClick(p.find<QPushButton>("Button1"), Qt::LeftButton);
    EXPECT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
    EXPECT_EQ(p.find<QLineEdit>("kaiji1")->text(), "HELLO");
    EXPECT_EQ(p.field(10), memory(p, 0x02D0, 16));

    // The edit's Exit runs as the button takes the focus, so the write sends the new line.
    p.prompter.infos.clear();
    auto* kaiji2 = p.find<QLineEdit>("kaiji2");
    QTest::mouseClick(kaiji2, Qt::LeftButton);
    kaiji2->selectAll();
    p.key(Qt::Key_Backspace);  // a full line takes no other key, even over a selection
    p.type("OK");
    QTest::mouseClick(p.find<QPushButton>("Button2"), Qt::LeftButton);
    EXPECT_EQ(p.prompter.texts(), QStringList({"写入成功!"}));
    EXPECT_EQ(memory(p, 0x02D8, 3), "024F4B");

    p.prompter.infos.clear();
    QTest::mouseClick(p.find<QPushButton>("Button3"), Qt::LeftButton);
    EXPECT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
    EXPECT_EQ(p.field(11), memory(p, 0x02E0, 17));
    EXPECT_FALSE(p.find<QLineEdit>("xp1")->text().isEmpty());
}
