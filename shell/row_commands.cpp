// The 编辑(E) entries after 撤销 and 重做, the grid's context menu and their shortcuts: whole
// channel rows of the current channel page, each a command of the session.
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "shell/channel_grid.h"
#include "shell/main_window.h"
#include "shell/qt_text.h"

namespace shell {

void TForm2::buildEditEntries(QMenu* menu) {
    auto entry = [this, menu](const char* name, const char* caption, QList<QKeySequence> keys, auto command) {
        QAction* action = menu->addAction(Say(caption));
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
    auto rowEntry = [this, entry](const char* name, const char* caption, QList<QKeySequence> keys, RowCommand command) {
        return entry(name, caption, keys, [this, command] { rows(command); });
    };
    using editor::Session;
    rowEntries_ = {
        rowEntry("CutRows", "剪切", {QKeySequence(Qt::CTRL | Qt::Key_X)}, &Session::CutRows),
        rowEntry("CopyRows", "复制", {QKeySequence(Qt::CTRL | Qt::Key_C)}, &Session::CopyRows),
        rowEntry("PasteRows", "粘贴", {QKeySequence(Qt::CTRL | Qt::Key_V)}, &Session::PasteRows),
        rowEntry("InsertRow", "插入空行", {QKeySequence(Qt::CTRL | Qt::Key_I)}, &Session::InsertRow),
        rowEntry("DeleteRows", "删除行", {QKeySequence(Qt::CTRL | Qt::Key_Delete)}, &Session::DeleteRows),
        rowEntry("MoveUp", "上移", {QKeySequence(Qt::CTRL | Qt::Key_Up)}, &Session::MoveRowsUp),
        rowEntry("MoveDown", "下移", {QKeySequence(Qt::CTRL | Qt::Key_Down)}, &Session::MoveRowsDown),
        rowEntry("SortRows", "按频率排序", {}, &Session::SortRows),
        rowEntry("CloseGaps", "删除空信道", {}, &Session::CloseGaps),
        rowEntry("FillRows", "填充频率", {}, &Session::FillRows),
    };
}

void TForm2::rows(RowCommand command) {
    const auto band = currentChannelBand();
    if (!band) return;
    ChannelPage* page = channelPage(*band);
    const auto [column, row] = page->singleCell();
    // A word pasted in the windows' language goes in as the value the state holds.
    const std::string clipboard = StoredCells(QGuiApplication::clipboard()->text().toStdString(), column);
    const editor::RowsDone done = (session_.*command)({*band, page->selectedRows(), column, row, clipboard});
    if (done.clipboard) QGuiApplication::clipboard()->setText(QString::fromStdString(*done.clipboard));
    showReport(done.report);
    if (!done.select.empty()) page->selectRows(done.select);
}

}  // namespace shell
