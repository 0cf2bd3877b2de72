#include "shell/settings_pages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "image/band_page.h"
#include "image/dtmf_page.h"
#include "base/gbk.h"
#include "image/general_page.h"
#include "editor/grid_editing.h"
#include "image/limits_page.h"
#include "image/page_tables.h"
#include "shell/channel_grid.h"
#include "shell/edit_events.h"
#include "shell/qt_text.h"

namespace shell {
namespace {

using image::EditorState;
using image::Message;

constexpr int kControlWidth = 150;


// A group box whose rows are label + control, in page order.
struct Group {
    QGroupBox* box;
    QGridLayout* grid;
    int rows = 0;
    int column = 0;  // a second column of rows starts at grid column 2
};

Group group(QWidget* page, QHBoxLayout* row) {
    auto* box = new QGroupBox(page);
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->setContentsMargins(16, 16, 16, 16);
    row->addWidget(box, 0, Qt::AlignTop);
    return {box, grid};
}

void nextColumn(Group& g) {
    g.column += 2;
    g.rows = 0;
    g.grid->setColumnMinimumWidth(g.column - 1, kControlWidth);
}

QWidget* addControl(Group& g, const image::PageControl& control, const QString& name) {
    auto* label = new QLabel(Say(control.label), g.box);
    QWidget* widget;
    if (control.kind == image::ControlKind::List) {
        auto* box = new QComboBox(g.box);
        // The state holds an item's index: the word shown is the chosen language's.
        for (const auto& item : control.items) box->addItem(ShownWord(item));
        box->setMaxVisibleItems(20);
        widget = box;
    } else {
        widget = new QLineEdit(g.box);
    }
    widget->setObjectName(name);
    widget->setFixedWidth(kControlWidth);
    label->setBuddy(widget);
    g.grid->addWidget(label, g.rows, g.column, Qt::AlignRight | Qt::AlignVCenter);
    g.grid->addWidget(widget, g.rows, g.column + 1);
    ++g.rows;
    return widget;
}

// A hidden block field and its invisible caption: they exist, but are never shown.
void addHiddenField(Group& g, Bindings& bindings, int k) {
    auto* caption = new QLabel(Say(image::hiddenField(k).caption), g.box);
    caption->setObjectName(QString("k%1Label").arg(k));
    caption->hide();
    auto* field = new QLineEdit(g.box);
    field->setObjectName(QString("k%1").arg(k));
    field->setReadOnly(true);
    field->hide();
    bindings.field(field, k);
}

// A page whose group boxes stand side by side from the top left.
QWidget* pageWith(QHBoxLayout*& row) {
    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(12, 12, 12, 12);
    row = new QHBoxLayout;
    row->setSpacing(16);
    outer->addLayout(row);
    outer->addStretch(1);
    return page;
}

void finishRow(QHBoxLayout* row) { row->addStretch(1); }

// A list control: the selection goes into the state, then its Click handler runs.
void bindList(PageHost& host, QComboBox* box, Bindings::ListValue value,
              std::function<Message(EditorState&)> click) {
    host.bindings.list(box, value);
    QObject::connect(box, &QComboBox::activated, box, [&host, value, click](int index) {
        host.run(
            [&](EditorState& s) {
                value(s) = index;
                return click ? click(s) : Message();
            },
            {});
    });
}

// An edit control: what is typed is what the state holds at once.
void bindEdit(PageHost& host, QLineEdit* edit, Bindings::EditValue value,
              std::function<Message(EditorState&)> changed = {}) {
    host.bindings.edit(edit, value);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [&host, edit, value, changed](const QString& t) {
        std::string& held = value(host.state);
        held = base::TextBehindShown(held, t.toStdString());
        // What is typed into one edit is one step, with its commit when the edit is left.
        if (changed) host.run(changed, edit->objectName().toStdString());
    });
}

// A filter's message, shown as a handler's.
std::function<void(const Message&)> teller(PageHost& host) {
    return [&host](const Message& message) { host.run([&](EditorState&) { return message; }, {}); };
}

}  // namespace

void Bindings::list(QComboBox* box, ListValue value) { lists_.push_back({box, std::move(value)}); }
void Bindings::edit(QLineEdit* edit, EditValue value) { edits_.push_back({edit, std::move(value)}); }
void Bindings::field(QLineEdit* edit, int k) {
    edits_.push_back({edit, [k](EditorState& s) -> std::string& { return s.k[static_cast<std::size_t>(k)]; }});
}

