// The main window as it comes up: layout, menus, toolbar, port bar, status bar, the grids and
// every page's start-up controls and hidden fields, seen through the widgets.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include "image/editor_state.h"
#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

QStringList actionTexts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << a->text();
    return out;
}

}  // namespace

TEST(StartUp, WindowMenusToolbarPortAndStatusBar) {
    Program p;
    shell::TForm2& w = p.form2();
    EXPECT_EQ(w.windowTitle(), "Form2");
    EXPECT_EQ(w.size(), QSize(1275, 701));
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w.windowFlags() & Qt::WindowMinimizeButtonHint);

    // Shown as 文件(F) with the F underlined: Alt+F opens it.
    EXPECT_EQ(actionTexts(w.menuBar()->actions()), QStringList({"文件(&F)", "编辑(&E)", "帮助(&H)", "退出(&Q)"}));
    EXPECT_EQ(actionTexts(p.find<QMenu>("F1")->actions()), QStringList({"新建", "打开", "保存", "导入CSV", "导出CSV", "退出"}));
    EXPECT_EQ(actionTexts(p.find<QMenu>("N5")->actions()),
              QStringList({"读频", "写频", "批量写频...", "-------", "上段信道", "下段信道", "-------", "撤销", "重做", "-------", "剪切",
                           "复制", "粘贴", "插入空行", "删除行", "上移", "下移", "按频率排序", "删除空信道", "填充频率"}));
    EXPECT_EQ(actionTexts(p.find<QMenu>("N12")->actions()), QStringList({"备注", "修改密码", "检测连接", "语言/Language"}));
    EXPECT_FALSE(p.find<QAction>("N8")->isEnabled());
    EXPECT_FALSE(p.find<QAction>("N16")->isEnabled());
    EXPECT_EQ(p.find<QAction>("N1")->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(p.find<QAction>("N2")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(p.find<QAction>("N3")->shortcut(), QKeySequence("Ctrl+S"));

    const char* captions[] = {"  新建  ", "  打开  ", "  保存   ", "读频", "写频", "备注", "修改密码"};
    for (int i = 0; i < 7; ++i) {
        auto* b = p.find<QToolButton>(("ToolButton" + std::to_string(2 * i + 1)).c_str());
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), QString::fromUtf8(captions[i]));
        EXPECT_EQ(b->iconSize(), QSize(32, 32));
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_TRUE(b->autoRaise());
        EXPECT_FALSE(b->icon().isNull());
    }

    EXPECT_EQ(p.find<QLabel>("Label1")->text(), "通讯端口:");
    auto* ports = p.find<QComboBox>("ComboBox1");
    EXPECT_FALSE(ports->isEditable());
    ASSERT_EQ(ports->count(), 1);
    EXPECT_EQ(ports->itemText(0).toStdString(), p.radio->slavePath());
    EXPECT_EQ(w.statusPanel(0), "通讯端口:" + ports->itemText(0));
    auto* panel1 = p.find<QLabel>("StatusPanel1");
    EXPECT_EQ(panel1->text(), "    ");
    EXPECT_TRUE(panel1->alignment() & Qt::AlignRight);
    EXPECT_EQ(panel1->width(), 200);
    EXPECT_EQ(p.find<QLabel>("StatusPanel0")->width(), 200);

    // Comm1 is open and runs without software flow control.
    EXPECT_TRUE(w.Comm1().IsOpen());
    EXPECT_EQ(w.Comm1().BaudRate(), 19200u);
    EXPECT_FALSE(w.Comm1().Inx_XonXoffFlow());
    EXPECT_FALSE(w.Comm1().Outx_XonXoffFlow());

    // N9 and N11 make pages 0 and 2 current; a toolbar button runs its menu entry.
    p.find<QAction>("N11")->trigger();
    EXPECT_EQ(w.pageControl()->currentIndex(), 2);
    p.find<QAction>("N9")->trigger();
    EXPECT_EQ(w.pageControl()->currentIndex(), 0);
    p.prompter.answer = false;
    QTest::mouseClick(p.find<QToolButton>("ToolButton1"), Qt::LeftButton);
    EXPECT_EQ(p.prompter.questions, QStringList({"是否新建?"}));

    // Picking the open port again closes and reopens it.
    p.choose(ports, 0);
    EXPECT_TRUE(w.Comm1().IsOpen());
    EXPECT_EQ(w.statusPanel(0), "通讯端口:" + ports->itemText(0));

    // 退出(Q), 退出 and closing the window end the program, with no question asked.
    p.find<QAction>("N15")->trigger();
    p.find<QAction>("N4")->trigger();
    w.close();
    EXPECT_EQ(p.terminated, 3);
    EXPECT_EQ(p.prompter.questions.size(), 1);
}

