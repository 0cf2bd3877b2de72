// The pages "上段信道" and "下段信道": a channel grid (StringGrid1 / StringGrid2) that shows
// the state's grid, and the cell editors t1..t13 (p1..p13) placed over the selected cell.
// A cell is never edited in place: selecting it runs SelectCell, the editor it names is shown
// over the cell, and the editor's commit writes the cell named by the position fields.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTableView>
#include <QWidget>

#include "image/editor_state.h"
#include "editor/grid_editing.h"
#include "image/message.h"

class QComboBox;
class QKeyEvent;
class QLineEdit;

namespace shell {

// A value the state holds (a list item of a cell or a page: "高", "双音3+身份码") as the
// windows show it, in the chosen language; the state and the files keep the value itself.
QString ShownWord(const std::string& stored);
// A cell as the grid shows it: the word of a list column in the chosen language, a frequency,
// a tone or a name as it is.
QString ShownCell(int column, const std::string& stored);
// What an operator gave for a list column (a pasted or chosen word, in either language) as the
// value the state holds: the list item or default whose shown word it is (in any case), else
// the text unchanged, for the editor to judge.
std::string StoredWord(int column, const std::string& given);
// Clipboard text for a paste onto a grid: whole rows (12 cells, or 13 with the channel number
// first) or one value for the cell `column`, with every list cell's word as the state holds it.
std::string StoredCells(const std::string& text, int column);

// Column widths of both grids, columns 0..12.
inline constexpr std::array<int, 13> kColumnWidths = {55, 75, 80, 120, 75, 80, 120, 120, 100, 75, 75, 75, 80};
inline constexpr int kRowHeight = 24;
inline constexpr int kEditorHeight = 25;

// Rows 1..128 of a grid as model rows 0..127; the heading row 0 is the header, column 0 (the
// channel number) is shown like a header and cannot be selected.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(const image::Grid& grid, QObject* parent);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shows what changed since the last call.
    void refresh();
    // The page's caption, which a cell is spoken with.
    void setPageName(const QString& name) { pageName_ = name; }
    // A cell as a screen reader says it: "上段信道 12, 接收频率", with ", 145.12500" (or ", 空"
    // for an empty cell) when `withValue`.
    QString spokenCell(int column, int row, bool withValue) const;

private:
    const image::Grid& grid_;
    QString pageName_;
    image::Grid shown_;
};

// The grid control: tells every selection of a cell by the mouse, also a click on the cell
// that is already selected, as (column, row) with rows counted from 1; and what the keyboard
// does while no editor is open.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    explicit StringGrid(QWidget* parent);
    // The cell's rectangle in the viewport, where the editors live.
    QRect cellRect(int column, int row) const;
    // Makes the cell current as a key would: cellMoved, no editor.
    void moveTo(int column, int row);
    // The current cell as (column, row); row 0 when there is none.
    int currentColumn() const;
    int currentRow() const;

signals:
    // Clicked: the cell's editor opens.
    void selectCell(int column, int row);
    // Reached with the keyboard: the cell is selected, no editor opens.
    void cellMoved(int column, int row);
    // A printable key (its event) or Enter/F2 (nullptr) asks for the current cell's editor.
    void openEditor(const QKeyEvent* typed);
    // Delete: the selected cells are emptied.
    void clearCells();
    // Tab (forward) or Shift+Tab.
    void tab(bool forward);
    // A click on a channel number, with Shift or Ctrl extending the selection.
    void rowClicked(int row, Qt::KeyboardModifiers modifiers);
    // Shift+Up/Down/PgUp/PgDn: the row selection reaches to this row.
    void extendRows(int row);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString&) override {}

private:
    void tellCurrentCell();
    bool toldThisPress_ = false;
    bool byKeyboard_ = false;
};

class ChannelPage : public QWidget {
    Q_OBJECT
public:
    // `after` runs after every handler with what it returned: it shows a message and then
    // the whole state.
    ChannelPage(image::EditorState& state, image::Band band, std::function<void(const image::Message&)> after,
                QWidget* parent);

    StringGrid* grid() const { return grid_; }
    // The tab's caption: the grid's name, and what each cell and its editor are spoken with.
    void setPageName(const QString& name);
    // t<n> / p<n>: n = 1..13 without 4.
    QWidget* editor(int n) const { return editors_[static_cast<std::size_t>(n)]; }

    // Shows the grid and the position fields from the state.
    void showState();
    // Commits an open edit as its Exit would (before a command that reads the state).
    void finishEdit();

    // The channels the row operations work on: the selected rows, else the current row.
    std::vector<int> selectedRows() const;
    // Selects whole rows; the first becomes the current row, or `current` when given.
    void selectRows(const std::vector<int>& rows, int current = 0);
    // The cell a single pasted value goes into: the current cell as (column, row) when no other
    // cell is selected, column 0 when more is.
    std::pair<int, int> singleCell() const;

    // Shows a line in the window's status bar (what an entry cut or reset).
    void tell(const std::string& line);

signals:
    void told(const QString& line);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onSelectCell(int column, int row);
    void onCellMoved(int column, int row);
    void onOpenEditor(const QKeyEvent* typed);
    void onClearCells();
    void onRowClicked(int row, Qt::KeyboardModifiers modifiers);
    void onExtendRows(int row);
    // Type-ahead in a list: the keys typed in quick succession pick out the first item, from
    // the list's start, that begins with them; the highlight moves, nothing is chosen.
    void typeAhead(QComboBox* list, const QString& typed, bool popup);
    // Shows the editor SelectCell named over the cell; a list opens its items when `popup`.
    QWidget* showEditor(const editor::CellEditor& editor, int column, int row);
    // Enter (down a row) and Tab/Shift+Tab in an editor or the grid: the next cell, as the core
    // says.
    void moveOn(editor::Step step);
    // Escape: the editor closes, the cell stays as it was.
    void cancelEdit();
    bool listKey(QComboBox* list, QKeyEvent* key, bool popup);
    void hideEditors();
    // The focus left an edit: the open one commits.
    void leftEdit(QLineEdit* edit);
    // The one path that commits an edit, whatever ends it (Enter, Tab, leaving it, another
    // cell, a command): the open edit's text into the cell under edit, then it is emptied and
    // hidden. Nothing when no edit is open.
    void commitEdit();
    void chooseItem(QComboBox* list, int index);

    image::EditorState& state_;
    image::Band band_;
    std::function<void(const image::Message&)> after_;
    GridModel* model_;
    StringGrid* grid_;
    std::array<QWidget*, 14> editors_{};
    QLineEdit* colField_;  // Col / col1
    QLineEdit* rowField_;  // Row / row1
    QLineEdit* openEdit_ = nullptr;  // the edit shown and not yet committed
    int anchorRow_ = 1;  // where a Shift+click or Shift+arrow extends the row selection from
    QString search_;     // the keys of the type-ahead so far
    QElapsedTimer searchTime_;
    QComboBox* searchList_ = nullptr;
};

}  // namespace shell
