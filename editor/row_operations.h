// Whole channel rows of a grid: copy, cut, paste, insert, delete, move, sort and fill. Rows are
// channel numbers 1..128; a row is the cells 1..13 of a channel (column 0, the number, stays).
// Every operation that can fail changes nothing and says why.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/types.h"

namespace editor {

// A channel with something in any of its cells.
bool RowSet(const Grid& grid, int row);
void ClearRow(Grid& grid, int row);

// The rows as text: one line per row, its twelve cells as shown, separated by tabs.
std::string CopyRows(const Grid& grid, const std::vector<int>& rows);

// Rows of text (from CopyRows, another program or a spreadsheet) into the grid from `first`
// on: each line twelve cells separated by tabs (a leading channel number may come with them),
// each cell through the rules of its editor; a name longer than 7 GBK bytes is cut, and `told`
// names the channels so cut. With a bad line nothing is pasted and the message names every bad
// line. `pasted` gets the rows written.
Message PasteRows(Grid& grid, int first, std::string_view text, std::vector<int>* pasted = nullptr,
                  std::string* told = nullptr);

// What a paste did.
struct Pasted {
    Message refused;        // for a box: rows with cells their editors refuse (nothing pasted)
    std::string told;       // for the status bar: why nothing was pasted, or what was cut or reset
    std::vector<int> rows;  // the rows written by a paste of whole rows
    bool changed = false;
};
// Ctrl+V on a grid. Text of whole rows (PasteRows) replaces the rows from `first` on. A single
// value (one line without a tab) goes into the cell (column, row) through its editor
// (PasteValue); column 0 says that more than that cell is selected, and then nothing is
// pasted. Anything else changes nothing and says why.
Pasted Paste(Grid& grid, int first, int column, int row, std::string_view text);

// An empty channel at `row`, the rows below moved down (channel 128 drops out).
void InsertRow(Grid& grid, int row);
// The rows removed, those below moved up, empty channels at the end.
void DeleteRows(Grid& grid, const std::vector<int>& rows);
// The rows moved one up (by -1) or down (by +1) past their neighbour; nothing when one of them
// is at the edge. Returns where the rows are now.
std::vector<int> MoveRows(Grid& grid, const std::vector<int>& rows, int by);
// The channels with a receive frequency by that frequency (equal ones keep their order), the
// others after them in their order.
void SortByFrequency(Grid& grid);
// The receive frequencies of the rows: start, start + step, ... each through the raster and the
// ranges; a transmit frequency that was set keeps its offset. A row that had no receive
// frequency gets the defaults; one that had keeps its other cells. Nothing changes when a
// value is out of range or a text is no frequency; the message names the rows.
Message FillFrequencies(Grid& grid, const std::vector<int>& rows, std::string_view start, std::string_view step);

// A decimal text in MHz as units of 10 Hz ("12.5" -> 1250000); nothing for a text that is no
// such number or has more than five decimals.
std::optional<long long> FrequencyUnits(std::string_view text);

}  // namespace editor
