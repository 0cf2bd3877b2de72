// The cell editors of both channel grids, driven by mouse clicks and typed keys.
#include <gtest/gtest.h>


#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

// Enters a frequency into a cell through its editor and Enter.
void enter(Program& p, Band band, int column, int row, const QString& text) {
    p.clickCell(band, column, row);
    p.key(Qt::Key_Backspace);  // the cell's text comes selected
    p.type(text);
    p.key(Qt::Key_Return);
}

QStringList cells(Program& p, Band band, int row, std::initializer_list<int> columns) {
    QStringList out;
    for (int c : columns) out << p.cell(band, row, c);
    return out;
}

}  // namespace

TEST(GridEditing, FrequencyEditorOverTheCellWithDefaults) {
    Program p;
    p.clickCell(Band::Upper, 1, 3);
    auto* t1 = p.find<QLineEdit>("t1");
    ASSERT_TRUE(t1->isVisible());
    EXPECT_TRUE(t1->hasFocus());
    const QRect cell = p.grid(Band::Upper).cellRect(1, 3);
    EXPECT_EQ(t1->geometry(), QRect(cell.x(), cell.y(), cell.width() + 2, 25));
    EXPECT_EQ(p.find<QLineEdit>("Col")->text(), "1");
    EXPECT_EQ(p.find<QLineEdit>("Row")->text(), "3");

    p.type("145");
    p.key(Qt::Key_Return);
    EXPECT_FALSE(t1->isVisible());
    EXPECT_EQ(p.cell(Band::Upper, 3, 1), "145.00000");
    EXPECT_EQ(cells(p, Band::Upper, 3, {2, 3, 8, 9, 10, 11}), QStringList({"0FF", "关", "高", "宽带", "关", "关"}));
    EXPECT_EQ(cells(p, Band::Upper, 3, {4, 5, 6, 7, 12}), QStringList({"", "", "", "", ""}));

    // The transmit frequency has its own editor and defaults, and the lower grid its own.
    enter(p, Band::Lower, 4, 128, "438.0125");
    EXPECT_EQ(cells(p, Band::Lower, 128, {4, 5, 6, 7}), QStringList({"438.01250", "0FF", "关", "关"}));
    EXPECT_EQ(p.cell(Band::Lower, 128, 1), "");
    EXPECT_EQ(p.find<QLineEdit>("col1")->text(), "4");
    EXPECT_EQ(p.find<QLineEdit>("row1")->text(), "128");
    EXPECT_EQ(p.cell(Band::Upper, 128, 4), "");
}

TEST(GridEditing, RasterRangesAndTextsThatAreNoNumber) {
    Program p;
    const std::pair<const char*, const char*> accepted[] = {
        {"146.00625", "146.00625"}, {"146.001", "146.00250"}, {"145.126", "145.12750"},
        {"175.99999", "176.00000"}, {"490", "490.00000"},     {"136", "136.00000"}};
    for (auto [typed, stored] : accepted) {
        enter(p, Band::Upper, 1, 1, typed);
        EXPECT_EQ(p.cell(Band::Upper, 1, 1), stored) << typed;
    }
    EXPECT_TRUE(p.prompter.infos.empty());

    // Out of range: the receive cells and the name go, the transmit cells stay.
    enter(p, Band::Upper, 4, 1, "150");
    p.clickCell(Band::Upper, 12, 1);
    p.type("CALL");
    p.key(Qt::Key_Return);
    for (const char* refused : {"176.1", "399.99999", ".", "1.2.3", "135.99999"}) {
        enter(p, Band::Upper, 1, 1, "145");
        p.prompter.infos.clear();
        enter(p, Band::Upper, 1, 1, refused);
        EXPECT_EQ(p.prompter.texts(), QStringList({"接收频率在136~176MHZ 400~490MHZ "})) << refused;
        EXPECT_EQ(cells(p, Band::Upper, 1, {1, 2, 3, 8, 9, 10, 11, 12}), QStringList({"", "", "", "", "", "", "", ""}));
        EXPECT_EQ(p.cell(Band::Upper, 1, 4), "150.00000");
        EXPECT_FALSE(p.find<QLineEdit>("t1")->isVisible());
    }
    // The lower grid's texts have no blank at the end.
    p.prompter.infos.clear();
    enter(p, Band::Lower, 4, 2, "500");
    EXPECT_EQ(p.prompter.texts(), QStringList({"发射频率在136~176MHZ 400~490MHZ"}));
    // Emptying a frequency removes it and its cells.
    enter(p, Band::Lower, 1, 2, "400");
    p.clickCell(Band::Lower, 1, 2);
    p.key(Qt::Key_End);
    for (int i = 0; i < 9; ++i) p.key(Qt::Key_Backspace);
    p.key(Qt::Key_Return);
    EXPECT_EQ(cells(p, Band::Lower, 2, {1, 2, 3, 8}), QStringList({"", "", "", ""}));
}

TEST(GridEditing, FrequencyKeyFilter) {
    Program p;
    p.clickCell(Band::Upper, 1, 1);
    auto* t1 = p.find<QLineEdit>("t1");
    p.type("1a4-5 .x1");
    EXPECT_EQ(t1->text(), "145.1");
    p.type("2345678");  // nine characters at most
    EXPECT_EQ(t1->text(), "145.12345");
    p.key(Qt::Key_Backspace);
    EXPECT_EQ(t1->text(), "145.1234");
    p.type("5");
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.12500");
}

