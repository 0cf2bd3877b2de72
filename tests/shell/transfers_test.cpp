// The read and write dialogs and the limits page's buttons against the virtual radio.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "base/hex.h"
#include "image/transfer.h"
#include "serial/comm.h"
#include "serial/owner_queue.h"
#include "shell/connection_check.h"
#include "shell/end_on_signals.h"
#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

QString memory(Program& p, std::uint16_t address, std::size_t length) {
    return QString::fromStdString(base::BytesToHex(p.radio->read(address, length)));
}

// Clicks the toolbar button that shows the dialog, then the dialog's first button; while
// the procedure runs, looks whether the dialog can be closed and its buttons pressed.
struct DialogRun {
    bool buttonsEnabledMeanwhile = true;
    bool cancelEnabledMeanwhile = false;
    bool stayedOpen = false;
};
DialogRun runDialog(Program& p, const char* toolButton, shell::TransferDialog* dialog) {
    DialogRun run;
    QTimer::singleShot(0, dialog, [&] {
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->progressBar()->value(), 0);
        QTimer::singleShot(150, dialog, [&] {
            auto* cancel = dialog->findChild<QPushButton*>("Button2");
            run.buttonsEnabledMeanwhile = dialog->startButton()->isEnabled();
            run.cancelEnabledMeanwhile = cancel->isEnabled();
            dialog->close();
            // Escape stops a read as 取消 does (undo_and_rows_test); a write goes on.
            if (dialog == p.windows.Form6) QTest::keyClick(dialog, Qt::Key_Escape);
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
    EXPECT_TRUE(read.cancelEnabledMeanwhile) << "取消 stops a read";
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
    EXPECT_FALSE(write.cancelEnabledMeanwhile) << "a write runs to its end";
    EXPECT_TRUE(write.stayedOpen);
    EXPECT_EQ(p.prompter.texts(), QStringList({"写频正确!"}));
    EXPECT_EQ(form6.progressBar()->value(), 136);
    EXPECT_TRUE(memory(p, 0x0400 + 6 * 48, 24).contains(QString::fromStdString(base::hexDigits(43801250, 8))));
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
    EXPECT_EQ(p.form2().history().undoSteps(), 1u) << "the typed cell alone: a failed read is no step";
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.00000");

    // The failure offered the connection check; taken, it tells why, and sends no write.
    EXPECT_TRUE(p.prompter.questions.contains(QString::fromUtf8(shell::kOfferCheck)));
    p.prompter.answer = false;  // no report saved
    p.form2().N20Click();
    ASSERT_EQ(p.prompter.infos.size(), 2u);
    EXPECT_TRUE(p.prompter.infos[1].text.contains("nothing answers")) << p.prompter.infos[1].text.toStdString();
    EXPECT_FALSE(p.prompter.infos[1].detail.isEmpty());
    EXPECT_TRUE(p.form2().Comm1().IsOpen()) << "the window's port is open again";
    for (const auto& frame : p.radio->frames()) EXPECT_NE(frame.front(), 'W');
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

namespace {

// The backups folder pointed elsewhere for one test.
class BackupFolder {
public:
    explicit BackupFolder(const QString& dir) : before_(qgetenv("RADIO_BACKUP_DIR")), dir_(dir) {
        qputenv("RADIO_BACKUP_DIR", QFile::encodeName(dir));
    }
    ~BackupFolder() { qputenv("RADIO_BACKUP_DIR", before_); }
    QStringList files() const { return QDir(dir_).entryList({"*.img"}, QDir::Files, QDir::Name); }
    std::vector<std::uint8_t> bytes(const QString& name) const {
        QFile f(QDir(dir_).filePath(name));
        if (!f.open(QIODevice::ReadOnly)) return {};
        const QByteArray b = f.readAll();
        return {b.begin(), b.end()};
    }

private:
    QByteArray before_;
    QString dir_;
};

// The bytes of a 7168-byte image that the transfer list carries.
std::vector<std::uint8_t> blockBytes(const std::vector<std::uint8_t>& image) {
    std::vector<std::uint8_t> out;
    for (const auto& b : image::TransferList())
        out.insert(out.end(), image.begin() + b.address, image.begin() + b.address + b.length);
    return out;
}

// The kinds of frame the radio got, in order: P(ROM_LIN), R(EAD), W(RITE), E(XIT); once
// as many as `expected` has have come (the last EXIT may still be on its way).
std::string frameKinds(Program& p, const std::string& expected) {
    p.radio->waitForFrames(expected.size(), std::chrono::seconds(2));
    std::string kinds;
    for (const auto& f : p.radio->frames()) kinds += f.empty() ? '?' : static_cast<char>(f[0]);
    return kinds;
}

std::string kinds(const char* prefix, int reads, const char* suffix = "") {
    return prefix + std::string(static_cast<std::size_t>(reads), 'R') + suffix;
}

}  // namespace

TEST(TransferDialogs, EveryReadKeepsARawBackupAndTheTraceSeesEveryByte) {
    QTemporaryDir dir;
    BackupFolder backups(dir.filePath("backups"));
    Program p;
    const auto traced = p.form2().startTrace(QFile::encodeName(dir.filePath("trace.txt")).toStdString());
    ASSERT_TRUE(traced.ok()) << traced.message();

    runDialog(p, "ToolButton7", p.windows.Form5);
    ASSERT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
    ASSERT_EQ(backups.files().size(), 1);
    const QString name = backups.files()[0];
    // Named with the date, the time and the port.
    const QString port = QString::fromStdString(p.radio->slavePath()).mid(1).replace('/', '_');
    EXPECT_TRUE(name.endsWith("_" + port + ".img")) << name.toStdString();
    EXPECT_TRUE(p.prompter.infos[0].detail.contains(name));
    const auto saved = backups.bytes(name);
    ASSERT_EQ(saved.size(), 7168u);
    EXPECT_EQ(blockBytes(saved), blockBytes(p.radio->memory()));

    QFile trace(dir.filePath("trace.txt"));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(trace.readAll()).split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines[0].endsWith("> 50 52 4F 4D 5F 4C 49 4E")) << lines[0].toStdString();  // PROM_LIN
    EXPECT_EQ(lines.filter(" > 52 45 41 44 ").size(), 136);                                // every READ
    EXPECT_GE(lines.filter(" < ").size(), 136);

    // A read that fails keeps what it got (0xFF for the rest), under a name that says so.
    p.prompter.infos.clear();
    p.radio->setFault(sim::FaultPlan::Parse("silent-from:2").value);
    runDialog(p, "ToolButton7", p.windows.Form5);
    ASSERT_EQ(p.prompter.texts(), QStringList({"读取失败!"}));
    ASSERT_EQ(backups.files().size(), 2);
    const QString partialName = backups.files()[1] == name ? backups.files()[0] : backups.files()[1];
    EXPECT_TRUE(partialName.endsWith(".incomplete-block-2.img")) << partialName.toStdString();
    EXPECT_TRUE(p.prompter.infos[0].detail.contains(partialName));
    const auto partial = backups.bytes(partialName);
    ASSERT_EQ(partial.size(), 7168u);
    const auto memory = p.radio->memory();
    EXPECT_TRUE(std::equal(partial.begin() + 0x0400, partial.begin() + 0x0460, memory.begin() + 0x0400));
    EXPECT_TRUE(std::all_of(partial.begin() + 0x0460, partial.end(), [](std::uint8_t b) { return b == 0xFF; }));

    // A backups folder that cannot be made is reported; the read's result stands.
    p.prompter.infos.clear();
    p.radio->setFault({});
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    BackupFolder unusable(dir.filePath("file/backups"));
    runDialog(p, "ToolButton7", p.windows.Form5);
    ASSERT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
    EXPECT_TRUE(p.prompter.infos[0].detail.contains("无法建立备份文件夹")) << p.prompter.infos[0].detail.toStdString();
}

TEST(TransferDialogs, WriteWithBackupBeforeAndVerifyAfter) {
    QTemporaryDir dir;
    BackupFolder backups(dir.path());
    Program p;
    shell::TForm6& form6 = *p.windows.Form6;
    EXPECT_EQ(form6.CheckBox1()->text(), "写前备份");
    EXPECT_EQ(form6.CheckBox2()->text(), "写后校验");
    EXPECT_TRUE(form6.CheckBox1()->isChecked());  // a write keeps what it replaces
    EXPECT_FALSE(form6.CheckBox2()->isChecked());

    // A channel the radio does not hold yet.
    p.clickCell(Band::Upper, 1, 13);
    p.type("438.0125");
    p.key(Qt::Key_Return);
    const image::EditorState edited = p.form2().state();
    const auto before = p.radio->memory();

    // 写前备份: a full read first, kept as a backup, then the write; the editor is untouched.
    p.radio->clearReceived();
    runDialog(p, "ToolButton9", &form6);
    EXPECT_EQ(p.prompter.texts(), QStringList({"写频正确!"}));
    const std::string backupThenWrite = kinds("P", 136, "EP") + std::string(136, 'W') + "E";
    EXPECT_EQ(frameKinds(p, backupThenWrite), backupThenWrite);
    ASSERT_EQ(backups.files().size(), 1);
    EXPECT_EQ(blockBytes(backups.bytes(backups.files()[0])), blockBytes(before));
    EXPECT_NE(blockBytes(p.radio->memory()), blockBytes(before));
    EXPECT_EQ(p.form2().state(), edited);
    EXPECT_TRUE(form6.CheckBox1()->isChecked());  // kept for the next showing

    // A read that fails stops before anything is written.
    p.prompter.infos.clear();
    p.radio->setFault(sim::FaultPlan::Parse("silent-from:5").value);
    p.radio->clearReceived();
    runDialog(p, "ToolButton9", &form6);
    ASSERT_EQ(p.prompter.texts(), QStringList({"写频错误!"}));
    EXPECT_TRUE(p.prompter.infos[0].detail.startsWith("没有写入任何数据")) << p.prompter.infos[0].detail.toStdString();
    EXPECT_EQ(frameKinds(p, kinds("P", 6, "E")), kinds("P", 6, "E"));  // the sixth READ is not answered
    EXPECT_EQ(backups.files().size(), 2);
    p.radio->setFault({});

    // 写后校验 alone: the write, then the read back.
    QTest::mouseClick(form6.CheckBox1(), Qt::LeftButton);
    QTest::mouseClick(form6.CheckBox2(), Qt::LeftButton);
    p.prompter.infos.clear();
    p.radio->clearReceived();
    runDialog(p, "ToolButton9", &form6);
    EXPECT_EQ(p.prompter.texts(), QStringList({"写频正确!"}));
    const std::string writeThenRead = "P" + std::string(136, 'W') + kinds("EP", 136, "E");
    EXPECT_EQ(frameKinds(p, writeThenRead), writeThenRead);
    EXPECT_EQ(backups.files().size(), 2);

    // A byte the radio changes after the last acknowledgement is caught and named.
    p.prompter.infos.clear();
    bool changed = false;
    const auto connection = QObject::connect(form6.progressBar(), &QProgressBar::valueChanged, [&](int value) {
        if (value == 136 && !changed) {
            p.radio->write(0x1234, {0x5A});
            changed = true;
        }
    });
    runDialog(p, "ToolButton9", &form6);
    QObject::disconnect(connection);
    ASSERT_TRUE(changed);
    ASSERT_EQ(p.prompter.texts(), QStringList({"写频错误!"}));
    const QString detail = p.prompter.infos[0].detail;
    EXPECT_TRUE(detail.contains("第 75 块 (0x1210")) << detail.toStdString();
    EXPECT_TRUE(detail.contains("0x1234"));
}

namespace {

// The radio's frames once the last "EXIT" has arrived, as their first letters.
std::string kindsAfterExit(Program& p) {
    std::string out;
    for (int i = 0; i < 400; ++i) {
        const auto frames = p.radio->frames();
        if (!frames.empty() && frames.back().front() == 'E') break;
        QTest::qWait(5);
    }
    for (const auto& f : p.radio->frames()) out.push_back(static_cast<char>(f.front()));
    return out;
}

}  // namespace

TEST(EndingTheProgram, WaitsUntilEveryKindOfTransferHasEnded) {
    // 退出(Q) during a full read: the read goes on to its end, then the program ends.
    {
        Program p;
        p.form2().radio().timing = radiolink::Timing();  // the radio's own waits: the end comes inside one
        int terminatedMeanwhile = -1;
        QTimer::singleShot(0, p.windows.Form5, [&] {
            QTimer::singleShot(200, &p.form2(), [&] {
                p.find<QAction>("N15")->trigger();
                terminatedMeanwhile = p.terminated;
            });
            p.windows.Form5->Button1Click();
        });
        p.find<QAction>("N6")->trigger();
        EXPECT_EQ(terminatedMeanwhile, 0);
        EXPECT_EQ(p.terminated, 1);
        EXPECT_EQ(p.windows.Form5->progressBar()->value(), 136);
        EXPECT_TRUE(p.prompter.infos.empty());  // the program ends without a box in the way
        EXPECT_EQ(kindsAfterExit(p), "P" + std::string(136, 'R') + "E");
    }
    // The title bar's close, and 退出, during each single-block transfer.
    for (int button = 1; button <= 4; ++button) {
        SCOPED_TRACE(button);
        Program p;
        p.form2().radio().timing = radiolink::Timing();
        p.showPage(6);
        int terminatedMeanwhile = -1;
        QTimer::singleShot(300, &p.form2(), [&] {
            if (button % 2) p.form2().close();
            else p.find<QAction>("N4")->trigger();
            terminatedMeanwhile = p.terminated;
        });
        QTest::mouseClick(p.find<QPushButton>(QString("Button%1").arg(button).toUtf8().constData()), Qt::LeftButton);
        EXPECT_EQ(terminatedMeanwhile, 0);
        EXPECT_EQ(p.terminated, 1);
        EXPECT_EQ(kindsAfterExit(p), button % 2 ? "PRE" : "PWE");
    }
}

TEST(EndingTheProgram, SigtermWaitsForTheTransferToo) {
    Program p;
    p.form2().radio().timing = radiolink::Timing();
    shell::EndOnSignals endOnSignals(p.form2());
    p.showPage(6);
    int terminatedMeanwhile = -1;
    QTimer::singleShot(300, &p.form2(), [&] {
        ::raise(SIGTERM);
        QTest::qWait(50);
        terminatedMeanwhile = p.terminated;
    });
    QTest::mouseClick(p.find<QPushButton>("Button4"), Qt::LeftButton);
    EXPECT_EQ(terminatedMeanwhile, 0);
    EXPECT_EQ(p.terminated, 1);
    EXPECT_EQ(kindsAfterExit(p), "PWE");
    // Outside a transfer it ends at once.
    ::raise(SIGTERM);
    QTest::qWait(50);
    EXPECT_EQ(p.terminated, 2);
}

TEST(LimitsButtons, NothingElseStartsOrChangesTheEditorMeanwhile) {
    Program p;
    p.form2().radio().timing = radiolink::Timing();
    p.showPage(6);
    bool windowInFront = false;
    QTimer::singleShot(300, &p.form2(), [&] {
        windowInFront = QApplication::activeModalWidget() && QApplication::activeModalWidget()->isVisible();
        p.find<QAction>("N1")->trigger();  // New
        p.form2().N6Click();  // 读频
        p.find<QComboBox>("ComboBox1")->activated(0);  // the port
    });
    QTest::mouseClick(p.find<QPushButton>("Button3"), Qt::LeftButton);
    EXPECT_TRUE(windowInFront);
    const QString busy = QString::fromUtf8("正在与电台通讯, 请等当前操作结束!");
    EXPECT_EQ(p.prompter.texts(), QStringList({busy, busy, busy, "读取成功!"}));
    EXPECT_TRUE(p.prompter.questions.isEmpty());  // New did not even ask
    EXPECT_EQ(p.field(11), memory(p, 0x02E0, 17));
    EXPECT_EQ(kindsAfterExit(p), "PRE");
}

// Enter starts the procedure: the start button is the default one and has the focus at each
// opening, wherever the operator left it the time before.
TEST(TransferDialogs, EachOpeningStartsOnTheStartButton) {
    Program p;
    for (shell::TransferDialog* dialog : {static_cast<shell::TransferDialog*>(p.windows.Form5),
                                          static_cast<shell::TransferDialog*>(p.windows.Form6)}) {
        for (int opening = 0; opening < 2; ++opening) {
            bool focused = false, isDefault = false;
            QTimer::singleShot(0, dialog, [&] {
                focused = dialog->focusWidget() == dialog->startButton();
                isDefault = dialog->startButton()->isDefault();
                // Leaves the focus on 取消 as a mouse user would, then closes with Escape.
                dialog->findChild<QPushButton*>("Button2")->setFocus();
                QTest::keyClick(dialog, Qt::Key_Escape);
            });
            p.find<QAction>(dialog == p.windows.Form5 ? "N6" : "N7")->trigger();
            EXPECT_TRUE(focused) << dialog->objectName().toStdString() << " opening " << opening;
            EXPECT_TRUE(isDefault);
        }
    }
    // Enter in the read dialog reads.
    QTimer::singleShot(0, p.windows.Form5, [&] { QTest::keyClick(p.windows.Form5, Qt::Key_Return); });
    p.find<QAction>("N6")->trigger();
    p.activate();
    EXPECT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
}

// A port that another program holds is told as such when a procedure would use it, and is
// taken once it is free; the radio is never blamed for a port that did not open.
TEST(TransferDialogs, APortHeldElsewhereIsToldAndTakenWhenFree) {
    serial::OwnerQueue queue;
    serial::TComm holder(queue);
    Program p(true, "none", true, [&](shell::MainWindowOptions&, const std::string& path) {
        holder.SetCommName(path);
        ASSERT_TRUE(holder.OpenPort().ok());
    });
    EXPECT_FALSE(p.form2().Comm1().IsOpen());
    EXPECT_EQ(p.form2().statusPanel(0), QString::fromUtf8("通讯端口:串口被占用!"));
    p.showPage(6);
    QTest::mouseClick(p.find<QPushButton>("Button1"), Qt::LeftButton);
    p.find<QAction>("N6")->trigger();
    p.find<QAction>("N7")->trigger();
    ASSERT_EQ(p.prompter.texts(), QStringList({"串口打不开!", "串口打不开!", "串口打不开!"}));
    EXPECT_TRUE(p.prompter.infos[0].detail.contains(QString::fromUtf8("端口正被另一个程序占用")))
        << p.prompter.infos[0].detail.toStdString();
    EXPECT_FALSE(p.windows.Form5->isVisible());
    EXPECT_TRUE(p.radio->frames().empty());

    holder.ClosePort();
    p.prompter.infos.clear();
    runDialog(p, "ToolButton7", p.windows.Form5);
    EXPECT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
    EXPECT_TRUE(p.form2().statusPanel(0).endsWith(QString::fromStdString(p.radio->slavePath())));
}
