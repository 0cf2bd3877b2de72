#include "shell/channel_grid.h"

#include <algorithm>

#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QVBoxLayout>

#include "base/gbk.h"
#include "editor/grid_editing.h"
#include "editor/row_operations.h"
#include "shell/edit_events.h"
#include "shell/qt_text.h"

namespace shell {
namespace {

// The editors of a grid: t1..t13 or p1..p13 (there is no t4).
constexpr int kFrequencyEditors[] = {1, 5};
constexpr int kNameEditor = 13;
constexpr int kListEditors[] = {2, 3, 6, 7, 8, 9, 10, 11, 12};

// Where Enter, Tab and Shift+Tab go from the current cell.
editor::Step stepOf(const QKeyEvent* key) {
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) return editor::Step::Down;
    const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
    return back ? editor::Step::Previous : editor::Step::Next;
}

// A typed key the core's filter judged: it goes into the edit or is dropped. Enter (Close)
// never comes here: the page's filter ends the edit before the key filter sees the key.
image::KeyVerdict typedKey(editor::KeyAction action) { return {action == editor::KeyAction::Accept, {}}; }

// What stays of an edit's text when a typed key replaces its selection.
std::string keptText(const QLineEdit* edit) {
    QString kept = edit->text();
    if (edit->hasSelectedText()) kept.remove(edit->selectionStart(), static_cast<int>(edit->selectedText().size()));
    return kept.toStdString();
}

// An edit over a cell; its filter (edit_events.h) sees whatever way text comes in.
QLineEdit* cellEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->hide();
    return edit;
}

}  // namespace

QString ShownWord(const std::string& stored) { return Say(stored); }

QString ShownCell(int column, const std::string& stored) {
    if (editor::ColumnItems(column).empty()) return text(base::ShownText(stored));
    return ShownWord(stored);
}

std::string StoredWord(int column, const std::string& given) {
    const auto& items = editor::ColumnItems(column);
    if (items.empty()) return given;
    const QString word = text(given).trimmed();
    std::vector<std::string> values = items;
    values.emplace_back(editor::DefaultText(column));
    for (const std::string& value : values) {
        // Only a word shown otherwise than stored: a value typed as stored is the editor's to
        // judge, as it always was.
        const QString shown = ShownWord(value);
        if (shown != text(value) && shown.compare(word, Qt::CaseInsensitive) == 0) return value;
    }
    return given;
}

std::string StoredCells(const std::string& text, int column) {
    QStringList lines = QString::fromStdString(text).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QStringList cells = line.split(QLatin1Char('\t'));
        const qsizetype shown = image::kColName;  // the cells 1..12 of a row
        if (cells.size() != shown && cells.size() != shown + 1) {
            if (cells.size() == 1 && column > 0)
                line = QString::fromStdString(StoredWord(column, line.toStdString()));
            continue;
        }
        const qsizetype first = cells.size() - shown;  // past the channel number
        for (qsizetype i = first; i < cells.size(); ++i) {
            const int c = static_cast<int>(i - first) + 1;
            cells[i] = QString::fromStdString(StoredWord(c, cells[i].toStdString()));
        }
        line = cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')).toStdString();
}

GridModel::GridModel(const image::Grid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid), shown_(grid) {}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : image::kChannels; }

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kColumnWidths.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const bool number = index.column() == image::kColNumber;
    switch (role) {
    case Qt::DisplayRole:
        return ShownCell(index.column(), shown_.at(index.row() + 1, index.column()));
    case Qt::AccessibleTextRole:
        return spokenCell(index.column(), index.row() + 1, true);
    case Qt::BackgroundRole:
        if (number) return QPalette().brush(QPalette::Button);
        return {};
    case Qt::ForegroundRole:
        return QPalette().brush(QPalette::Active, number ? QPalette::ButtonText : QPalette::Text);
    default:
        return {};
    }
}

