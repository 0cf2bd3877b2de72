// Both channel grids driven by the keyboard alone: typing over a selected cell, Enter, F2,
// Tab and Shift+Tab, Escape, Delete, and the list editors' own keys.
#include <gtest/gtest.h>

#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

class KeyboardEntry : public ::testing::TestWithParam<Band> {
protected:
    Band band = GetParam();
    QString prefix = band == Band::Upper ? "t" : "p";
    QLineEdit* edit(int n) { return p.find<QLineEdit>((prefix + QString::number(n)).toUtf8().constData()); }
    QComboBox* list(int n) { return p.find<QComboBox>((prefix + QString::number(n)).toUtf8().constData()); }
    shell::StringGrid& grid() { return p.grid(band); }
    // The current cell as (column, row).
    std::pair<int, int> at() { return {grid().currentColumn(), grid().currentRow()}; }
    void start() {
        p.activate();
        p.showPage(band == Band::Upper ? 0 : 2);
        grid().setFocus();
    }
    Program p;
};

}  // namespace

TEST_P(KeyboardEntry, AChannelListIsTypedWithoutTheMouse) {
    start();
    ASSERT_EQ(at(), std::make_pair(1, 1));
    for (int row = 1; row <= 12; ++row) {
        // The first key opens the receive frequency's editor holding it.
        p.type(QString::number(144 + row % 3) + ".5");
        EXPECT_TRUE(edit(1)->isVisible());
        p.key(Qt::Key_Tab);
        EXPECT_FALSE(edit(1)->isVisible());
        EXPECT_TRUE(grid().hasFocus());
        EXPECT_EQ(at(), std::make_pair(2, row));
        // A key opens the tone list; Down moves the highlight only, Tab takes it.
        p.type("x");
        QComboBox* tones = list(2);
        ASSERT_TRUE(tones->view()->isVisible());
        for (int i = 0; i < row; ++i) QTest::keyClick(tones->view(), Qt::Key_Down);
        EXPECT_EQ(p.cell(band, row, 2), "0FF");
        QTest::keyClick(tones->view(), Qt::Key_Tab);
        EXPECT_FALSE(tones->isVisible());
        EXPECT_EQ(p.cell(band, row, 2), tones->itemText(row));
        EXPECT_EQ(at(), std::make_pair(3, row));
        // Past the receive mode, to the transmit frequency.
        p.key(Qt::Key_Tab);
        EXPECT_EQ(at(), std::make_pair(4, row));
        p.type("145.6");
        // Shift+Tab commits and goes back; then on to the name.
        p.key(Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_EQ(p.cell(band, row, 4), "145.60000");
        EXPECT_EQ(at(), std::make_pair(3, row));
        for (int c = 3; c < 12; ++c) p.key(Qt::Key_Tab);
        EXPECT_EQ(at(), std::make_pair(12, row));
        // Tab from the name wraps to the receive frequency of the next row.
        p.type(QString("CH%1").arg(row));
        p.key(Qt::Key_Tab);
        EXPECT_EQ(at(), std::make_pair(1, row + 1));
    }
    for (int row = 1; row <= 12; ++row) {
        EXPECT_EQ(p.cell(band, row, 1), QString("%1.50000").arg(144 + row % 3));
        EXPECT_EQ(p.cell(band, row, 12), QString("CH%1").arg(row));
        EXPECT_EQ(p.cell(band, row, 5), "0FF");
    }
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_EQ(p.find<QComboBox>("ComboBox1")->hasFocus(), false);
}

TEST_P(KeyboardEntry, EnterF2EscapeAndDelete) {
    p.enter(band, 1, 1, "145");
    p.enter(band, 4, 1, "150");
    p.enter(band, 12, 1, "NAME");
    start();
    grid().moveTo(1, 1);
    // F2 opens the editor with the text selected: typing replaces it.
    p.key(Qt::Key_F2);
    ASSERT_TRUE(edit(1)->isVisible());
    EXPECT_EQ(edit(1)->selectedText(), "145.00000");
    p.type("146");
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.cell(band, 1, 1), "146.00000");
    EXPECT_EQ(at(), std::make_pair(1, 2));
    // Ctrl+Enter commits as well, and the cell stays the current one.
    p.key(Qt::Key_F2);
    p.type("147");
    p.key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(p.cell(band, 2, 1), "147.00000");
    EXPECT_EQ(at(), std::make_pair(1, 2));
    EXPECT_TRUE(grid().hasFocus());

    // Escape leaves the cell as it was, also for a list.
    grid().moveTo(1, 1);
    p.key(Qt::Key_Return);
    p.type("150");
    p.key(Qt::Key_Escape);
    EXPECT_FALSE(edit(1)->isVisible());
    EXPECT_EQ(p.cell(band, 1, 1), "146.00000");
    EXPECT_TRUE(grid().hasFocus());
    grid().moveTo(8, 1);
    p.key(Qt::Key_Return);
    ASSERT_TRUE(list(9)->view()->isVisible());
    QTest::keyClick(list(9)->view(), Qt::Key_Up);
    QTest::keyClick(list(9)->view(), Qt::Key_Escape);
    EXPECT_FALSE(list(9)->isVisible());
    EXPECT_EQ(p.cell(band, 1, 8), "高");

    // A list opened by a click: Up and Down choose nothing, Enter takes the item and moves on.
    p.clickCell(band, 8, 1);
    ASSERT_EQ(p.form2().focusWidget(), list(9));
    p.key(Qt::Key_Up);
    EXPECT_EQ(p.cell(band, 1, 8), "高");
    EXPECT_TRUE(list(9)->isVisible());
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.cell(band, 1, 8), "低");
    EXPECT_EQ(at(), std::make_pair(8, 2));

    // Delete empties a frequency as an emptied editor would: its dependent cells go with it.
    grid().moveTo(1, 1);
    p.key(Qt::Key_Delete);
    for (int c : {1, 2, 3, 8, 9, 10, 11, 12}) EXPECT_EQ(p.cell(band, 1, c), "") << c;
    EXPECT_EQ(p.cell(band, 1, 4), "150.00000");
    EXPECT_EQ(p.cell(band, 1, 5), "0FF");
}

