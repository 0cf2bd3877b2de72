#include "image/band_edges.h"
#include "image/row_operations.h"

#include <algorithm>
#include <array>

#include "image/gbk.h"
#include "image/grid_editing.h"

namespace image {
namespace {

constexpr int kFirstCell = kColRxFreq, kLastCell = kColExtra, kShownCells = 12;
using Row = std::array<std::string, kGridCells>;

Row& rowOf(Grid& grid, int row) { return grid.cells[static_cast<std::size_t>(row)]; }

// Cells 1..13 of `to` from `from`; the channel number stays.
void moveCells(Row& to, Row& from) {
    for (int c = kFirstCell; c <= kLastCell; ++c) to[static_cast<std::size_t>(c)] = std::move(from[static_cast<std::size_t>(c)]);
}

std::vector<std::string> split(std::string_view line, char by) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const auto at = line.find(by, from);
        out.emplace_back(line.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) return out;
        from = at + 1;
    }
}

std::string trimmed(std::string s) {
    const auto first = s.find_first_not_of(" \r");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \r") - first + 1);
}

std::string unitsText(long long units) {
    std::string d = std::to_string(units);
    if (d.size() < 6) d.insert(0, 6 - d.size(), '0');
    return d.substr(0, d.size() - 5) + "." + d.substr(d.size() - 5);
}

// One pasted line as the cells of a row; an empty text when all is well, else what is wrong.
std::string pastedRow(std::vector<std::string> fields, Row& row) {
    if (fields.size() == kShownCells + 1) {
        const std::string number = trimmed(fields.front());
        const bool isNumber = !number.empty() && number.size() <= 3 &&
                              std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!isNumber) return "多于12列";
        fields.erase(fields.begin());
    }
    if (fields.size() > kShownCells) return "多于12列";
    fields.resize(kShownCells);
    for (auto& f : fields) f = trimmed(std::move(f));
    auto field = [&](int column) -> std::string& { return fields[static_cast<std::size_t>(column - 1)]; };
    // What a typed frequency writes into the cells that depend on it.
    Grid scratch;
    SetFrequencyDefaults(scratch, 1, kColRxFreq);
    SetFrequencyDefaults(scratch, 1, kColTxFreq);
    for (int frequency : {kColRxFreq, kColTxFreq}) {
        if (field(frequency).empty()) continue;
        const auto cell = FrequencyCell(field(frequency));
        if (!cell) return std::string(kGridHeadings[static_cast<std::size_t>(frequency)]) + " '" + field(frequency) + "'";
        field(frequency) = *cell;
        // The defaults, where the line leaves the cell empty.
        for (int c = kColRxTone; c <= kColScrambler; ++c)
            if (field(c).empty() && NeededColumn(c) == frequency) field(c) = scratch.at(1, c);
    }
    for (int c = kColRxTone; c <= kColName; ++c) {
        const std::string& text = field(c);
        if (text.empty() || c == kColTxFreq) continue;
        const std::string heading = kGridHeadings[static_cast<std::size_t>(c)];
        const int needs = NeededColumn(c);
        if (needs && field(needs).empty())
            return heading + " '" + text + "' (" + kGridHeadings[static_cast<std::size_t>(needs)] + "为空)";
        if (c == kColName) {
            std::string typed;
            for (char k : text)
                if (NameKey(typed, k) == KeyAction::Accept) typed += k;
            if (typed != text) return heading + " '" + text + "'";
            continue;
        }
        const auto& items = ColumnItems(c);
        // A default may be no item of the list ("0FF", a receive mode "关").
        const bool known = std::find(items.begin(), items.end(), text) != items.end() || text == scratch.at(1, c);
        if (!known) return heading + " '" + text + "'";
    }
    for (int c = kFirstCell; c <= kColName; ++c) row[static_cast<std::size_t>(c)] = field(c);
    row[kColExtra].clear();
    return {};
}

}  // namespace

bool RowSet(const Grid& grid, int row) {
    for (int c = kFirstCell; c <= kLastCell; ++c)
        if (!grid.at(row, c).empty()) return true;
    return false;
}

void ClearRow(Grid& grid, int row) {
    for (int c = kFirstCell; c <= kLastCell; ++c) grid.at(row, c).clear();
}

std::string CopyRows(const Grid& grid, const std::vector<int>& rows) {
    std::string out;
    for (int r : rows) {
        for (int c = kFirstCell; c <= kColName; ++c) {
            if (c != kFirstCell) out += '\t';
            out += ShownText(grid.at(r, c));
        }
        out += '\n';
    }
    return out;
}