QString GridModel::spokenCell(int column, int row, bool withValue) const {
    QString spoken = pageName_ + QLatin1Char(' ') + text(base::ShownText(shown_.at(row, image::kColNumber))) +
                     QStringLiteral(", ") + Say(shown_.at(0, column));
    if (!withValue) return spoken;
    const QString value = ShownCell(column, shown_.at(row, column)).trimmed();
    return spoken + QStringLiteral(", ") + (value.isEmpty() ? Say("空") : value);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return Say(shown_.at(0, section));
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.column() == image::kColNumber) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void GridModel::refresh() {
    if (grid_.cells[0] != shown_.cells[0]) {
        shown_.cells[0] = grid_.cells[0];
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }
    int first = -1, last = -1;
    for (int r = 1; r <= image::kChannels; ++r) {
        const auto row = static_cast<std::size_t>(r);
        if (grid_.cells[row] == shown_.cells[row]) continue;
        shown_.cells[row] = grid_.cells[row];
        if (first < 0) first = r;
        last = r;
    }
    if (first > 0) emit dataChanged(index(first - 1, 0), index(last - 1, columnCount() - 1),
                                 {Qt::DisplayRole, Qt::AccessibleTextRole});
}

StringGrid::StringGrid(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Tab moves between the cells; it never leaves the grid.
    setTabKeyNavigation(true);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setFixedHeight(kRowHeight);
    horizontalHeader()->setSectionsClickable(false);
}

QRect StringGrid::cellRect(int column, int row) const { return visualRect(model()->index(row - 1, column)); }

void StringGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!current.isValid() || signalsBlocked()) return;
    toldThisPress_ = true;
    if (byKeyboard_)
        emit cellMoved(current.column(), current.row() + 1);
    else
        emit selectCell(current.column(), current.row() + 1);
}

void StringGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // The view alone tells a screen reader "table": the current cell takes the focus after it
    // (the view's own focus is told once this returns), as a key's move gives it, so coming
    // back from an editor or a dialog says where typing goes.
    if (QAccessible::isActive()) QMetaObject::invokeMethod(this, &StringGrid::tellCurrentCell, Qt::QueuedConnection);
}

void StringGrid::tellCurrentCell() {
    if (!hasFocus() || !currentIndex().isValid()) return;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
    QAccessibleInterface* cell = table && table->tableInterface()
                                     ? table->tableInterface()->cellAt(currentIndex().row(), currentIndex().column())
                                     : nullptr;
    if (!cell) return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(table->indexOfChild(cell));
    QAccessible::updateAccessibility(&focus);
}

void StringGrid::moveTo(int column, int row) {
    byKeyboard_ = true;
    const QModelIndex index = model()->index(row - 1, column);
    setCurrentIndex(index);
    scrollTo(index);
    byKeyboard_ = false;
}

int StringGrid::currentColumn() const { return currentIndex().isValid() ? currentIndex().column() : 0; }
int StringGrid::currentRow() const { return currentIndex().isValid() ? currentIndex().row() + 1 : 0; }

void StringGrid::keyPressEvent(QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        if (!plain) break;
        emit openEditor(nullptr);
        return;
    case Qt::Key_Delete:
        if (!plain) break;
        emit clearCells();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        emit tab(event->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        if (modifiers != Qt::ShiftModifier || currentRow() == 0) break;
        const int page = std::max(1, viewport()->height() / kRowHeight - 1);
        const int by = event->key() == Qt::Key_Up ? -1 : event->key() == Qt::Key_Down ? 1
                       : event->key() == Qt::Key_PageUp ? -page : page;
        emit extendRows(std::clamp(currentRow() + by, 1, image::kChannels));
        return;
    }
    default:
        if (plain && !event->text().isEmpty() && event->text().front().isPrint()) {
            emit openEditor(event);
            return;
        }
        break;
    }
    byKeyboard_ = true;
    QTableView::keyPressEvent(event);
    byKeyboard_ = false;
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    toldThisPress_ = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) return;  // the context menu, for the rows selected
    if (index.isValid() && index.column() == image::kColNumber && event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        emit rowClicked(index.row() + 1, event->modifiers());
        return;
    }
    QTableView::mousePressEvent(event);
    // A click on the cell already selected selects it again.
    if (!toldThisPress_ && index.isValid() && (index.flags() & Qt::ItemIsEnabled) && index == currentIndex())
        emit selectCell(index.column(), index.row() + 1);
}