void Bindings::show(EditorState& state) const {
    for (const auto& l : lists_) {
        const int index = l.value(state);
        if (l.box->currentIndex() == index) continue;
        const QSignalBlocker blocker(l.box);
        l.box->setCurrentIndex(index < l.box->count() ? index : -1);
    }
    for (const auto& e : edits_) {
        const QString t = text(base::ShownText(e.value(state)));
        if (e.edit->text() == t) continue;
        const QSignalBlocker blocker(e.edit);
        e.edit->setText(t);
    }
}

QWidget* BandPage(PageHost& host, image::Band band) {
    const bool upper = band == image::Band::Upper;
    const QString prefix = upper ? "left" : "right";
    QHBoxLayout* row;
    QWidget* page = pageWith(row);
    Group first = group(page, row);
    Group second = group(page, row);
    const auto& controls = image::BandControls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const auto& control = controls[i];
        const int n = control.number;
        const std::string name = (prefix + QString::number(n)).toStdString();
        Group& g = i < static_cast<std::size_t>(image::kBandFirstGroupSize) ? first : second;
        QWidget* w = addControl(g, control, prefix + QString::number(n));
        if (control.kind == image::ControlKind::List) {
            bindList(host, static_cast<QComboBox*>(w),
                     [band, n](EditorState& s) -> int& { return s.band(band).list[static_cast<std::size_t>(n)]; },
                     [band, n](EditorState& s) { return image::BandListClick(s, band, n); });
            continue;
        }
        auto* edit = static_cast<QLineEdit*>(w);
        bindEdit(host, edit, [band, n](EditorState& s) -> std::string& {
            return n == 3 ? s.band(band).rxFreq : s.band(band).offset;
        });
        EditHooks hooks;
        hooks.exit = [&host, band, n, name] {
            host.run([&](EditorState& s) { return image::BandEditCommit(s, band, n, image::Trigger::Exit); }, name);
        };
        if (image::EncodesOnPointerMove(band))
            hooks.mouseMove = [&host, band, n, name] {
                host.run([&](EditorState& s) { return image::BandEditCommit(s, band, n, image::Trigger::MouseMove); },
                         name);
            };
        Hook(edit, hooks);
    }
    addHiddenField(first, host.bindings, upper ? 1 : 3);
    addHiddenField(second, host.bindings, upper ? 2 : 4);
    finishRow(row);
    return page;
}

QWidget* GeneralPage(PageHost& host) {
    QHBoxLayout* row;
    QWidget* page = pageWith(row);
    Group g = group(page, row);
    for (const auto& control : image::GeneralControls()) {
        const int n = control.number;
        if (n == 11) nextColumn(g);  // gn11..gn15 stand in the right column
        QWidget* w = addControl(g, control, "gn" + QString::number(n));
        if (control.kind == image::ControlKind::List) {
            bindList(host, static_cast<QComboBox*>(w),
                     [n](EditorState& s) -> int& { return s.general.list[static_cast<std::size_t>(n)]; },
                     [n](EditorState& s) { return image::GeneralListClick(s, n); });
            continue;
        }
        auto* edit = static_cast<QLineEdit*>(w);
        bindEdit(host, edit, [](EditorState& s) -> std::string& { return s.general.radioFreq; });
        auto commit = [&host] { host.run([](EditorState& s) { return image::GeneralRadioCommit(s); }, "gn3"); };
        Hook(edit, {{}, commit, commit, {}});
    }
    addHiddenField(g, host.bindings, 5);
    finishRow(row);
    return page;
}