TEST(GridEditing, CommitOnLeavingWritesTheCellTheEditorWasOpenedOn) {
    Program p;
    p.clickCell(Band::Upper, 1, 2);
    p.type("435");
    // Selecting another cell: the edit commits into row 2 before the new editor opens.
    p.clickCell(Band::Upper, 4, 5);
    EXPECT_EQ(p.cell(Band::Upper, 2, 1), "435.00000");
    EXPECT_EQ(p.cell(Band::Upper, 5, 1), "");
    EXPECT_EQ(p.find<QLineEdit>("Row")->text(), "5");
    EXPECT_EQ(p.find<QLineEdit>("Col")->text(), "4");
    EXPECT_FALSE(p.find<QLineEdit>("t1")->isVisible());
    EXPECT_TRUE(p.find<QLineEdit>("t5")->isVisible());
    p.type("150");
    // Leaving for another page commits as well.
    p.showPage(1);
    QTest::mouseClick(p.find<QLineEdit>("left3"), Qt::LeftButton);
    EXPECT_EQ(p.cell(Band::Upper, 5, 4), "150.00000");
}

TEST(GridEditing, DropDownEditors) {
    Program p;
    // Without their frequency the list editors and the name editor do not open.
    for (int column : {2, 3, 5, 6, 7, 8, 9, 10, 11, 12}) {
        p.clickCell(Band::Upper, column, 7);
        for (int n : {2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13}) EXPECT_FALSE(p.page(Band::Upper).editor(n)->isVisible());
    }
    enter(p, Band::Upper, 1, 7, "145");
    p.clickCell(Band::Upper, 5, 7);  // transmit tone: still no transmit frequency
    EXPECT_FALSE(p.find<QComboBox>("t6")->isVisible());

    auto* t2 = p.find<QComboBox>("t2");
    p.clickCell(Band::Upper, 2, 7);
    ASSERT_TRUE(t2->isVisible());
    EXPECT_EQ(t2->count(), 206);
    EXPECT_EQ(t2->currentText(), "OFF");  // the cell's "0FF"
    const QRect cell = p.grid(Band::Upper).cellRect(2, 7);
    EXPECT_EQ(t2->geometry(), QRect(cell.x(), cell.y(), cell.width() + 2, 25));
    p.choose(t2, "67.0HZ");
    EXPECT_EQ(p.cell(Band::Upper, 7, 2), "67.0HZ");
    EXPECT_FALSE(t2->isVisible());

    // It opens on the cell's item, and the cell changes only when an item is chosen.
    p.clickCell(Band::Upper, 2, 7);
    EXPECT_EQ(t2->currentText(), "67.0HZ");
    p.clickCell(Band::Upper, 8, 7);
    EXPECT_FALSE(t2->isVisible());
    EXPECT_EQ(p.cell(Band::Upper, 7, 2), "67.0HZ");
    auto* t9 = p.find<QComboBox>("t9");
    EXPECT_EQ(t9->currentText(), "高");
    p.choose(t9, "低");
    EXPECT_EQ(p.cell(Band::Upper, 7, 8), "低");

    // The same frequency again changes nothing; a new one brings the defaults back, and the
    // status bar names what they replaced.
    p.form2().tellLine({});
    enter(p, Band::Upper, 1, 7, "145.0");
    EXPECT_EQ(cells(p, Band::Upper, 7, {2, 8}), QStringList({"67.0HZ", "低"}));
    EXPECT_EQ(p.form2().statusLine(), "");
    enter(p, Band::Upper, 1, 7, "145.12");
    EXPECT_EQ(cells(p, Band::Upper, 7, {1, 2, 8}), QStringList({"145.12000", "0FF", "高"}));
    EXPECT_EQ(p.form2().statusLine(), QString::fromUtf8("第7信道接收频率改为145.12000, 恢复默认: 接收亚音频 67.0HZ→0FF, 功率 低→高"));
    EXPECT_TRUE(p.prompter.infos.empty());

    // The lower grid's lists are its own.
    enter(p, Band::Lower, 4, 3, "440");
    p.clickCell(Band::Lower, 6, 3);
    auto* p7 = p.find<QComboBox>("p7");
    ASSERT_TRUE(p7->isVisible());
    p.choose(p7, "双音1+身份码");
    EXPECT_EQ(p.cell(Band::Lower, 3, 6), "双音1+身份码");
    EXPECT_EQ(p.cell(Band::Upper, 3, 6), "");
}

TEST(GridEditing, NameEditor) {
    Program p;
    enter(p, Band::Upper, 1, 1, "145");
    p.clickCell(Band::Upper, 12, 1);
    auto* t13 = p.find<QLineEdit>("t13");
    ASSERT_TRUE(t13->isVisible());
    // No comma, no quote, no "~" first: the file could not carry them. Seven characters.
    p.type("~A,B\"C'D~EFGH");
    EXPECT_EQ(t13->text(), "ABCD~EF");
    p.key(Qt::Key_Backspace);
    p.type(" ");
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.cell(Band::Upper, 1, 12), "ABCD~E ");
    EXPECT_FALSE(t13->isVisible());
    // Emptied, it leaves an empty name.
    p.clickCell(Band::Upper, 12, 1);
    EXPECT_EQ(t13->text(), "ABCD~E ");
    t13->selectAll();
    p.key(Qt::Key_Delete);
    p.clickCell(Band::Upper, 1, 9);
    EXPECT_EQ(p.cell(Band::Upper, 1, 12), "");
}
