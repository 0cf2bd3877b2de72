// What a screen reader finds in the windows: a name for every control the keyboard reaches,
// and a channel cell spoken with its band, channel and column.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QTimer>
#include <QProgressBar>
#include <QTabWidget>

#include "base/text.h"
#include "shell/busy_window.h"
#include "shell/fleet_dialog.h"
#include "shell/prompter.h"
#include "tests/shell/window_fixture.h"

namespace {

// The controls of a shown window that the keyboard reaches and a screen reader has no name
// for, as "window/role:object", found as a reader finds them: down the accessibility tree.
// The items of a list or a table are named by their texts (the grid's cells below).
void unnamed(QAccessibleInterface* face, const QString& window, QStringList& out) {
    if (!face || face->state().invisible) return;
    if (face->state().focusable && face->text(QAccessible::Name).trimmed().isEmpty())
        out << window + "/" + (face->object() ? QString(face->object()->metaObject()->className()) + ":" + face->object()->objectName() : QString::number(face->role()));
    if (face->role() == QAccessible::Table || face->role() == QAccessible::List) return;
    for (int i = 0; i < face->childCount(); ++i) unnamed(face->child(i), window, out);
}

QStringList unnamed(QWidget* window) {
    QApplication::processEvents();
    QStringList out;
    unnamed(QAccessible::queryAccessibleInterface(window), window->objectName(), out);
    return out;
}

// A modal window opened by `open` as the operator meets it, walked, then closed.
QStringList unnamedInModal(const std::function<void()>& open) {
    QStringList out;
    QTimer::singleShot(0, [&out] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            out << "no window opened";
            return;
        }
        modal->setObjectName(modal->metaObject()->className());
        out << unnamed(modal);
        modal->close();
    });
    open();
    return out;
}

QString spoken(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); }

class Accessibility : public ::testing::TestWithParam<base::Language> {};

TEST_P(Accessibility, EveryControlOfEveryWindowHasAName) {
    base::LanguageScope language(GetParam());
    Program p;
    shell::FleetDialog fleet(&p.form2(), p.prompter, p.form2().state(), {p.radio->slavePath()},
                             [](const std::string& name) { return name; }, p.radio->slavePath());
    shell::DialogPrompter boxes;
    const auto shown = [](QWidget* window) {
        window->show();
        QStringList out = unnamed(window);
        window->hide();
        return out;
    };
    // Every window, each as the operator meets it.
    const std::pair<const char*, std::function<QStringList()>> windows[] = {
        {"login", [&] { return shown(&p.form1()); }},
        {"main window, every page",
         [&] {
             QStringList out;
             p.form2().show();
             for (int page = 0; page < p.form2().pageControl()->count(); ++page) {
                 p.showPage(page);
                 out << unnamed(&p.form2());
             }
             return out;
         }},
        {"password", [&] { return shown(p.windows.Form3); }},
        {"company name", [&] { return shown(p.windows.Form4); }},
        {"read", [&] { return shown(p.windows.Form5); }},
        {"write", [&] { return shown(p.windows.Form6); }},
        {"fleet", [&] { return shown(&fleet); }},
        {"busy", [&] {
             shell::BusyWindow busy(&p.form2(), QString::fromUtf8("读频"));
             return unnamed(&busy);
         }},
        {"information box", [&] { return unnamedInModal([&] { boxes.information(&p.form2(), "?", "detail"); }); }},
        {"question box", [&] { return unnamedInModal([&] { boxes.question(&p.form2(), "?", ""); }); }},
        {"error box", [&] { return unnamedInModal([&] { boxes.error(&p.form2(), "?"); }); }},
        {"number input", [&] { return unnamedInModal([&] { boxes.number(&p.form2(), "?", 1, 1, 9); }); }},
        {"text input", [&] { return unnamedInModal([&] { boxes.text(&p.form2(), "?", ""); }); }},
    };
    for (const auto& [name, walk] : windows) {
        QStringList missing = walk();
        missing.removeDuplicates();
        EXPECT_EQ(missing, QStringList{}) << name;
    }
    // Enter in the dialogs that start a transfer starts it, wherever the focus is.
    for (QWidget* dialog : std::initializer_list<QWidget*>{p.windows.Form5, p.windows.Form6, &fleet}) {
        const auto buttons = dialog->findChildren<QPushButton*>();
        EXPECT_EQ(std::count_if(buttons.begin(), buttons.end(), [](QPushButton* b) { return b->isDefault(); }), 1)
            << dialog->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, Accessibility,
                         ::testing::Values(base::Language::Chinese, base::Language::English));

// Each window opens with the focus where the operator starts, so that typing goes there and a
// screen reader says it first; again at the next opening, wherever the focus was left.
TEST(Accessibility, EachWindowOpensOnWhereTheWorkStarts) {
    Program p;
    EXPECT_EQ(p.form1().focusWidget(), p.form1().Edit1());
    EXPECT_EQ(p.form2().focusWidget(), &p.grid(image::Band::Upper));
    const std::pair<const char*, const char*> dialogs[] = {
        {"N14", "Edit1"}, {"N13", "Edit1"}, {"N6", "Button1"}, {"N7", "Button1"}, {"N19", "Radios"},
    };
    for (const auto& [entry, first] : dialogs) {
        for (int opening = 0; opening < 2; ++opening) {
            QString focused;
            QTimer::singleShot(0, [&focused] {
                QWidget* dialog = QApplication::activeModalWidget();
                if (!dialog) return;
                if (dialog->focusWidget()) focused = dialog->focusWidget()->objectName();
                // The focus left on the last button, as a mouse user might leave it.
                dialog->findChildren<QPushButton*>().constLast()->setFocus();
                dialog->close();
            });
            p.find<QAction>(entry)->trigger();
            EXPECT_EQ(focused, QString(first)) << entry << " opening " << opening;
        }
    }
}

TEST(Accessibility, NamesComeFromTheLabels) {
    Program p;
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
