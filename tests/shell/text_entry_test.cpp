// What the operator types, pastes or drops is what the radio gets: every way text enters a
// filtered edit passes its filter, the editing keys work in each, and a write built from what
// the windows hold is the same in a decimal-comma locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>

#include "image/channel_codec.h"
#include "image/limits_page.h"
#include "image/transfer.h"
#include "tests/shell/window_fixture.h"

namespace {

using image::Band;

enum class Way { CtrlV, ShiftInsert, MiddleClick, Drop, InputMethod };
constexpr Way kWays[] = {Way::CtrlV, Way::ShiftInsert, Way::MiddleClick, Way::Drop, Way::InputMethod};
const char* name(Way w) {
    switch (w) {
    case Way::CtrlV: return "Ctrl+V";
    case Way::ShiftInsert: return "Shift+Insert";
    case Way::MiddleClick: return "middle click";
    case Way::Drop: return "drop";
    case Way::InputMethod: return "input method";
    }
    return "";
}

// Whether this platform has an X11-style selection for the middle button to paste.
bool hasSelection() { return QGuiApplication::clipboard()->supportsSelection(); }

// Puts the text into the edit the given way, at its end.
void enter(QLineEdit* edit, const QString& text, Way way) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QPoint end(edit->width() - 3, edit->height() / 2);
    switch (way) {
    case Way::CtrlV:
        clipboard->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        break;
    case Way::ShiftInsert:
        clipboard->setText(text);
        QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
        break;
    case Way::MiddleClick:
        clipboard->setText(text, QClipboard::Selection);
        QTest::mouseClick(edit, Qt::MiddleButton, {}, end);
        break;
    case Way::Drop: {
        QMimeData mime;
        mime.setText(text);
        QDragEnterEvent enterEvent(end, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &enterEvent);
        QDropEvent drop(QPointF(end), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &drop);
        break;
    }
    case Way::InputMethod: {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(edit, &commit);
        break;
    }
    }
}

// Everything a filter must sort out: a comma and quotes (which a ".bc" file cannot carry), a
// "~", letters, a second ".", Chinese, a line break and a character without a GBK form.
const QString kMixed = QString::fromUtf8("12,ab\"~xyz.9ABCDEFG\n测试\U0001F600");

struct FilteredEdit {
    const char* control;
    Band gridBand;     // for a cell editor: the grid and column it opens on
    int column = 0;
    int row = 0;
    QString kept;      // what of kMixed the edit keeps
    QString message;   // how the first message the filter gives begins
};

// The edit, shown and empty, with the focus.
QLineEdit* open(Program& p, const FilteredEdit& e) {
    if (e.column > 0) {
        p.clickCell(e.gridBand, e.column, e.row);
        auto* edit = qobject_cast<QLineEdit*>(p.page(e.gridBand).editor(e.column == 12 ? 13 : e.column == 4 ? 5 : 1));
        edit->clear();
        return edit;
    }
    auto* edit = p.find<QLineEdit>(e.control);
    p.showPage(std::string(e.control).rfind("sy", 0) == 0 ? 5 : 6);
    p.activate();
    edit->setFocus(Qt::MouseFocusReason);
    edit->clear();
    return edit;
}

const FilteredEdit kEdits[] = {
    {"t1", Band::Upper, 1, 3, "12.9", QString::fromUtf8("字符'")},
    {"p5", Band::Lower, 4, 3, "12.9", QString::fromUtf8("字符'")},
    {"t13", Band::Upper, 12, 1, "12ab~xy", ""},  // full at "z": the rest is cut, and told below
    {"kaiji1", Band::Upper, 0, 0, "12ab~xy", QString::fromUtf8("字符'")},
    {"xp1", Band::Upper, 0, 0, "12.9", QString::fromUtf8("字符'")},
    {"sy1", Band::Upper, 0, 0, "129ABCD", "DTMF:"},
    {"sypz3", Band::Upper, 0, 0, "129AB", QString::fromUtf8("输入以下字符:")},
};

}  // namespace