// A second click in quick succession selects the cell like the first.
void StringGrid::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

ChannelPage::ChannelPage(image::EditorState& state, image::Band band, std::function<void(const image::Message&)> after,
                         QWidget* parent)
    : QWidget(parent), state_(state), band_(band), after_(std::move(after)) {
    const bool upper = band == image::Band::Upper;
    const QString prefix = upper ? "t" : "p";
    model_ = new GridModel(state.grid(band), this);
    grid_ = new StringGrid(this);
    grid_->setObjectName(upper ? "StringGrid1" : "StringGrid2");
    // The keys a cell takes, which nothing on the screen says.
    grid_->setAccessibleDescription(
        Say("回车或F2编辑单元格, 直接输入即开始编辑, Delete清空所选单元格, Shift+方向键选择信道"));
    grid_->setModel(model_);
    for (std::size_t c = 0; c < kColumnWidths.size(); ++c) grid_->setColumnWidth(static_cast<int>(c), kColumnWidths[c]);
    // The cell the grid starts on, chosen without running SelectCell.
    grid_->blockSignals(true);
    grid_->setCurrentIndex(model_->index(0, image::kColRxFreq));
    grid_->blockSignals(false);
    grid_->clearSelection();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);

    colField_ = new QLineEdit(this);
    colField_->setObjectName(upper ? "Col" : "col1");
    colField_->hide();
    rowField_ = new QLineEdit(this);
    rowField_->setObjectName(upper ? "Row" : "row1");
    rowField_->hide();

    QWidget* cells = grid_->viewport();
    for (int n : kFrequencyEditors) {
        QLineEdit* edit = cellEdit(cells, prefix + QString::number(n));
        editors_[static_cast<std::size_t>(n)] = edit;
        Hook(edit, {[edit](char key) { return typedKey(editor::FrequencyKey(keptText(edit), key)); },
                    [this, edit] { leftEdit(edit); },
                    {},
                    after_});
    }
    {
        QLineEdit* edit = cellEdit(cells, prefix + QString::number(kNameEditor));
        editors_[kNameEditor] = edit;
        Hook(edit, {[edit](char key) { return typedKey(editor::NameKey(keptText(edit), key)); },
                    [this, edit] { leftEdit(edit); },
                    {},
                    after_,
                    [this, edit](const std::string& character) {
                        const std::string kept = keptText(edit);
                        const editor::KeyAction action = editor::NameCharacter(kept, character);
                        const bool cut = action == editor::KeyAction::Cut;
                        if (cut) tell(editor::NameCutLine(kept));
                        return CharacterVerdict{action == editor::KeyAction::Accept, {}, cut};
                    }});
    }
    for (int n : kListEditors) {
        auto* list = new QComboBox(cells);
        list->setObjectName(prefix + QString::number(n));
        list->setMaxVisibleItems(20);
        list->hide();
        editors_[static_cast<std::size_t>(n)] = list;
        connect(list, &QComboBox::activated, this, [this, list](int index) { chooseItem(list, index); });
        list->installEventFilter(this);
        list->view()->installEventFilter(this);
    }
    // After the edits' own filters: this one sees Enter, Tab and Escape first.
    for (QWidget* w : editors_)
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->installEventFilter(this);
    connect(grid_, &StringGrid::selectCell, this, &ChannelPage::onSelectCell);
    connect(grid_, &StringGrid::cellMoved, this, &ChannelPage::onCellMoved);
    connect(grid_, &StringGrid::openEditor, this, &ChannelPage::onOpenEditor);
    connect(grid_, &StringGrid::clearCells, this, &ChannelPage::onClearCells);
    connect(grid_, &StringGrid::tab, this,
            [this](bool forward) { moveOn(forward ? editor::Step::Next : editor::Step::Previous); });
    connect(grid_, &StringGrid::rowClicked, this, &ChannelPage::onRowClicked);
    connect(grid_, &StringGrid::extendRows, this, &ChannelPage::onExtendRows);
    showState();
}