TEST_P(KeyboardEntry, MovingStaysInTheGridAndNothingIsSearched) {
    start();
    grid().moveTo(5, 1);
    // A key on a cell without an editor opens nothing and jumps nowhere.
    p.type("1");
    EXPECT_EQ(at(), std::make_pair(5, 1));
    EXPECT_TRUE(grid().hasFocus());
    p.key(Qt::Key_PageDown);
    EXPECT_GT(at().second, 1);
    p.key(Qt::Key_Down);
    p.key(Qt::Key_Right);
    EXPECT_EQ(at().first, 6);
    EXPECT_FALSE(list(7)->isVisible()) << "moving opens no editor";

    // Tab at the end of the grid and Shift+Tab at its start stay on the grid.
    grid().moveTo(4, 128);
    p.key(Qt::Key_Tab);
    EXPECT_EQ(at(), std::make_pair(4, 128));
    p.type("150");
    p.key(Qt::Key_Tab);
    EXPECT_EQ(at(), std::make_pair(5, 128));
    grid().moveTo(1, 1);
    p.key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(at(), std::make_pair(1, 1));
    EXPECT_TRUE(grid().hasFocus());
    p.key(Qt::Key_Return);
    p.key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(grid().hasFocus());
    EXPECT_EQ(p.find<QLineEdit>(band == Band::Upper ? "Row" : "row1")->text(), "1");
}

TEST_P(KeyboardEntry, ShiftArrowsExtendTheRowSelection) {
    start();
    grid().moveTo(3, 5);
    p.key(Qt::Key_Down, Qt::ShiftModifier);
    p.key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(p.page(band).selectedRows(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(at(), std::make_pair(3, 7));
    for (int i = 0; i < 3; ++i) p.key(Qt::Key_Up, Qt::ShiftModifier);  // back past where it began
    EXPECT_EQ(p.page(band).selectedRows(), (std::vector<int>{4, 5}));
    p.key(Qt::Key_Down);  // a plain arrow: one cell again, and the selection starts there
    EXPECT_EQ(p.page(band).selectedRows(), (std::vector<int>{5}));
    p.key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(p.page(band).selectedRows(), (std::vector<int>{4, 5}));
    // From rows clicked by their numbers, and never past the first channel.
    p.clickRow(band, 2);
    for (int i = 0; i < 3; ++i) p.key(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(p.page(band).selectedRows(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(list(2)->isVisible());
}

TEST_P(KeyboardEntry, TypedKeysPickListItemsFromTheListsStart) {
    const int interval = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(60000);  // the keys of one search, however slow the run
    p.enter(band, 1, 1, "145");
    start();
    grid().moveTo(2, 1);
    // The key that opens the list picks out its item; the next ones narrow it.
    p.type("1");
    QComboBox* tones = list(2);
    ASSERT_TRUE(tones->view()->isVisible());
    EXPECT_EQ(tones->view()->currentIndex().data().toString(), "100.0HZ");
    p.type("14");
    EXPECT_EQ(tones->view()->currentIndex().data().toString(), "114.8HZ");
    EXPECT_EQ(p.cell(band, 1, 2), "0FF");  // nothing is chosen before Enter
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.cell(band, 1, 2), "114.8HZ");

    // Opened by a click on 114.8HZ: "1" goes to the first item beginning with 1, not the next.
    QApplication::setKeyboardInputInterval(0);  // a new search
    p.clickCell(band, 2, 1);
    ASSERT_EQ(tones->currentText(), "114.8HZ");
    p.activate();
    p.type("1");
    EXPECT_EQ(tones->currentText(), "100.0HZ");
    EXPECT_EQ(p.cell(band, 1, 2), "114.8HZ");
    p.type("d");
    EXPECT_EQ(tones->currentText(), "D023N");
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.cell(band, 1, 2), "D023N");
    QApplication::setKeyboardInputInterval(interval);
}

INSTANTIATE_TEST_SUITE_P(BothGrids, KeyboardEntry, ::testing::Values(Band::Upper, Band::Lower),
                         [](const auto& info) { return info.param == Band::Upper ? "Upper" : "Lower"; });