TEST(TextEntry, EveryWayInPassesTheFilter) {
    Program p;
    p.clickCell(Band::Upper, 1, 1);
    p.type("145");
    p.key(Qt::Key_Return);  // the name opens only on a channel with a frequency
    for (const FilteredEdit& e : kEdits) {
        for (Way way : kWays) {
            SCOPED_TRACE(std::string(e.control) + " by " + name(way));
            QLineEdit* edit = open(p, e);
            p.prompter.infos.clear();
            p.form2().tellLine({});
            enter(edit, kMixed, way);
            if (way == Way::MiddleClick && !hasSelection()) {
                EXPECT_EQ(edit->text(), "");  // nothing to paste, and nothing gets past
                continue;
            }
            EXPECT_EQ(edit->text(), e.kept);
            if (e.message.isEmpty()) {
                EXPECT_TRUE(p.prompter.infos.empty()) << p.prompter.texts().join("|").toStdString();
                EXPECT_EQ(p.form2().statusLine(),
                          QString::fromUtf8("信道名称最多7个字节(汉字每字2个字节), 已截为\"12ab~xy\""));
                continue;
            }
            ASSERT_EQ(p.prompter.infos.size(), 1u) << p.prompter.texts().join("|").toStdString();
            EXPECT_TRUE(p.prompter.infos[0].text.startsWith(e.message)) << p.prompter.infos[0].text.toStdString();
        }
    }
    // The filters judge the text arriving at the cursor: into a full edit nothing more goes.
    p.prompter.infos.clear();
    QLineEdit* kaiji = open(p, kEdits[3]);
    p.type("ABCDEFG");
    enter(kaiji, "H", Way::CtrlV);
    EXPECT_EQ(kaiji->text(), "ABCDEFG");
    // Pasted over a selection, the text replaces it.
    kaiji->setSelection(1, 3);
    enter(kaiji, "xyz", Way::CtrlV);
    EXPECT_EQ(kaiji->text(), "AxyzEFG");
    EXPECT_TRUE(p.prompter.infos.empty());
}

// Chinese names come in through an input method or pasted, are cut at 7 GBK bytes between
// characters with a line in the status bar, and reach the radio as GBK.
TEST(TextEntry, ChineseNamesTypedAndPastedEndUpInTheRadio) {
    Program p;
    p.enter(Band::Upper, 1, 2, "145.125");
    auto* t13 = qobject_cast<QLineEdit*>(p.page(Band::Upper).editor(13));
    struct Case {
        Way way;
        const char* text;
        const char* kept;
        const char* told;  // the status line ("" none)
        const char* box;   // how the box begins ("" none)
    };
    const Case cases[] = {
        {Way::InputMethod, "中继3", "中继3", "", ""},
        {Way::CtrlV, "工地1", "工地1", "", ""},
        {Way::MiddleClick, "工地1", "工地1", "", ""},
        {Way::CtrlV, "测试公司AB", "测试公", "信道名称最多7个字节(汉字每字2个字节), 已截为\"测试公\"", ""},
        {Way::InputMethod, "中继台A号", "中继台A", "信道名称最多7个字节(汉字每字2个字节), 已截为\"中继台A\"", ""},
        {Way::CtrlV, "A\U0001F600B", "AB", "", "字符'\U0001F600'没有GBK编码"},
    };
    for (const Case& c : cases) {
        if (c.way == Way::MiddleClick && !hasSelection()) continue;
        SCOPED_TRACE(std::string(name(c.way)) + " " + c.text);
        p.clickCell(Band::Upper, 12, 2);
        t13->clear();
        p.prompter.infos.clear();
        p.form2().tellLine({});
        enter(t13, QString::fromUtf8(c.text), c.way);
        EXPECT_EQ(t13->text(), QString::fromUtf8(c.kept));
        EXPECT_EQ(p.form2().statusLine(), QString::fromUtf8(c.told));
        if (*c.box) {
            ASSERT_EQ(p.prompter.infos.size(), 1u);
            EXPECT_TRUE(p.prompter.infos[0].text.startsWith(QString::fromUtf8(c.box))) << p.prompter.infos[0].text.toStdString();
        } else {
            EXPECT_TRUE(p.prompter.infos.empty()) << p.prompter.texts().join("|").toStdString();
        }
        p.key(Qt::Key_Return);
        EXPECT_EQ(p.cell(Band::Upper, 2, 12), QString::fromUtf8(c.kept));
    }
    // A key typed into a full name is refused and told too.
    p.clickCell(Band::Upper, 12, 2);
    enter(t13, QString::fromUtf8("中继台"), Way::CtrlV);  // in place of the selected name
    p.type("Z");
    EXPECT_EQ(t13->text(), QString::fromUtf8("中继台Z"));
    p.type("Y");
    EXPECT_EQ(t13->text(), QString::fromUtf8("中继台Z"));
    EXPECT_EQ(p.form2().statusLine(), QString::fromUtf8("信道名称最多7个字节(汉字每字2个字节), 已截为\"中继台Z\""));
    p.key(Qt::Key_Return);
    const auto record = image::EncodeChannel(p.form2().state().upper, 2, Band::Upper);
    ASSERT_TRUE(record.ok()) << record.error;
    EXPECT_EQ(record.value.substr(32), "07D6D0BCCCCCA85A");  // 中继台 in GBK, then Z

    QLineEdit* xp1 = open(p, kEdits[4]);
    enter(xp1, "12,ab\"~xyz.9", Way::Drop);
    p.leave(xp1);
    EXPECT_EQ(p.field(11).left(8), "0013AF10");  // 12.9 MHz
}

