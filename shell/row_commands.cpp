// The 编辑(E) entries after 撤销 and 重做, the grid's context menu and their shortcuts: whole
// channel rows of the current channel page. Each changes the state in one undo step.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "image/row_operations.h"
#include "shell/channel_grid.h"
#include "shell/main_window.h"
#include "shell/prompter.h"

namespace shell {
namespace {

QString utf8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

void TForm2::buildEditEntries(QMenu* menu) {
    auto entry = [this, menu](const char* name, const char* caption, QList<QKeySequence> keys, auto command) {
        QAction* action = menu->addAction(utf8(caption));
        action->setObjectName(name);
        action->setShortcuts(keys);
        // The shortcuts work wherever the focus is in the window.
        addAction(action);
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    undo_ = entry("Undo", "撤销", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, &TForm2::undo);
    redo_ = entry("Redo", "重做", {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
                  &TForm2::redo);
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    QAction* line = menu->addAction("-------");
    line->setObjectName("N19");
    line->setEnabled(false);
    rowEntries_ = {
        entry("CutRows", "剪切", {QKeySequence(Qt::CTRL | Qt::Key_X)}, &TForm2::cutRows),
        entry("CopyRows", "复制", {QKeySequence(Qt::CTRL | Qt::Key_C)}, &TForm2::copyRows),
        entry("PasteRows", "粘贴", {QKeySequence(Qt::CTRL | Qt::Key_V)}, &TForm2::pasteRows),
        entry("InsertRow", "插入空行", {QKeySequence(Qt::CTRL | Qt::Key_I)}, &TForm2::insertRow),
        entry("DeleteRows", "删除行", {QKeySequence(Qt::CTRL | Qt::Key_Delete)}, &TForm2::deleteRows),
        entry("MoveUp", "上移", {QKeySequence(Qt::CTRL | Qt::Key_Up)}, [this] { moveRows(-1); }),
        entry("MoveDown", "下移", {QKeySequence(Qt::CTRL | Qt::Key_Down)}, [this] { moveRows(1); }),
        entry("SortRows", "按频率排序", {}, &TForm2::sortRows),
        entry("FillRows", "填充频率", {}, &TForm2::fillRows),
    };
}

ChannelPage* TForm2::rowPage(image::Band& band) {
    finishEditing();
    const auto current = currentChannelBand();
    if (!current || refuseWhileBusy()) return nullptr;
    band = *current;
    return channelPage(band);
}

void TForm2::copyRows() {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(image::CopyRows(state_.grid(band), page->selectedRows())));
}

void TForm2::cutRows() {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    const std::vector<int> rows = page->selectedRows();
    QGuiApplication::clipboard()->setText(QString::fromStdString(image::CopyRows(state_.grid(band), rows)));
    for (int r : rows) image::ClearRow(state_.grid(band), r);
    record();
    showState();
}

void TForm2::pasteRows() {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    const std::vector<int> at = page->selectedRows();
    if (at.empty()) return;
    std::vector<int> pasted;
    const std::string clipboard = QGuiApplication::clipboard()->text().toStdString();
    const image::Message message = image::PasteRows(state_.grid(band), at.front(), clipboard, &pasted);
    if (!message.empty()) {
        prompter_.information(this, QString::fromStdString(message));
        return;
    }
    record();
    showState();
    page->selectRows(pasted);
}

void TForm2::insertRow() {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    const std::vector<int> at = page->selectedRows();
    if (at.empty()) return;
    image::Grid& grid = state_.grid(band);
    if (image::RowSet(grid, image::kChannels) &&
        !prompter_.question(this, utf8("第128信道将被移出信道表, 是否插入空行?")))
        return;
    image::InsertRow(grid, at.front());
    record();
    showState();
    page->selectRows({at.front()});
}

void TForm2::deleteRows() {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    const std::vector<int> rows = page->selectedRows();
    if (rows.empty()) return;
    image::DeleteRows(state_.grid(band), rows);
    record();
    showState();
    page->selectRows({rows.front()});
}

void TForm2::moveRows(int by) {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    const std::vector<int> moved = image::MoveRows(state_.grid(band), page->selectedRows(), by);
    record();
    showState();
    page->selectRows(moved);
}

void TForm2::sortRows() {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    image::SortByFrequency(state_.grid(band));
    record();
    showState();
}

void TForm2::fillRows() {
    image::Band band;
    ChannelPage* page = rowPage(band);
    if (!page) return;
    const std::vector<int> rows = page->selectedRows();
    if (rows.empty()) return;
    const auto start = prompter_.text(this, utf8("起始频率(MHz):"), QString::fromStdString(state_.grid(band).at(rows.front(), image::kColRxFreq)));
    if (!start) return;
    const auto step = prompter_.text(this, utf8("步进(MHz):"), "0.025");
    if (!step) return;
    const image::Message message =
        image::FillFrequencies(state_.grid(band), rows, start->trimmed().toStdString(), step->trimmed().toStdString());
    if (!message.empty()) {
        prompter_.information(this, QString::fromStdString(message));
        return;
    }
    record();
    showState();
    page->selectRows(rows);
}

}  // namespace shell
