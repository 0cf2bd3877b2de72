// Editing the channel grids. A cell is never edited in place: selecting it places an editor
// over it (an edit for the frequencies and the name, a drop-down list for every other
// column), and the editor writes its result into the cell named by the position fields
// (Col/Row for the upper grid, col1/row1 for the lower), which still name the cell it was
// opened on when its commit runs because another cell is being selected.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/band_edges.h"
#include "editor/types.h"

namespace editor {

// The editor of each column: t1..t13 (upper) or p1..p13 (lower); t4/p4 does not exist.
enum class EditorKind { None, FrequencyEdit, NameEdit, List };

struct CellEditor {
    EditorKind kind = EditorKind::None;
    int editor = 0;                  // the n of t<n> / p<n>
    std::string text;                // an edit's starting text: the cell's text as shown (ShownText)
    std::vector<std::string> items;  // a list's items
    int selected = -1;               // a list opens on the cell's current item
};

// The editor number of a column (1 -> 1, 4 -> 5, ..., 12 -> 13).
int EditorNumber(int column);

// Whether the cell has an editor now: the two frequencies always, the name and every list
// only while the frequency it belongs to is set (NeededColumn). The channel number, the
// headings and anything outside the grid have none.
bool HasEditor(const Grid& grid, int column, int row);

// StringGrid1SelectCell / StringGrid2SelectCell: writes the position fields, then says which
// editor shows over the cell (None when the cell has none now). Never refuses the selection.
CellEditor SelectCell(EditorState& state, Band band, int column, int row);

// Delete on a cell: a frequency goes as an emptied editor takes it, with the cells that depend
// on it; a name is emptied; a list has no empty item, so its cell stays until its frequency
// goes.
void DeleteCell(Grid& grid, int column, int row);

// Where the current cell goes from (column, row) when a key ends an edit or moves on: Enter one
// row down (the last row stays); Tab and Shift+Tab to the next or the previous cell, along the
// rows, that has an editor (HasEditor, on the grid as it is after the commit); with none left
// the cell stays.
enum class Step { Down, Next, Previous };
struct CellPlace {
    int column = 0;
    int row = 0;
    bool operator==(const CellPlace&) const = default;
};
CellPlace NextCell(const Grid& grid, int column, int row, Step step);

// The cell under edit, from the position fields; row 0 when they name none.
int EditRow(const EditorState& state, Band band);
int EditColumn(const EditorState& state, Band band);

// t1KeyPress/t5KeyPress/t13KeyPress: what a typed key does (8 backspace, 13 Enter). Cut: the
// character does not fit, and the text ends before it (what came with it in one piece too).
enum class KeyAction { Accept, Drop, Close, Cut };
KeyAction FrequencyKey(std::string_view text, char key);
// An ASCII key into the name (a name that is full drops it).
KeyAction NameKey(std::string_view text, char key);
// One character of any script, as UTF-8, into the name `text`: a character with a GBK form that
// a ".bc" file can carry goes in while the name stays within 7 GBK bytes, else Cut.
KeyAction NameCharacter(std::string_view text, std::string_view character);
// A whole name (pasted) through the same rule: cut before the first character that does not
// fit; nothing when it holds a character the editor refuses (`refused` says which and why).
std::optional<std::string> FilteredName(std::string_view text, std::string* refused);
// The status-bar line for a name cut at 7 bytes, `kept` being what stays.
std::string NameCutLine(std::string_view kept);

// t1Exit/t5Exit (p1Exit/p5Exit): commit the edit's text into the cell under edit, with the
// raster, the defaults and the range message.
// `told` gets the status-bar line naming the cells whose values the defaults replaced (empty
// when they replaced none).
Message CommitFrequency(EditorState& state, Band band, std::string_view text, std::string* told = nullptr);

// t2Click..t12Click: the chosen item into the cell under edit.
void ChooseItem(EditorState& state, Band band, std::string_view item);

// t13Exit: the name into the cell under edit. The editor showed the cell as ShownText: the
// kept bytes of what the operator left alone stay. `told` gets NameCutLine when the name had
// to be cut at 7 bytes.
void CommitName(EditorState& state, Band band, std::string_view text, std::string* told = nullptr);

// One value pasted on the cell (column, row), as typing it into the cell's editor and
// committing would: a frequency passes the key filter, the raster and the ranges and brings its
// defaults; a list cell takes one of its items; a name passes the name filter and is cut at 7
// bytes. Returns why nothing changed (a value the editor refuses, a cell without an editor);
// `told` as for the commits.
Message PasteValue(Grid& grid, int column, int row, std::string_view value, std::string* told);

// Type-ahead in a list: the first item, from the list's start, that begins with `typed`
// (letters in either case); -1 when none does.
int TypeAhead(const std::vector<std::string>& items, std::string_view typed);

// What a frequency edit's text becomes in its cell: padded to five decimals and raised onto
// the channel raster; nothing when it is no number or lies outside both ranges.
std::optional<std::string> FrequencyCell(std::string_view text);

// An emptied frequency editor: the frequency goes with the cells that depend on it (receive:
// 1, 2, 3, 8..12; transmit: 4..7).
void ClearFrequency(Grid& grid, int row, int column);
// The cells a new frequency brings with it (receive: 2, 3, 8..11; transmit: 5..7). Returns the
// cells whose set value a default replaced, as "接收亚音频 67.0HZ→0FF, 功率 低→高" ("" for none).
std::string SetFrequencyDefaults(Grid& grid, int row, int column);
// The items of a list column (none for the others), and the frequency column that must be
// set for its editor to open (0 for the frequency columns).
const std::vector<std::string>& ColumnItems(int column);
// What a new frequency puts into a list column ("0FF", "关", "高"...; "" for other columns): a
// text the cell may hold besides the list's items.
std::string_view DefaultText(int column);
int NeededColumn(int column);

}  // namespace editor
