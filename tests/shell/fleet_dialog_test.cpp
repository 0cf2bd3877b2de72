// 批量写频: the dialog over two virtual radios, one on each port at once, and what it refuses.
#include <gtest/gtest.h>

#include <QFile>
#include <QListWidget>
#include <QTableWidget>

#include "shell/fleet_dialog.h"
#include "tests/shell/window_fixture.h"

namespace {

sim::RadioOptions quick() {
    sim::RadioOptions options;
    options.pacing = false;
    return options;
}

struct Fleet {
    Program p;
    sim::VirtualRadio second{quick()};
    QTemporaryDir dir;
    std::unique_ptr<shell::FleetDialog> dialog;

    Fleet() {
        // The batch opens its own ports, as 批量写频 does once it has closed the window's.
        p.form2().Comm1().ClosePort();
        dialog = std::make_unique<shell::FleetDialog>(
            &p.form2(), p.prompter, p.form2().state(),
            std::vector<std::string>{p.radio->slavePath(), second.slavePath()},
            [](const std::string& name) { return name; }, p.radio->slavePath());
    }
    void rows(const std::vector<std::vector<QString>>& rows) {
        QTableWidget* table = dialog->radios();
        table->setRowCount(0);
        for (const auto& cells : rows) {
            table->insertRow(table->rowCount());
            for (int c = 0; c < table->columnCount(); ++c)
                table->setItem(table->rowCount() - 1, c, new QTableWidgetItem(c < int(cells.size()) ? cells[c] : ""));
        }
    }
    void bothPorts() { dialog->ports()->item(1)->setCheckState(Qt::Checked); }
    QString log() const { return dir.filePath("fleet-log.csv"); }
    QStringList logLines() const {
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
};

TEST(FleetDialog, TwoRadiosOnTwoPortsAtOnceAreProgrammedAndLogged) {
    Fleet f;
    const image::EditorState before = f.p.form2().state();
    f.rows({{"车队 01", "101"}, {}, {"车队 02", "102", "", "FLEET02"}});  // an empty row is no radio
    f.bothPorts();
    f.dialog->logFile()->setText(f.log());
    ASSERT_TRUE(f.dialog->Start()) << f.p.prompter.errors.join("|").toStdString();
    f.dialog->waitForEnd();
    ASSERT_FALSE(f.p.prompter.infos.empty());
    EXPECT_EQ(f.p.prompter.infos.back().text, QString::fromUtf8("2 台成功, 0 台失败"));
    const QStringList lines = f.logLines();
    ASSERT_EQ(lines.size(), 3) << lines.join("\n").toStdString();
    for (int i = 1; i < 3; ++i) EXPECT_TRUE(lines[i].contains(",ok,")) << lines[i].toStdString();
    EXPECT_EQ(f.dialog->radios()->rowCount(), 2);
    for (int r = 0; r < 2; ++r)
        EXPECT_TRUE(f.dialog->radios()->item(r, 6)->text().startsWith(QString::fromUtf8("成功")));
    // Each radio got a write; the editor's state is the plan, unchanged.
    for (sim::VirtualRadio* radio : {f.p.radio.get(), &f.second}) {
        bool wrote = false;
        for (const auto& frame : radio->frames()) wrote = wrote || (frame.size() > 4 && frame[0] == 'W');
        EXPECT_TRUE(wrote);
    }
    EXPECT_TRUE(f.p.form2().state() == before);

    // Again with the same log: both are done, nothing is written.
    f.p.radio->clearReceived();
    ASSERT_TRUE(f.dialog->Start());
    f.dialog->waitForEnd();
    EXPECT_EQ(f.p.prompter.infos.back().text, QString::fromUtf8("0 台成功, 0 台失败"));
    EXPECT_TRUE(f.p.radio->frames().empty());
}

TEST(FleetDialog, RefusesBeforeAnythingIsSent) {
    struct Case {
        const char* what;
        std::vector<std::vector<QString>> rows;
        bool log, port;
        const char* error;  // a piece of the box's text
    };
    const Case cases[] = {
        {"an ID that is no DTMF code", {{"A", "12X"}}, true, true, "column id"},
        {"two radios with one ID", {{"A", "101"}, {"B", "101"}}, true, true, "column id"},
        {"a row without a label", {{"", "101"}}, true, true, "column label"},
        {"no log file", {{"A", "101"}}, false, true, "请选择日志文件"},
        {"no port", {{"A", "101"}}, true, false, "请选择至少一个端口"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fleet f;
        f.rows(c.rows);
        if (c.log) f.dialog->logFile()->setText(f.log());
        if (!c.port) f.dialog->ports()->item(0)->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(f.dialog->Start());
        ASSERT_EQ(f.p.prompter.errors.size(), 1);
        EXPECT_TRUE(f.p.prompter.errors[0].contains(QString::fromUtf8(c.error))) << f.p.prompter.errors[0].toStdString();
        EXPECT_TRUE(f.p.radio->frames().empty());
        EXPECT_FALSE(QFile::exists(f.log()));
    }
}

}  // namespace
