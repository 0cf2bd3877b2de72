// What a screen reader finds in the windows: a name for every control the keyboard reaches,
// and a channel cell spoken with its band, channel and column.
#include <algorithm>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QProgressBar>
#include <QTabWidget>

#include "shell/busy_window.h"
#include "shell/fleet_dialog.h"
#include "tests/shell/window_fixture.h"

namespace {

// The controls of a shown window that the keyboard reaches and a screen reader has no name
// for, as "window/control".
QStringList unnamed(QWidget* window) {
    QStringList out;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* w : widgets) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(window)) continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (!face || face->text(QAccessible::Name).trimmed().isEmpty())
            out << window->objectName() + "/" + w->metaObject()->className() + ":" + w->objectName();
    }
    return out;
}

QString spoken(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); }

TEST(Accessibility, EveryControlOfEveryWindowHasAName) {
    Program p;
    QStringList missing;
    auto walk = [&missing](QWidget* window) {
        window->show();
        QApplication::processEvents();
        missing << unnamed(window);
        window->hide();
    };
    walk(&p.form1());
    p.form2().show();
    for (int page = 0; page < p.form2().pageControl()->count(); ++page) {
        p.showPage(page);
        missing << unnamed(&p.form2());
    }
    for (QWidget* dialog : std::initializer_list<QWidget*>{p.windows.Form3, p.windows.Form4, p.windows.Form5, p.windows.Form6})
        walk(dialog);
    shell::FleetDialog fleet(&p.form2(), p.prompter, p.form2().state(), {p.radio->slavePath()},
                             [](const std::string& name) { return name; }, p.radio->slavePath());
    walk(&fleet);
    // Enter in the dialogs that start a transfer starts it, wherever the focus is.
    for (QWidget* dialog : std::initializer_list<QWidget*>{p.windows.Form5, p.windows.Form6, &fleet}) {
        const auto buttons = dialog->findChildren<QPushButton*>();
        EXPECT_EQ(std::count_if(buttons.begin(), buttons.end(), [](QPushButton* b) { return b->isDefault(); }), 1)
            << dialog->objectName().toStdString();
    }
    {
        shell::BusyWindow busy(&p.form2(), QString::fromUtf8("读频"));
        missing << unnamed(&busy);
    }
    missing.removeDuplicates();
    EXPECT_EQ(missing, QStringList{});

    // Names come from the labels without their colon, and say what progress a bar shows.
    EXPECT_EQ(spoken(p.find("left3")), "接收频率");
    // A list is spoken with its item; its name is what a reader says of it beside (on X11
    // the label's relation says it too).
    EXPECT_EQ(p.find("ComboBox1")->accessibleName(), "通讯端口");
    p.showPage(4);
    EXPECT_EQ(spoken(p.form2().pageControl()), "综合设置");
    EXPECT_EQ(spoken(p.windows.Form5->progressBar()), "读频进度");
    EXPECT_EQ(spoken(p.windows.Form6->progressBar()), "写频进度");
    EXPECT_EQ(spoken(p.find("ToolButton1")), "新建");
}

TEST(Accessibility, AChannelCellIsSpokenWithBandChannelColumnAndValue) {
    Program p;
    p.showPage(0);
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(&p.grid(image::Band::Upper));
    ASSERT_TRUE(grid && grid->tableInterface());
    auto cell = [&](int row, int column) { return grid->tableInterface()->cellAt(row - 1, column)->text(QAccessible::Name); };
    const QString heading = p.grid(image::Band::Upper).model()->headerData(image::kColRxFreq, Qt::Horizontal).toString();
    const QString shown = p.cell(image::Band::Upper, 1, image::kColRxFreq);
    EXPECT_EQ(cell(1, image::kColRxFreq),
              QString::fromUtf8("上段信道 1, ") + heading + ", " + (shown.isEmpty() ? QString::fromUtf8("空") : shown));
    int empty = 1;
    while (empty < image::kColName && !p.cell(image::Band::Upper, 128, empty).isEmpty()) ++empty;
    EXPECT_TRUE(cell(128, empty).endsWith(QString::fromUtf8(", 空"))) << cell(128, empty).toStdString();
    p.enter(image::Band::Upper, image::kColRxFreq, 12, "145.125");
    EXPECT_TRUE(cell(12, image::kColRxFreq).startsWith(QString::fromUtf8("上段信道 12, ") + heading + ", 145.125"))
        << cell(12, image::kColRxFreq).toStdString();
}

}  // namespace