TEST(StartUp, NoSerialPort) {
    Program p(false);
    EXPECT_EQ(p.form2().statusPanel(0), "无串口!");
    EXPECT_EQ(p.find<QComboBox>("ComboBox1")->count(), 0);
    EXPECT_FALSE(p.form2().Comm1().IsOpen());
    // The limits page's buttons and the transfers say there is no port, and send nothing.
    p.showPage(6);
    for (const char* b : {"Button1", "Button2", "Button3", "Button4"}) QTest::mouseClick(p.find<QWidget>(b), Qt::LeftButton);
    p.find<QAction>("N6")->trigger();
    EXPECT_EQ(p.prompter.texts(), QStringList(5, QString::fromUtf8("无串口!")));
    EXPECT_FALSE(p.windows.Form5->isVisible());
}

TEST(StartUp, PagesAndGrids) {
    Program p;
    QTabWidget* pages = p.form2().pageControl();
    const char* names[] = {"TabSheet1", "TabSheet2", "TabSheet5", "TabSheet6", "TabSheet3", "TabSheet7", "TabSheet4"};
    const char* captions[] = {"上段信道", "上段设置", "下段信道", "下段设置", "综合设置", "双音频组", "限频"};
    ASSERT_EQ(pages->count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(pages->widget(i)->objectName(), names[i]);
        EXPECT_EQ(pages->tabText(i), QString::fromUtf8(captions[i]));
    }
    EXPECT_EQ(pages->currentIndex(), 0);

    const QStringList headings = {"信道", "接收频率", "接收亚音频", "接收模式", "发射频率", "发射亚音频", "发射开始信令",
                                  "发射结束信令", "功率", "宽窄带", "压扩", "扰频", "信道名称"};
    const int widths[] = {55, 75, 80, 120, 75, 80, 120, 120, 100, 75, 75, 75, 80};
    for (Band band : {Band::Upper, Band::Lower}) {
        shell::StringGrid& g = p.grid(band);
        EXPECT_EQ(g.objectName(), band == Band::Upper ? "StringGrid1" : "StringGrid2");
        ASSERT_EQ(g.model()->columnCount(), 13);
        ASSERT_EQ(g.model()->rowCount(), 128);
        for (int c = 0; c < 13; ++c) {
            EXPECT_EQ(g.model()->headerData(c, Qt::Horizontal).toString(), headings[c]);
            EXPECT_EQ(g.columnWidth(c), widths[c]);
        }
        for (int r = 1; r <= 128; ++r) {
            EXPECT_EQ(p.cell(band, r, 0), QString::number(r));
            EXPECT_EQ(g.rowHeight(r - 1), 24);
            for (int c = 1; c < 13; ++c) EXPECT_TRUE(p.cell(band, r, c).isEmpty());
        }
        // The channel number column cannot be selected; every editor starts hidden.
        EXPECT_FALSE(g.model()->index(0, 0).flags() & Qt::ItemIsSelectable);
        for (int n : {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13}) EXPECT_FALSE(p.page(band).editor(n)->isVisible());
    }
    for (const char* hidden : {"Col", "Row", "col1", "row1"}) EXPECT_TRUE(p.find<QLineEdit>(hidden)->isHidden());
}