void ChannelPage::showState() {
    model_->refresh();
    const bool upper = band_ == image::Band::Upper;
    const QString col = text(upper ? state_.Col : state_.col1);
    const QString row = text(upper ? state_.Row : state_.row1);
    if (colField_->text() != col) colField_->setText(col);
    if (rowField_->text() != row) rowField_->setText(row);
}

void ChannelPage::finishEdit() {
    commitEdit();
    // A list shown and not chosen from closes; the focus stays in the grid.
    for (QWidget* w : editors_)
        if (w && w->isVisible() && w->hasFocus()) grid_->setFocus();
    hideEditors();
}

void ChannelPage::hideEditors() {
    for (QWidget* w : editors_)
        if (w) w->hide();
}

void ChannelPage::onSelectCell(int column, int row) {
    // An edit still open commits into its own cell before the position fields move on.
    finishEdit();
    hideEditors();
    const editor::CellEditor editor = editor::SelectCell(state_, band_, column, row);
    anchorRow_ = row;
    if (!showEditor(editor, column, row)) grid_->setFocus();
    after_({});
}

void ChannelPage::onCellMoved(int column, int row) {
    finishEdit();
    hideEditors();
    editor::SelectCell(state_, band_, column, row);
    anchorRow_ = row;
    grid_->setFocus();
    after_({});
}

void ChannelPage::onOpenEditor(const QKeyEvent* typed) {
    const int column = grid_->currentColumn(), row = grid_->currentRow();
    if (row == 0 || column == image::kColNumber) return;
    const editor::CellEditor editor = editor::SelectCell(state_, band_, column, row);
    QWidget* w = showEditor(editor, column, row);
    if (!w) return;
    if (auto* list = qobject_cast<QComboBox*>(w)) {
        list->showPopup();
        // The key that opened the list picks out its item.
        if (typed && typed->text() != " ") typeAhead(list, typed->text(), true);
    } else if (typed) {
        // The key starts the text: it goes through the edit's filter as if typed there.
        auto* edit = static_cast<QLineEdit*>(w);
        edit->clear();
        QKeyEvent again(QEvent::KeyPress, typed->key(), typed->modifiers(), typed->text());
        QCoreApplication::sendEvent(edit, &again);
    }
    after_({});
}

QWidget* ChannelPage::showEditor(const editor::CellEditor& editor, int column, int row) {
    if (editor.kind == editor::EditorKind::None) return nullptr;
    QWidget* w = editors_[static_cast<std::size_t>(editor.editor)];
    const QRect cell = grid_->cellRect(column, row);
    w->setGeometry(cell.x(), cell.y(), cell.width() + 2, kEditorHeight);
    if (editor.kind == editor::EditorKind::List) {
        auto* list = static_cast<QComboBox*>(w);
        list->blockSignals(true);
        // Each item shows its word and carries the value the cell takes when it is chosen.
        bool same = list->count() == static_cast<int>(editor.items.size());
        for (int i = 0; same && i < list->count(); ++i)
            same = list->itemData(i).toString() == text(editor.items[static_cast<std::size_t>(i)]);
        if (!same) {
            list->clear();
            for (const auto& item : editor.items) list->addItem(ShownWord(item), text(item));
        }
        list->setCurrentIndex(editor.selected);
        list->blockSignals(false);
    } else {
        auto* edit = static_cast<QLineEdit*>(w);
        edit->setText(text(editor.text));
        openEdit_ = edit;
    }
    w->setAccessibleName(model_->spokenCell(column, row, false));
    w->show();
    w->raise();
    // As the focus comes by the keyboard: an edit's text is selected, so typing replaces it.
    w->setFocus(Qt::TabFocusReason);
    return w;
}