QWidget* DtmfPage(PageHost& host) {
    QHBoxLayout* row;
    QWidget* page = pageWith(row);
    Group identity = group(page, row);
    Group dtmf = group(page, row);
    auto codeEdit = [&host](Group& g, const image::PageControl& control, image::CodeKind kind) {
        const int n = control.number;
        const bool isDtmf = kind == image::CodeKind::Dtmf;
        auto* edit = static_cast<QLineEdit*>(addControl(g, control, (isDtmf ? "sy" : "sypz") + QString::number(n)));
        bindEdit(
            host, edit,
            [isDtmf, n](EditorState& s) -> std::string& {
                return isDtmf ? s.dtmf.sy[static_cast<std::size_t>(n)] : s.dtmf.sypz[static_cast<std::size_t>(n)];
            },
            [kind, n](EditorState& s) { return image::DtmfTextChanged(s, kind, n); });
        Hook(edit, {[edit, kind, n](char key) {
                        return image::DtmfKeyPress(kind, n, static_cast<std::size_t>(edit->text().size()), key);
                    },
                    {},
                    {},
                    teller(host)});
    };
    for (const auto& control : image::IdentityControls()) {
        if (control.kind == image::ControlKind::Edit) {
            codeEdit(identity, control, image::CodeKind::Identity);
            continue;
        }
        auto* box = static_cast<QComboBox*>(addControl(identity, control, "sypz" + QString::number(control.number)));
        bindList(host, box, [](EditorState& s) -> int& { return s.dtmf.sypz9; }, {});
    }
    for (const auto& control : image::DtmfControls()) codeEdit(dtmf, control, image::CodeKind::Dtmf);
    for (int k : {12, 13, 14, 15}) addHiddenField(identity, host.bindings, k);
    for (int k : {6, 7, 8, 9}) addHiddenField(dtmf, host.bindings, k);
    finishRow(row);
    return page;
}

QWidget* LimitsPage(PageHost& host) {
    QHBoxLayout* row;
    QWidget* page = pageWith(row);
    Group message = group(page, row);
    Group limits = group(page, row);
    auto buttons = [](Group& g, int read, int write) {
        auto* bar = new QHBoxLayout;
        bar->setSpacing(8);
        for (auto [number, caption] : {std::pair{read, "读取"}, std::pair{write, "写入"}}) {
            auto* button = new QPushButton(Say(caption), g.box);
            button->setObjectName(QString("Button%1").arg(number));
            button->setFixedSize(75, 28);
            bar->addWidget(button);
        }
        bar->addStretch(1);
        g.grid->addLayout(bar, g.rows++, g.column + 1);
    };

    for (const auto& control : image::MessageControls()) {
        const int line = control.number;
        auto* edit = static_cast<QLineEdit*>(addControl(message, control, "kaiji" + QString::number(line)));
        bindEdit(host, edit, [line](EditorState& s) -> std::string& { return line == 1 ? s.limits.kaiji1 : s.limits.kaiji2; });
        auto commit = [&host, line] {
            host.run([line](EditorState& s) { return image::MessageLineCommit(s, line); },
                     "kaiji" + std::to_string(line));
        };
        Hook(edit, {[edit](char key) {
                        return image::KeyVerdict{image::MessageKeyAccepted(edit->text().toStdString(), key), {}};
                    },
                    commit, commit, teller(host)});
    }
    buttons(message, 1, 2);
    addHiddenField(message, host.bindings, 10);

    for (const auto& control : image::LimitControls()) {
        const int n = control.number;
        QWidget* w = addControl(limits, control, "xp" + QString::number(n));
        if (control.kind == image::ControlKind::List) {
            bindList(host, static_cast<QComboBox*>(w), [](EditorState& s) -> int& { return s.limits.xp5; },
                     [](EditorState& s) { return image::LimitSwitchClick(s); });
            continue;
        }
        auto* edit = static_cast<QLineEdit*>(w);
        bindEdit(host, edit, [n](EditorState& s) -> std::string& { return s.limits.xp[static_cast<std::size_t>(n)]; });
        auto commit = [&host, n] {
            host.run([n](EditorState& s) { return image::LimitCommit(s, n); }, "xp" + std::to_string(n));
        };
        Hook(edit, {[n, edit](char key) {
                        switch (image::LimitKeyPress(n, key)) {
                        case image::LimitKey::Accept:
                            return image::KeyVerdict{true, {}};
                        case image::LimitKey::NextField:
                            // Enter moves the focus on to the next limit.
                            if (QLineEdit* next = edit->parentWidget()->findChild<QLineEdit*>(QString("xp%1").arg(n + 1)))
                                next->setFocus(Qt::TabFocusReason);
                            break;
                        case image::LimitKey::Refuse:
                            break;
                        }
                        return image::KeyVerdict{false, {}};
                    },
                    commit, commit, teller(host)});
    }
    buttons(limits, 3, 4);
    addHiddenField(limits, host.bindings, 11);
    finishRow(row);
    return page;
}

}  // namespace shell
