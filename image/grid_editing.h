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
#include "image/editor_state.h"
#include "image/message.h"

namespace image {

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

// StringGrid1SelectCell / StringGrid2SelectCell: writes the position fields, then says which
// editor shows over the cell (None when its condition fails). Never refuses the selection.
CellEditor SelectCell(EditorState& state, Band band, int column, int row);

// The cell under edit, from the position fields; row 0 when they name none.
int EditRow(const EditorState& state, Band band);
int EditColumn(const EditorState& state, Band band);

// t1KeyPress/t5KeyPress/t13KeyPress: what a typed key does (8 backspace, 13 Enter).
enum class KeyAction { Accept, Drop, Close };
KeyAction FrequencyKey(std::string_view text, char key);
KeyAction NameKey(std::string_view text, char key);

// t1Exit/t5Exit (p1Exit/p5Exit): commit the edit's text into the cell under edit, with the
// raster, the defaults and the range message.
Message CommitFrequency(EditorState& state, Band band, std::string_view text);

// t2Click..t12Click: the chosen item into the cell under edit.
void ChooseItem(EditorState& state, Band band, std::string_view item);

// t13Exit: the name into the cell under edit. The editor showed the cell as ShownText: the
// kept bytes of what the operator left alone stay.
void CommitName(EditorState& state, Band band, std::string_view text);

// What a frequency edit's text becomes in its cell: padded to five decimals and raised onto
// the channel raster; nothing when it is no number or lies outside both ranges.
std::optional<std::string> FrequencyCell(std::string_view text);

// An emptied frequency editor: the frequency goes with the cells that depend on it (receive:
// 1, 2, 3, 8..12; transmit: 4..7).
void ClearFrequency(Grid& grid, int row, int column);
// The cells a new frequency brings with it (receive: 2, 3, 8..11; transmit: 5..7).
void SetFrequencyDefaults(Grid& grid, int row, int column);
// The items of a list column (none for the others), and the frequency column that must be
// set for its editor to open (0 for the frequency columns).
const std::vector<std::string>& ColumnItems(int column);
int NeededColumn(int column);

}  // namespace image
