// 导入CSV and 导出CSV in the File menu, on the band of the current channel page.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "exchange/chirp_csv.h"
#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

void enter(Program& p, Band band, int column, int row, const QString& text) {
    p.clickCell(band, column, row);
    p.type(text);
    p.key(Qt::Key_Return);
}

QString write(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST(CsvCommands, OnlyOnAChannelPage) {
    Program p;
    QAction* import = p.find<QAction>("N17");
    QAction* exportCsv = p.find<QAction>("N18");
    EXPECT_EQ(import->text(), "导入CSV");
    EXPECT_EQ(exportCsv->text(), "导出CSV");
    for (int page = 0; page < 7; ++page) {
        p.showPage(page);
        const bool channels = page == 0 || page == 2;
        EXPECT_EQ(import->isEnabled(), channels) << page;
        EXPECT_EQ(exportCsv->isEnabled(), channels) << page;
    }
    EXPECT_TRUE(import->statusTip().contains("上段信道"));
    // A disabled entry does nothing, not even its dialog.
    p.prompter.files = {QString("/nonexistent.csv")};
    import->trigger();
    exportCsv->trigger();
    EXPECT_EQ(p.prompter.files.size(), 1u);
}

TEST(CsvCommands, ExportAndImportTheCurrentPagesBand) {
    Program p;
    QTemporaryDir dir;
    enter(p, Band::Lower, 1, 3, "438.0125");
    enter(p, Band::Lower, 12, 3, "RPT");
    enter(p, Band::Upper, 1, 1, "145.5");

    // Export on the lower page: that band's channels, ".csv" added to a bare name.
    p.showPage(2);
    p.prompter.files = {dir.filePath("lower")};
    p.find<QAction>("N18")->trigger();
    EXPECT_EQ(p.prompter.lastTitle, "导出CSV");
    EXPECT_EQ(p.prompter.lastFilter, "CSV 文件 (*.csv)");
    ASSERT_EQ(p.prompter.texts(), QStringList({"导出成功!"}));
    EXPECT_EQ(p.prompter.infos[0].detail, "导出 1 个信道");
    const QByteArray exported = read(dir.filePath("lower.csv"));
    EXPECT_EQ(exported.toStdString(), exchange::ExportCsv(p.form2().state(), Band::Lower).text);
    EXPECT_TRUE(exported.contains("3,RPT,438.012500,"));
    EXPECT_FALSE(exported.contains("145.5"));

    // Imported on the upper page, it lands in the upper band only; the cells the file cannot
    // carry come in at the editors' defaults.
    p.showPage(0);
    const image::Grid lowerBefore = p.form2().state().grid(Band::Lower);
    p.prompter.infos.clear();
    p.prompter.files = {dir.filePath("lower.csv")};
    p.find<QAction>("N17")->trigger();
    EXPECT_EQ(p.prompter.lastTitle, "导入CSV");
    ASSERT_EQ(p.prompter.texts(), QStringList({"导入成功!"}));
    EXPECT_TRUE(p.prompter.questions.isEmpty());
    EXPECT_EQ(p.cell(Band::Upper, 3, 1), "438.01250");
    EXPECT_EQ(p.cell(Band::Upper, 3, 12), "RPT");
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.50000");  // a location the file does not list
    EXPECT_EQ(p.form2().state().grid(Band::Lower), lowerBefore);

    // A file written by hand in CHIRP's style, onto the lower page.
    p.showPage(2);
    p.prompter.infos.clear();
    p.prompter.files = {QDir::cleanPath(RADIO_TEST_DATA "/../../data/chirp_repeaters.csv")};
    p.find<QAction>("N17")->trigger();
    ASSERT_EQ(p.prompter.texts(), QStringList({"导入成功!"})) << p.prompter.errors.join("|").toStdString();
    EXPECT_EQ(p.cell(Band::Lower, 1, 1), "146.94000");
    EXPECT_EQ(p.cell(Band::Lower, 1, 4), "146.34000");
    EXPECT_EQ(p.cell(Band::Lower, 1, 12), "W1AW");
    EXPECT_EQ(p.cell(Band::Lower, 3, 1), "146.52000");  // over the channel that was there
}

TEST(CsvCommands, BadRowsAreShownAndTakenOnlyWhenAsked) {
    Program p;
    QTemporaryDir dir;
    const QString file = write(dir, "mixed.csv",
                               "Location,Frequency,Duplex,Offset,Name,Mode,Power\r\n"
                               "5,145.500000,,,GOOD,FM,5.0W\r\n"
                               "6,500.000000,,,HIGH,FM,5.0W\r\n"
                               "0,146.000000,,,ZERO,FM,5.0W\r\n"
                               "7,175.000000,+,5.000000,OVER,FM,5.0W\r\n");
    const image::EditorState before = p.form2().state();

    p.prompter.answer = false;
    p.prompter.files = {file};
    p.find<QAction>("N17")->trigger();
    ASSERT_EQ(p.prompter.questions.size(), 1);
    const QString listed = p.prompter.questionDetails[0];
    EXPECT_TRUE(listed.contains("第 3 行: Frequency 500.000000: ")) << listed.toStdString();
    EXPECT_TRUE(listed.contains("第 4 行: Location '0' 不是信道"));
    // The transmit frequency Duplex and Offset make, in the windows' language.
    EXPECT_TRUE(listed.contains("第 5 行: Offset 5.000000: 发射频率 180.000000 (Frequency 175.000000, Duplex +, Offset "
                                "5.000000): 发射频率在136~176MHZ 400~490MHZ"))
        << listed.toStdString();
    EXPECT_FALSE(listed.contains("outside"));
    EXPECT_FALSE(listed.contains("第 2 行"));
    EXPECT_EQ(p.form2().state(), before);
    EXPECT_TRUE(p.prompter.infos.empty());

    p.prompter.answer = true;
    p.prompter.files = {file};
    p.find<QAction>("N17")->trigger();
    ASSERT_EQ(p.prompter.texts(), QStringList({"导入成功!"}));
    EXPECT_TRUE(p.prompter.infos[0].detail.contains("跳过 3 个错误的行")) << p.prompter.infos[0].detail.toStdString();
    EXPECT_EQ(p.cell(Band::Upper, 5, 1), "145.50000");
    EXPECT_EQ(p.cell(Band::Upper, 5, 12), "GOOD");
    EXPECT_EQ(p.cell(Band::Upper, 6, 1), "");
    EXPECT_EQ(p.cell(Band::Upper, 7, 1), "");

    // A file that is no CSV of channels at all, and one that is not there: error boxes.
    p.prompter.files = {write(dir, "other.csv", "Name,Comment\r\nx,y\r\n"), dir.filePath("none.csv")};
    p.find<QAction>("N17")->trigger();
    p.find<QAction>("N17")->trigger();
    ASSERT_EQ(p.prompter.errors.size(), 2);
    EXPECT_TRUE(p.prompter.errors[0].contains("Location")) << p.prompter.errors[0].toStdString();
    EXPECT_TRUE(p.prompter.errors[1].startsWith("无法打开文件"));
    EXPECT_EQ(p.prompter.questions.size(), 2);
}

TEST(CsvCommands, TheFirstLocationIsAskedAndCancelChangesNothing) {
    Program p;
    QTemporaryDir dir;
    const QString file = write(dir, "zero.csv",
                               "# from a radio that counts from 0\r\n"
                               "Location;Frequency;Power\r\n"
                               "0;145.500000;1.0W\r\n"
                               "1;146.000000;50W\r\n");
    const image::EditorState before = p.form2().state();
    p.prompter.numbers = {std::nullopt};
    p.prompter.files = {file};
    p.find<QAction>("N17")->trigger();
    EXPECT_EQ(p.prompter.numberTexts.size(), 1);
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_EQ(p.form2().state(), before);

    p.prompter.numbers = {0};
    p.prompter.files = {file};
    p.find<QAction>("N17")->trigger();
    ASSERT_EQ(p.prompter.texts(), QStringList({"导入成功!"})) << p.prompter.errors.join("|").toStdString();
    EXPECT_EQ(p.prompter.infos[0].detail, "导入 2 个信道\n第 2 行: 文件没有 Mode 列: 每个信道保留原有的宽窄带, 新信道为 宽带");
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.50000");
    EXPECT_EQ(p.cell(Band::Upper, 1, 8), "低");
    EXPECT_EQ(p.cell(Band::Upper, 2, 1), "146.00000");
    EXPECT_EQ(p.cell(Band::Upper, 2, 8), "高");
}

// A band without a channel to export: said, no file asked for or written.
TEST(CsvCommands, AnEmptyBandExportsNothing) {
    Program p;
    QTemporaryDir dir;
    p.prompter.files = {dir.filePath("empty.csv")};
    p.find<QAction>("N18")->trigger();
    ASSERT_EQ(p.prompter.errors.size(), 1);
    EXPECT_TRUE(p.prompter.errors[0].startsWith("上段信道没有带接收频率的信道: 没有可导出的内容")) << p.prompter.errors[0].toStdString();
    EXPECT_EQ(p.prompter.files.size(), 1u);  // no file dialog
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_FALSE(QFile::exists(dir.filePath("empty.csv")));
}