void ChannelPage::setPageName(const QString& name) {
    model_->setPageName(name);
    grid_->setAccessibleName(name);
}

void ChannelPage::onClearCells() {
    finishEdit();
    hideEditors();
    QModelIndexList cells = grid_->selectionModel()->selectedIndexes();
    if (cells.isEmpty() && grid_->currentIndex().isValid()) cells << grid_->currentIndex();
    for (const QModelIndex& cell : cells) editor::DeleteCell(state_.grid(band_), cell.column(), cell.row() + 1);
    grid_->setFocus();
    after_({});
}

void ChannelPage::moveOn(editor::Step step) {
    const int row = grid_->currentRow();
    if (row == 0) return;
    const editor::CellPlace next = editor::NextCell(state_.grid(band_), grid_->currentColumn(), row, step);
    grid_->setFocus();
    grid_->moveTo(next.column, next.row);
}

void ChannelPage::cancelEdit() {
    if (openEdit_) {
        QLineEdit* edit = openEdit_;
        openEdit_ = nullptr;  // hiding it takes the focus away: no commit
        edit->clear();
    }
    grid_->setFocus();
    hideEditors();
}

bool ChannelPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (qobject_cast<QLineEdit*>(watched)) {
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter ends the edit; with Ctrl, Alt or Meta the cell stays the current one.
            commitEdit();
            if (shortcut)
                grid_->setFocus();
            else
                moveOn(editor::Step::Down);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            if (shortcut) return false;
            commitEdit();
            moveOn(stepOf(key));
            return true;
        case Qt::Key_Escape:
            if (shortcut) return false;
            cancelEdit();
            return true;
        default:
            return false;
        }
    }
    if (shortcut) return false;
    if (auto* list = qobject_cast<QComboBox*>(watched)) return listKey(list, key, false);
    for (QWidget* w : editors_)
        if (auto* list = qobject_cast<QComboBox*>(w); list && list->view() == watched) return listKey(list, key, true);
    return false;
}

bool ChannelPage::listKey(QComboBox* list, QKeyEvent* key, bool popup) {
    const int k = key->key();
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        const int index = popup ? list->view()->currentIndex().row() : list->currentIndex();
        if (popup) list->hidePopup();
        if (index >= 0) {
            list->setCurrentIndex(index);
            chooseItem(list, index);
        }
        moveOn(stepOf(key));
        return true;
    }
    case Qt::Key_Escape:
        if (popup) list->hidePopup();
        cancelEdit();
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End: {
        if (popup) return false;  // the list's own highlight
        // The highlight moves; nothing is chosen before Enter or Tab.
        const int last = list->count() - 1;
        int index = list->currentIndex();
        const int page = list->maxVisibleItems();
        index = k == Qt::Key_Up ? index - 1 : k == Qt::Key_Down ? index + 1 : k == Qt::Key_PageUp ? index - page
                : k == Qt::Key_PageDown ? index + page : k == Qt::Key_Home ? 0 : last;
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(std::clamp(index, 0, last));
        return true;
    }
    default:
        // Typed letters only move the highlight (the list's own search would choose at once).
        if (key->text().isEmpty() || !key->text().front().isPrint() || key->text() == " ") return false;
        typeAhead(list, key->text(), popup);
        return true;
    }
}

void ChannelPage::typeAhead(QComboBox* list, const QString& typed, bool popup) {
    const bool goesOn = list == searchList_ && searchTime_.isValid() &&
                        searchTime_.elapsed() < QApplication::keyboardInputInterval();
    searchList_ = list;
    searchTime_.start();
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
    search_ = goesOn ? search_ + typed : typed;
    int index = editor::TypeAhead(items, search_.toStdString());
    if (index < 0 && goesOn) {
        // Nothing begins with all the keys: the last one starts a new search.
        search_ = typed;
        index = editor::TypeAhead(items, search_.toStdString());
    }
    if (index < 0) return;
    if (popup) {
        const QModelIndex item = list->model()->index(index, list->modelColumn());
        list->view()->setCurrentIndex(item);
        list->view()->scrollTo(item);
    } else {
        const QSignalBlocker blocker(list);
        list->setCurrentIndex(index);
    }
}