TEST(StartUp, SettingsPagesAndHiddenFields) {
    Program p;
    auto list = [&](const std::string& name) { return p.find<QComboBox>(name.c_str())->currentText(); };
    auto edit = [&](const std::string& name) { return p.find<QLineEdit>(name.c_str())->text(); };
    for (std::string side : {"left", "right"}) {
        EXPECT_EQ(list(side + "1"), "频率模式");
        EXPECT_EQ(list(side + "2"), "1");
        EXPECT_EQ(p.find<QComboBox>((side + "2").c_str())->count(), 128);
        EXPECT_EQ(edit(side + "3"), "");
        EXPECT_EQ(list(side + "4"), "0FF");
        EXPECT_EQ(p.find<QComboBox>((side + "4").c_str())->count(), 206);
        EXPECT_EQ(list(side + "5"), "关");
        EXPECT_EQ(list(side + "6"), "QT/DQT");
        EXPECT_EQ(list(side + "7"), "0FF");
        EXPECT_EQ(list(side + "8"), "关");
        EXPECT_EQ(p.form2().findChild<QWidget*>(QString::fromStdString(side + "9")), nullptr);
        EXPECT_EQ(list(side + "10"), "高");
        EXPECT_EQ(list(side + "11"), "宽带");
        EXPECT_EQ(list(side + "12"), "关");
        EXPECT_EQ(list(side + "13"), "关");
        EXPECT_EQ(list(side + "14"), "关");
        EXPECT_EQ(edit(side + "15"), "10");
        EXPECT_EQ(list(side + "16"), "25K");
    }
    const char* general[] = {nullptr, "上段", "15", nullptr, "橙色", "蓝色", "紫色", "自动", "开",
                             "2",     "关",   "120", "1750HZ", "50MS", "3",  "关"};
    for (int n = 1; n <= 15; ++n)
        if (general[n]) {
            EXPECT_EQ(list("gn" + std::to_string(n)), QString::fromUtf8(general[n])) << "gn" << n;
        }
    EXPECT_EQ(edit("gn3"), "");
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(edit("sy" + std::to_string(n)), "");
        EXPECT_EQ(edit("sypz" + std::to_string(n)), "");
    }
    EXPECT_EQ(list("sypz9"), "正常");
    for (const char* e : {"kaiji1", "kaiji2", "xp1", "xp2", "xp3", "xp4"}) EXPECT_EQ(edit(e), "");
    EXPECT_EQ(list("xp5"), "开");

    // Every hidden field holds its start-up text, which for k12..k15 is its window text.
    EXPECT_EQ(p.field(2), "000000000F424009C4FFFFFFFFFFFFFF");
    EXPECT_EQ(p.field(5), "000FFFFF010203000102000406D600320300");
    EXPECT_EQ(p.field(11), "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01");
    EXPECT_EQ(p.field(13), "00FFFFFFFFFF00FFFFFFFFFF");
    for (int k = 1; k <= 15; ++k) {
        EXPECT_EQ(p.field(k).toStdString(), image::hiddenField(k).newText) << "k" << k;
        EXPECT_TRUE(p.find<QLineEdit>(("k" + std::to_string(k)).c_str())->isHidden());
        EXPECT_TRUE(p.find<QLabel>(("k" + std::to_string(k) + "Label").c_str())->isHidden());
    }
}

// The keyboard reaches every menu by its Alt key and every page from wherever the focus is,
// the focus going along into the page.
TEST(StartUp, MenuKeysAndPageKeys) {
    Program p;
    p.clickCell(Band::Upper, 1, 1);  // the focus in a grid, which keeps Tab for itself
    QTabWidget* pages = p.form2().pageControl();
    const struct {
        QKeyCombination keys;
        int page;
    } turns[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},      {Qt::CTRL | Qt::Key_PageDown, 2},          {Qt::CTRL | Qt::Key_PageUp, 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 0}, {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 6}, {Qt::CTRL | Qt::Key_Tab, 0},
    };
    for (const auto& turn : turns) {
        p.key(turn.keys.key(), turn.keys.keyboardModifiers());
        EXPECT_EQ(pages->currentIndex(), turn.page) << QKeySequence(turn.keys).toString().toStdString();
        // The focus goes along, not left behind on the page turned away.
        EXPECT_TRUE(pages->currentWidget()->isAncestorOf(QApplication::focusWidget())) << turn.page;
    }
    const struct {
        Qt::Key key;
        const char* menu;
    } menus[] = {{Qt::Key_F, "F1"}, {Qt::Key_E, "N5"}, {Qt::Key_H, "N12"}};
    for (const auto& m : menus) {
        QMenu* menu = p.find<QMenu>(m.menu);
        p.key(m.key, Qt::AltModifier);
        QApplication::processEvents();
        EXPECT_TRUE(menu->isVisible()) << m.menu;
        menu->close();
    }
}

// Qt's own buttons and dialogs speak the program's language.
TEST(StartUp, QtOwnTextsAreChinese) {
    QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    for (auto button : {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::No}) {
        const QString shown = box.button(button)->text();
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](QChar c) { return c.unicode() >= 0x4E00; }))
            << shown.toStdString();
    }
}
