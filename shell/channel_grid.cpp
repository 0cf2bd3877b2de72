#include "shell/channel_grid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QVBoxLayout>

#include "image/gbk.h"
#include "image/grid_editing.h"
#include "shell/edit_events.h"

namespace shell {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// The editors of a grid: t1..t13 or p1..p13 (there is no t4).
constexpr int kFrequencyEditors[] = {1, 5};
constexpr int kNameEditor = 13;
constexpr int kListEditors[] = {2, 3, 6, 7, 8, 9, 10, 11, 12};

// An edit over a cell; its filter (edit_events.h) sees whatever way text comes in.
QLineEdit* cellEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->hide();
    return edit;
}

}  // namespace

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
        return text(image::ShownText(shown_.at(index.row() + 1, index.column())));
    case Qt::BackgroundRole:
        if (number) return QPalette().brush(QPalette::Button);
        return {};
    case Qt::ForegroundRole:
        return QPalette().brush(QPalette::Active, number ? QPalette::ButtonText : QPalette::Text);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return text(shown_.at(0, section));
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
    if (first > 0) emit dataChanged(index(first - 1, 0), index(last - 1, columnCount() - 1), {Qt::DisplayRole});
}

StringGrid::StringGrid(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
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
    emit selectCell(current.column(), current.row() + 1);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    toldThisPress_ = false;
    const QModelIndex index = indexAt(event->position().toPoint());
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
        Hook(edit, {[this, edit](char key) { return editKey(edit, image::FrequencyKey(edit->text().toStdString(), key)); },
                    [this, edit] { commit(edit); },
                    {},
                    after_});
    }
    {
        QLineEdit* edit = cellEdit(cells, prefix + QString::number(kNameEditor));
        editors_[kNameEditor] = edit;
        Hook(edit, {[this, edit](char key) { return editKey(edit, image::NameKey(edit->text().toStdString(), key)); },
                    [this, edit] { commit(edit); },
                    {},
                    after_});
    }
    for (int n : kListEditors) {
        auto* list = new QComboBox(cells);
        list->setObjectName(prefix + QString::number(n));
        list->setMaxVisibleItems(20);
        list->hide();
        editors_[static_cast<std::size_t>(n)] = list;
        connect(list, &QComboBox::activated, this, [this, list](int index) { chooseItem(list, index); });
    }
    connect(grid_, &StringGrid::selectCell, this, &ChannelPage::onSelectCell);
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
    if (openEdit_) commit(openEdit_);
}

void ChannelPage::hideEditors() {
    for (QWidget* w : editors_)
        if (w) w->hide();
}

void ChannelPage::onSelectCell(int column, int row) {
    // An edit still open commits into its own cell before the position fields move on.
    finishEdit();
    hideEditors();
    const image::CellEditor editor = image::SelectCell(state_, band_, column, row);
    if (editor.kind == image::EditorKind::None) {
        grid_->setFocus();
        after_({});
        return;
    }
    QWidget* w = editors_[static_cast<std::size_t>(editor.editor)];
    const QRect cell = grid_->cellRect(column, row);
    w->setGeometry(cell.x(), cell.y(), cell.width() + 2, kEditorHeight);
    if (editor.kind == image::EditorKind::List) {
        auto* list = static_cast<QComboBox*>(w);
        list->blockSignals(true);
        bool same = list->count() == static_cast<int>(editor.items.size());
        for (int i = 0; same && i < list->count(); ++i) same = list->itemText(i) == text(editor.items[static_cast<std::size_t>(i)]);
        if (!same) {
            list->clear();
            for (const auto& item : editor.items) list->addItem(text(item));
        }
        list->setCurrentIndex(editor.selected);
        list->blockSignals(false);
    } else {
        auto* edit = static_cast<QLineEdit*>(w);
        edit->setText(text(editor.text));
        openEdit_ = edit;
    }
    w->show();
    w->raise();
    // As the focus comes by the keyboard: an edit's text is selected, so typing replaces it.
    w->setFocus(Qt::TabFocusReason);
    after_({});
}

image::KeyVerdict ChannelPage::editKey(QLineEdit* edit, image::KeyAction action) {
    switch (action) {
    case image::KeyAction::Accept:
        return {true, {}};
    case image::KeyAction::Close:
        commit(edit);
        grid_->setFocus();
        break;
    case image::KeyAction::Drop:
        break;
    }
    return {false, {}};
}

void ChannelPage::commit(QLineEdit* edit) {
    if (openEdit_ != edit) return;  // committed already (hiding it moves the focus again)
    openEdit_ = nullptr;
    const std::string typed = edit->text().toStdString();
    image::Message message;
    if (edit == editors_[kNameEditor])
        image::CommitName(state_, band_, typed);
    else
        message = image::CommitFrequency(state_, band_, typed);
    edit->clear();
    edit->hide();
    after_(message);
}

void ChannelPage::chooseItem(QComboBox* list, int index) {
    if (index < 0) return;
    image::ChooseItem(state_, band_, list->itemText(index).toStdString());
    list->hide();
    grid_->setFocus();
    after_({});
}

}  // namespace shell