TEST(EditingKeys, WorkInEveryFilteredEditWithoutAMessage) {
    Program p;
    p.clickCell(Band::Upper, 1, 1);
    p.type("145");
    p.key(Qt::Key_Return);
    for (const FilteredEdit& e : kEdits) {
        SCOPED_TRACE(e.control);
        QLineEdit* edit = open(p, e);
        p.prompter.infos.clear();
        p.type("1234");
        p.key(Qt::Key_Home);
        p.key(Qt::Key_Delete);  // forward
        EXPECT_EQ(edit->text(), "234");
        p.key(Qt::Key_End);
        p.key(Qt::Key_Left);
        p.key(Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), "24");
        p.key(Qt::Key_Right);
        p.type("5");
        EXPECT_EQ(edit->text(), "245");
        p.key(Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(edit->selectedText(), "245");
        p.key(Qt::Key_Delete);
        EXPECT_EQ(edit->text(), "");
        EXPECT_TRUE(p.prompter.infos.empty()) << p.prompter.texts().join("|").toStdString();
    }
}

// Bytes read from the radio that are no GBK text show as U+FFFD, and what the operator does
// not change goes back to the radio as it came.
TEST(TextEntry, KeptBytesAreShownAndSurviveEditing) {
    Program p;
    image::EditorState& s = p.form2().state();
    const std::string message = "03B0FF41FFFFFFFF0281FFFFFFFFFFFF";
    image::DecodePowerOnMessage(s, message);
    s.k[10] = message;
    image::DecodeChannel("00DD7174FFFF0000DD7174FFFF0000D00341FF42FFFFFFFF", s.upper, 7);
    p.form2().showState();
    EXPECT_EQ(p.cell(Band::Upper, 7, 12), QString::fromUtf8("A\uFFFDB"));
    p.showPage(6);
    auto* kaiji1 = p.find<QLineEdit>("kaiji1");
    auto* kaiji2 = p.find<QLineEdit>("kaiji2");
    EXPECT_EQ(kaiji1->text(), QString::fromUtf8("\uFFFD\uFFFDA"));
    EXPECT_EQ(kaiji2->text(), QString::fromUtf8("\uFFFD\uFFFD"));

    QTest::mouseMove(kaiji2, QPoint(5, 5));  // re-encodes the line as it stands
    QTest::mouseMove(kaiji2, QPoint(8, 6));
    EXPECT_EQ(p.field(10).toStdString(), message);
    kaiji1->setFocus(Qt::MouseFocusReason);
    p.key(Qt::Key_End);
    p.type("Z");
    p.leave(kaiji1);
    EXPECT_EQ(p.field(10).toStdString(), "04B0FF415AFFFFFF0281FFFFFFFFFFFF");

    p.clickCell(Band::Upper, 12, 7);
    auto* t13 = qobject_cast<QLineEdit*>(p.page(Band::Upper).editor(13));
    EXPECT_EQ(t13->text(), QString::fromUtf8("A\uFFFDB"));
    p.key(Qt::Key_Return);
    const auto record = image::EncodeChannel(s.upper, 7, Band::Upper);
    EXPECT_EQ(record.value.substr(32), "0341FF42FFFFFFFF");
}

// Whatever the locale the desktop sets (QApplication takes it from the environment), the
// windows' texts reach the frames of a write with "." read as the decimal point.
TEST(Locale, AWriteFromTheWindowsSendsTheSameBytesUnderADecimalComma) {
    const std::string environment = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");  // as LANG=de_DE.UTF-8 would; kept when absent
    Program p;
    p.clickCell(Band::Upper, 1, 1);
    p.type("145.125");
    p.key(Qt::Key_Return);
    EXPECT_EQ(p.cell(Band::Upper, 1, 1), "145.12500");
    p.showPage(1);
    auto* left3 = p.find<QLineEdit>("left3");
    left3->setFocus();
    left3->selectAll();
    p.type("150.05");
    p.leave(left3);
    p.showPage(4);
    auto* gn3 = p.find<QLineEdit>("gn3");
    gn3->setFocus();
    gn3->selectAll();
    p.type("94.5");
    p.leave(gn3);
    QLineEdit* xp1 = open(p, kEdits[4]);
    p.type("136.0125");
    p.leave(xp1);

    const auto frames = image::BuildWriteFrames(p.form2().state());
    ASSERT_TRUE(frames.ok()) << frames.error;
    const auto memory = image::ImageFromFrames(frames.value);
    auto hexAt = [&](std::size_t address, std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += QString::asprintf("%02X", memory[address + i]).toStdString();
        return s;
    };
    EXPECT_EQ(hexAt(0x0400, 4), "00DD7174");  // upper channel 1
    EXPECT_EQ(hexAt(0x0302, 4), "00E4F548");  // left3
    EXPECT_EQ(hexAt(0x0202, 2), "03B1");      // gn3
    EXPECT_EQ(hexAt(0x02E0, 4), "00CF89E2");  // xp1
    std::setlocale(LC_ALL, environment.c_str());
}
