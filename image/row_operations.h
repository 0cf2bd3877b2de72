// Whole channel rows of a grid: copy, cut, paste, insert, delete, move, sort and fill. Rows are
// channel numbers 1..128; a row is the cells 1..13 of a channel (column 0, the number, stays).
// Every operation that can fail changes nothing and says why.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/editor_state.h"
#include "image/message.h"

namespace image {

// A channel with something in any of its cells.
bool RowSet(const Grid& grid, int row);
void ClearRow(Grid& grid, int row);

// The rows as text: one line per row, its twelve cells as shown, separated by tabs.
std::string CopyRows(const Grid& grid, const std::vector<int>& rows);

// Rows of text (from CopyRows, another program or a spreadsheet) into the grid from `first`
// on: each line twelve cells separated by tabs (fewer: the rest are empty; a leading channel
// number may come with them), each cell through the rules of its editor. With a bad line
// nothing is pasted and the message names every bad line. `pasted` gets the rows written.
Message PasteRows(Grid& grid, int first, std::string_view text, std::vector<int>* pasted = nullptr);

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

}  // namespace image