void ChannelPage::onRowClicked(int row, Qt::KeyboardModifiers modifiers) {
    finishEdit();
    hideEditors();
    std::vector<int> rows;
    if (modifiers & Qt::ShiftModifier) {
        for (int r = std::min(anchorRow_, row); r <= std::max(anchorRow_, row); ++r) rows.push_back(r);
    } else if (modifiers & Qt::ControlModifier) {
        rows = selectedRows();
        const auto at = std::find(rows.begin(), rows.end(), row);
        if (at != rows.end())
            rows.erase(at);
        else
            rows.push_back(row);
        std::sort(rows.begin(), rows.end());
        if (grid_->selectionModel()->selectedIndexes().isEmpty()) rows = {row};
        anchorRow_ = row;
    } else {
        rows = {row};
        anchorRow_ = row;
    }
    selectRows(rows);
    if (!rows.empty() && std::find(rows.begin(), rows.end(), row) != rows.end()) {
        const QSignalBlocker blocker(grid_);
        grid_->selectionModel()->setCurrentIndex(model_->index(row - 1, image::kColRxFreq), QItemSelectionModel::NoUpdate);
    }
    after_({});
}

void ChannelPage::onExtendRows(int row) {
    finishEdit();
    hideEditors();
    std::vector<int> rows;
    for (int r = std::min(anchorRow_, row); r <= std::max(anchorRow_, row); ++r) rows.push_back(r);
    selectRows(rows, row);
}

std::pair<int, int> ChannelPage::singleCell() const {
    const QModelIndexList selected = grid_->selectionModel()->selectedIndexes();
    const QModelIndex current = grid_->currentIndex();
    if (!current.isValid() || selected.size() > 1 || (selected.size() == 1 && selected.front() != current)) return {0, 0};
    return {current.column(), current.row() + 1};
}

void ChannelPage::tell(const std::string& line) { emit told(text(line)); }

std::vector<int> ChannelPage::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes()) rows.push_back(index.row() + 1);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty() && grid_->currentRow() > 0) rows.push_back(grid_->currentRow());
    return rows;
}

void ChannelPage::selectRows(const std::vector<int>& rows, int current) {
    QItemSelection selection;
    for (int r : rows) selection.select(model_->index(r - 1, image::kColRxFreq), model_->index(r - 1, image::kColName));
    const QSignalBlocker blocker(grid_);
    if (!rows.empty()) {
        const int column = std::max(grid_->currentColumn(), static_cast<int>(image::kColRxFreq));
        const QModelIndex at = model_->index((current > 0 ? current : rows.front()) - 1, column);
        grid_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
        grid_->scrollTo(at);
    }
    grid_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    grid_->setFocus();
}

void ChannelPage::leftEdit(QLineEdit* edit) {
    if (edit == openEdit_) commitEdit();
}

void ChannelPage::commitEdit() {
    QLineEdit* edit = openEdit_;
    if (!edit) return;
    openEdit_ = nullptr;  // no edit open from here: the focus its hiding moves ends nothing
    const std::string typed = edit->text().toStdString();
    image::Message message;
    std::string told;
    if (edit == editors_[kNameEditor])
        editor::CommitName(state_, band_, typed, &told);
    else
        message = editor::CommitFrequency(state_, band_, typed, &told);
    edit->clear();
    if (edit->hasFocus()) grid_->setFocus();  // not on to the next control of the window
    edit->hide();
    after_(message);
    if (!told.empty()) tell(told);
}

void ChannelPage::chooseItem(QComboBox* list, int index) {
    if (index < 0) return;
    editor::ChooseItem(state_, band_, list->itemData(index).toString().toStdString());
    if (list->view()->isVisible()) list->hidePopup();
    grid_->setFocus();
    list->hide();
    grid_->setFocus();
    after_({});
}

}  // namespace shell
