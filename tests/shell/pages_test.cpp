// Each settings page's handlers reach their hidden block field, through typed keys, focus
// changes, pointer movement and chosen items.
#include <gtest/gtest.h>

#include "tests/shell/window_fixture.h"

namespace {

void typeInto(Program& p, const char* name, const QString& keys) {
    auto* edit = p.find<QLineEdit>(name);
    QTest::mouseClick(edit, Qt::LeftButton);
    p.type(keys);
}

void moveOver(QWidget* w) {
    QTest::mouseMove(w, QPoint(5, 5));
    QTest::mouseMove(w, QPoint(8, 6));
}

}  // namespace

TEST(BandPages, HandlersSpliceTheirDigits) {
    Program p;
    p.showPage(1);
    const QString k1 = p.field(1);
    typeInto(p, "left3", "150.05");
    EXPECT_EQ(p.field(1), k1);  // only leaving the edit encodes it
    p.leave(p.find<QLineEdit>("left3"));
    EXPECT_EQ(p.field(1), k1.left(4) + "00E4F548" + k1.mid(12));

    // Pointer movement over an edit the operator is typing in judges nothing; leaving does.
    auto* left3 = p.find<QLineEdit>("left3");
    left3->setFocus();
    left3->selectAll();
    p.type("176.00001");
    moveOver(left3);
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_EQ(left3->text(), "176.00001");
    left3->clearFocus();
    EXPECT_EQ(p.prompter.texts(), QStringList({"接收频率在136MHZ~176MHZ"}));
    p.prompter.infos.clear();
    // Over an edit without the focus, pointer movement re-encodes the upper page's edits; a
    // frequency out of the band is refused with the message, emptied and stored as not set.
    left3->setText("176.00001");
    moveOver(left3);
    EXPECT_EQ(p.prompter.texts(), QStringList({"Receive Frequency in 136MHZ~176MHZ"}));
    EXPECT_EQ(left3->text(), "");
    EXPECT_EQ(p.field(1).mid(4, 8), "FFFFFFFF");
    p.prompter.infos.clear();
    typeInto(p, "left3", "136");
    p.key(Qt::Key_Tab);
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_EQ(p.field(1).mid(4, 8), "00CF8500");

    const QString k2 = p.field(2);
    p.choose(p.find<QComboBox>("left16"), "6.25K");
    EXPECT_EQ(p.field(2), k2.left(14) + "0271" + k2.mid(18));
    p.choose(p.find<QComboBox>("left7"), "D023I");
    EXPECT_EQ(p.field(1).mid(20, 4), "C023");

    // The lower page writes k3/k4, re-encodes only on leaving, and words its message so.
    p.showPage(3);
    const QString k3 = p.field(3);
    typeInto(p, "right3", "150.05");
    moveOver(p.find<QLineEdit>("right3"));
    EXPECT_EQ(p.field(3), k3);
    p.find<QLineEdit>("right3")->selectAll();
    p.type("435");
    p.leave(p.find<QLineEdit>("right3"));
    EXPECT_EQ(p.prompter.texts(), QStringList({"Receive Frequency in 136MHZ~176MHZ"}));
    EXPECT_EQ(p.field(3), k3);  // it was "not set" and stays so
    EXPECT_EQ(p.find<QLineEdit>("right3")->text(), "");
    p.choose(p.find<QComboBox>("right2"), "128");
    EXPECT_EQ(p.field(3).mid(2, 2), "7F");
    EXPECT_EQ(p.field(1).mid(2, 2), "00");
}

