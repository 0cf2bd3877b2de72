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

void TForm2::rowOperation(const RowOperation& operation) {
    finishEditing();
    const auto band = currentChannelBand();
    if (!band || refuseWhileBusy()) return;
    ChannelPage* page = channelPage(*band);
    const std::vector<int> rows = page->selectedRows();
    if (rows.empty()) return;
    const auto select = operation(state_.grid(*band), rows);
    if (!select) return;
    record();
    showState();
    if (!select->empty()) page->selectRows(*select);
}

void TForm2::copyRows() {
    rowOperation([](image::Grid& grid, const std::vector<int>& rows) -> std::optional<std::vector<int>> {
        QGuiApplication::clipboard()->setText(QString::fromStdString(image::CopyRows(grid, rows)));
        return std::nullopt;
    });
}

void TForm2::cutRows() {
    rowOperation([](image::Grid& grid, const std::vector<int>& rows) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(image::CopyRows(grid, rows)));
        for (int r : rows) image::ClearRow(grid, r);
        return std::optional(rows);
    });
}

void TForm2::pasteRows() {
    rowOperation([this](image::Grid& grid, const std::vector<int>& rows) -> std::optional<std::vector<int>> {
        ChannelPage* page = channelPage(*currentChannelBand());
        const auto [column, row] = page->singleCell();
        const std::string clipboard = QGuiApplication::clipboard()->text().toStdString();
        const image::Pasted pasted = image::Paste(grid, rows.front(), column, row, clipboard);
        if (!pasted.refused.empty()) prompter_.information(this, QString::fromStdString(pasted.refused));
        if (!pasted.told.empty()) page->tell(pasted.told);
        if (!pasted.changed) return std::nullopt;
        return pasted.rows;  // none for a single value: the cell stays the current one
    });
}

void TForm2::insertRow() {
    rowOperation([this](image::Grid& grid, const std::vector<int>& rows) -> std::optional<std::vector<int>> {
        if (image::RowSet(grid, image::kChannels) &&
            !prompter_.question(this, utf8("第128信道将被移出信道表, 是否插入空行?")))
            return std::nullopt;
        image::InsertRow(grid, rows.front());
        return std::vector<int>{rows.front()};
    });
}

void TForm2::deleteRows() {
    rowOperation([](image::Grid& grid, const std::vector<int>& rows) {
        image::DeleteRows(grid, rows);
        return std::optional(std::vector<int>{rows.front()});
    });
}

void TForm2::moveRows(int by) {
    rowOperation([by](image::Grid& grid, const std::vector<int>& rows) {
        return std::optional(image::MoveRows(grid, rows, by));
    });
}

void TForm2::sortRows() {
    rowOperation([](image::Grid& grid, const std::vector<int>&) {
        image::SortByFrequency(grid);
        return std::optional(std::vector<int>{});
    });
}

void TForm2::fillRows() {
    rowOperation([this](image::Grid& grid, const std::vector<int>& rows) -> std::optional<std::vector<int>> {
        const auto start =
            prompter_.text(this, utf8("起始频率(MHz):"), QString::fromStdString(grid.at(rows.front(), image::kColRxFreq)));
        if (!start) return std::nullopt;
        const auto step = prompter_.text(this, utf8("步进(MHz):"), "0.025");
        if (!step) return std::nullopt;
        const image::Message message =
            image::FillFrequencies(grid, rows, start->trimmed().toStdString(), step->trimmed().toStdString());
        if (message.empty()) return rows;
        prompter_.information(this, QString::fromStdString(message));
        return std::nullopt;
    });
}

}  // namespace shell