Message PasteRows(Grid& grid, int first, std::string_view text, std::vector<int>* pasted) {
    std::vector<std::string> lines = split(text, '\n');
    if (!lines.empty() && trimmed(lines.back()).empty()) lines.pop_back();
    if (lines.empty()) return "剪贴板中没有信道";
    std::vector<Row> rows(lines.size());
    Message problems;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int target = first + static_cast<int>(i);
        std::string wrong = target > kChannels ? "超出第128信道" : pastedRow(split(lines[i], '\t'), rows[i]);
        if (wrong.empty()) continue;
        problems += (problems.empty() ? "" : "\n") + ("第" + std::to_string(i + 1) + "行: " + wrong);
    }
    if (!problems.empty()) return "以下行不能粘贴, 没有粘贴任何信道:\n" + problems;
    if (pasted) pasted->clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int target = first + static_cast<int>(i);
        moveCells(rowOf(grid, target), rows[i]);
        if (pasted) pasted->push_back(target);
    }
    return {};
}

void InsertRow(Grid& grid, int row) {
    for (int r = kChannels; r > row; --r) moveCells(rowOf(grid, r), rowOf(grid, r - 1));
    ClearRow(grid, row);
}

void DeleteRows(Grid& grid, const std::vector<int>& rows) {
    int to = 1;
    for (int from = 1; from <= kChannels; ++from) {
        if (std::find(rows.begin(), rows.end(), from) != rows.end()) continue;
        if (to != from) moveCells(rowOf(grid, to), rowOf(grid, from));
        ++to;
    }
    for (; to <= kChannels; ++to) ClearRow(grid, to);
}

std::vector<int> MoveRows(Grid& grid, const std::vector<int>& rows, int by) {
    if (rows.empty() || (by != 1 && by != -1)) return rows;
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    if ((by < 0 && sorted.front() <= 1) || (by > 0 && sorted.back() >= kChannels)) return sorted;
    // Each selected row swaps with the neighbour in the direction of the move, nearest first.
    if (by > 0) std::reverse(sorted.begin(), sorted.end());
    for (int& r : sorted) {
        for (int c = kFirstCell; c <= kLastCell; ++c) std::swap(grid.at(r, c), grid.at(r + by, c));
        r += by;
    }
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

void SortByFrequency(Grid& grid) {
    std::vector<Row> rows;
    for (int r = 1; r <= kChannels; ++r) rows.push_back(rowOf(grid, r));
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        const std::string& fa = a[kColRxFreq];
        const std::string& fb = b[kColRxFreq];
        if (fa.empty() || fb.empty()) return !fa.empty() && fb.empty();
        return FrequencyUnits(fa).value_or(0) < FrequencyUnits(fb).value_or(0);
    });
    for (int r = 1; r <= kChannels; ++r) moveCells(rowOf(grid, r), rows[static_cast<std::size_t>(r - 1)]);
}

std::optional<long long> FrequencyUnits(std::string_view text) {
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((whole.empty() && decimals.empty()) || whole.size() > 6 || decimals.size() > 5) return std::nullopt;
    long long units = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return std::nullopt;
        units = units * 10 + (c - '0');
    }
    for (std::size_t i = 0; i < 5; ++i) {
        const char c = i < decimals.size() ? decimals[i] : '0';
        if (c < '0' || c > '9') return std::nullopt;
        units = units * 10 + (c - '0');
    }
    return units;
}

Message FillFrequencies(Grid& grid, const std::vector<int>& rows, std::string_view start, std::string_view step) {
    const auto from = FrequencyUnits(start);
    const auto by = FrequencyUnits(step);
    if (!from || !by) return "起始频率或步进不是频率";
    Grid filled = grid;
    Message problems;
    long long units = *from;
    for (int r : rows) {
        const auto rx = FrequencyCell(unitsText(units));
        units += *by;
        if (!rx) {
            problems += "\n第" + std::to_string(r) + "信道: " + unitsText(units - *by);
            continue;
        }
        const std::string oldRx = filled.at(r, kColRxFreq);
        const std::string oldTx = filled.at(r, kColTxFreq);
        filled.at(r, kColRxFreq) = *rx;
        if (oldRx.empty()) {
            SetFrequencyDefaults(filled, r, kColRxFreq);
            continue;
        }
        const auto oldRxUnits = FrequencyUnits(oldRx), oldTxUnits = FrequencyUnits(oldTx);
        if (!oldRxUnits || !oldTxUnits) continue;  // no transmit frequency, or no offset to keep
        const long long tx = *FrequencyUnits(*rx) + *oldTxUnits - *oldRxUnits;
        const auto txCell = tx > 0 ? FrequencyCell(unitsText(tx)) : std::nullopt;
        if (!txCell) {
            problems += "\n第" + std::to_string(r) + "信道发射频率: " + unitsText(tx < 0 ? 0 : tx);
            continue;
        }
        filled.at(r, kColTxFreq) = *txCell;
    }
    if (!problems.empty()) return "频率在" + BandsText() + ", 没有填充任何信道:" + problems;
    grid = std::move(filled);
    return {};
}

}  // namespace image