TEST(GeneralPage, RadioFrequencyAndLists) {
    Program p;
    p.showPage(4);
    const QString k5 = p.field(5);
    typeInto(p, "gn3", "94.5");
    moveOver(p.find<QLineEdit>("gn3"));
    EXPECT_EQ(p.field(5), k5);  // not while the operator types in it
    p.leave(p.find<QLineEdit>("gn3"));
    EXPECT_EQ(p.field(5), k5.left(4) + "03B1" + k5.mid(8));
    p.find<QLineEdit>("gn3")->setText("95");  // as a file would set it, without the focus
    moveOver(p.find<QLineEdit>("gn3"));
    EXPECT_EQ(p.field(5).mid(4, 4), "03B6");
    p.find<QLineEdit>("gn3")->setFocus();
    p.find<QLineEdit>("gn3")->selectAll();
    p.type("108.1");
    p.leave(p.find<QLineEdit>("gn3"));
    EXPECT_EQ(p.prompter.texts(), QStringList({"收音频率 88~108MHz"}));
    EXPECT_EQ(p.field(5).mid(4, 4), "FFFF");

    p.choose(p.find<QComboBox>("gn12"), "2100HZ");
    EXPECT_EQ(p.field(5).mid(24, 4), "0834");
    p.choose(p.find<QComboBox>("gn11"), "600");
    EXPECT_EQ(p.field(5).mid(22, 2), "14");
    p.choose(p.find<QComboBox>("gn15"), "开");
    EXPECT_EQ(p.field(5).right(2), "01");
}

TEST(DtmfPage, KeysAreFilteredAndEveryChangeIsEncoded) {
    Program p;
    p.showPage(5);
    typeInto(p, "sy1", "123");
    EXPECT_EQ(p.field(6), "03010203FFFFFFFF00FFFFFFFFFFFFFF");
    p.type("a");  // refused, with the list of what the edit takes
    EXPECT_EQ(p.find<QLineEdit>("sy1")->text(), "123");
    ASSERT_EQ(p.prompter.infos.size(), 1u);
    EXPECT_TRUE(p.prompter.infos[0].text.startsWith("DTMF:"));
    p.prompter.infos.clear();
    p.type("C");
    EXPECT_EQ(p.field(6).left(16), "040102030FFFFFFF");

    typeInto(p, "sypz8", "123456");  // a short code holds five digits
    EXPECT_EQ(p.find<QLineEdit>("sypz8")->text(), "12345");
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_EQ(p.field(15), "00FFFFFFFFFF050102030405");
    for (int i = 0; i < 5; ++i) p.key(Qt::Key_Backspace);
    EXPECT_EQ(p.field(15), "00FFFFFFFFFF00FFFFFFFFFF");

    p.choose(p.find<QComboBox>("sypz9"), "遥毕");
    EXPECT_EQ(p.form2().state().dtmf.sypz9, 2);
}

TEST(LimitsPage, MessageLinesLimitsAndSwitch) {
    Program p;
    p.showPage(6);
    typeInto(p, "kaiji1", "~A,B'C\"");
    EXPECT_EQ(p.find<QLineEdit>("kaiji1")->text(), "ABC");
    p.leave(p.find<QLineEdit>("kaiji1"));
    EXPECT_EQ(p.field(10), "03414243FFFFFFFF00FFFFFFFFFFFFFF");
    typeInto(p, "kaiji2", "1234567890");
    EXPECT_EQ(p.find<QLineEdit>("kaiji2")->text(), "1234567");
    moveOver(p.find<QLineEdit>("kaiji2"));
    EXPECT_EQ(p.field(10).mid(16), "00FFFFFFFFFFFFFF");  // not while the operator types in it
    p.leave(p.find<QLineEdit>("kaiji2"));
    EXPECT_EQ(p.field(10).mid(16), "0731323334353637");

    // Enter moves from one limit to the next; each limit goes into its own eight digits.
    typeInto(p, "xp1", "136x");
    p.key(Qt::Key_Return);
    EXPECT_TRUE(p.find<QLineEdit>("xp2")->hasFocus());
    p.type("174");
    p.key(Qt::Key_Return);
    p.type("0.01");
    p.key(Qt::Key_Return);
    p.type("480");
    p.key(Qt::Key_Return);  // refused on the last limit
    EXPECT_TRUE(p.find<QLineEdit>("xp4")->hasFocus());
    p.leave(p.find<QLineEdit>("xp4"));
    EXPECT_EQ(p.field(11), "00CF8500010980C0000003E802DC6C0001");
    p.choose(p.find<QComboBox>("xp5"), "关");
    EXPECT_EQ(p.field(11).right(2), "00");
    EXPECT_TRUE(p.prompter.infos.empty());
}
