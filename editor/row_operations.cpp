#include "image/band_edges.h"
#include "editor/row_operations.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "base/gbk.h"
#include "editor/grid_editing.h"

namespace editor {
using namespace base;
using namespace image;
namespace {

constexpr int kFirstCell = kColRxFreq, kLastCell = kColExtra, kShownCells = 12;
using Row = std::array<std::string, kGridCells>;

Row& rowOf(Grid& grid, int row) { return grid.cells[static_cast<std::size_t>(row)]; }

// A column's heading as a message names it, in the reader's language.
std::string pastedHeading(int column) { return Tr(std::string(kGridHeadings[static_cast<std::size_t>(column)])); }

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
// `cut` is set when the name had to be cut.
std::string pastedRow(std::vector<std::string> fields, Row& row, bool& cut) {
    if (fields.size() == kShownCells + 1) {
        const std::string number = trimmed(fields.front());
        const bool isNumber = !number.empty() && number.size() <= 3 &&
                              std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!isNumber) return Tr("多于12列");
        fields.erase(fields.begin());
    }
    if (fields.size() > kShownCells) return Tr("多于12列");
    if (fields.size() < kShownCells) return Tr("少于12列");
    for (auto& f : fields) f = trimmed(std::move(f));
    auto field = [&](int column) -> std::string& { return fields[static_cast<std::size_t>(column - 1)]; };
    for (int frequency : {kColRxFreq, kColTxFreq}) {
        if (field(frequency).empty()) continue;
        const auto cell = FrequencyCell(field(frequency));
        if (!cell) return pastedHeading(frequency) + " '" + field(frequency) + "'";
        field(frequency) = *cell;
        // What a typed frequency writes into the cells that depend on it, where the line
        // leaves them empty.
        for (int c = kColRxTone; c <= kColScrambler; ++c)
            if (field(c).empty() && NeededColumn(c) == frequency) field(c) = std::string(DefaultText(c));
    }
    for (int c = kColRxTone; c <= kColName; ++c) {
        const std::string& text = field(c);
        if (text.empty() || c == kColTxFreq) continue;
        const std::string heading = pastedHeading(c);
        const int needs = NeededColumn(c);
        if (needs && field(needs).empty())
            return Tr("%1 '%2' (%3为空)", heading, text, pastedHeading(needs));
        if (c == kColName) {
            std::string refused;
            const auto name = FilteredName(text, &refused);
            if (!name) return heading + " '" + text + "': " + refused;
            cut = *name != text;
            field(c) = *name;
            continue;
        }
        const auto& items = ColumnItems(c);
        // A default may be no item of the list ("0FF", a receive mode "关").
        const bool known = std::find(items.begin(), items.end(), text) != items.end() || text == DefaultText(c);
        if (!known) return heading + " '" + text + "'";
    }
    for (int c = kFirstCell; c <= kColName; ++c) row[static_cast<std::size_t>(c)] = field(c);
    row[kColExtra].clear();
    return {};
}

// The lines of clipboard text, without the empty line after the last line break.
std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> out = split(text, '\n');
    if (!out.empty() && trimmed(out.back()).empty()) out.pop_back();
    return out;
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

Message PasteRows(Grid& grid, int first, std::string_view text, std::vector<int>* pasted, std::string* told) {
    const std::vector<std::string> textLines = lines(text);
    if (textLines.empty()) return Tr("剪贴板中没有信道");
    std::vector<Row> rows(textLines.size());
    Message problems;
    std::string cut;
    for (std::size_t i = 0; i < textLines.size(); ++i) {
        const int target = first + static_cast<int>(i);
        bool nameCut = false;
        std::string wrong = target > kChannels ? Tr("超出第128信道") : pastedRow(split(textLines[i], '\t'), rows[i], nameCut);
        if (nameCut)
            cut += (cut.empty() ? "" : ", ") + Tr("第%1信道\"%2\"", target, rows[i][kColName]);
        if (wrong.empty()) continue;
        problems += (problems.empty() ? "" : "\n") + Tr("第%1行: %2", i + 1, wrong);
    }
    if (!problems.empty()) return Tr("以下行不能粘贴, 没有粘贴任何信道:\n%1", problems);
    if (pasted) pasted->clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int target = first + static_cast<int>(i);
        moveCells(rowOf(grid, target), rows[i]);
        if (pasted) pasted->push_back(target);
    }
    if (told && !cut.empty()) *told = Tr("信道名称最多7个字节(汉字每字2个字节), 已截断: %1", cut);
    return {};
}

Pasted Paste(Grid& grid, int first, int column, int row, std::string_view text) {
    Pasted result;
    const std::vector<std::string> textLines = lines(text);
    const bool blank = std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
    if (blank) {
        result.told = Tr("剪贴板是空的, 没有粘贴");
        return result;
    }
    // The first line that is no whole row: 12 cells, or 13 with the channel number first.
    std::size_t notRow = 0, cells = 0;
    for (; notRow < textLines.size(); ++notRow) {
        cells = split(textLines[notRow], '\t').size();
        if (cells != kShownCells && cells != kShownCells + 1) break;
    }
    if (notRow == textLines.size()) {
        const Grid before = grid;
        result.refused = PasteRows(grid, first, text, &result.rows, &result.told);
        result.changed = grid != before;
        return result;
    }
    if (textLines.size() != 1 || cells != 1) {
        result.told = Tr("剪贴板中不是整行信道(每行12列, 以Tab分隔), 也不是一个值: 第%1行有%2列, 没有粘贴", notRow + 1, cells);
        return result;
    }
    if (column == 0) {
        result.told = Tr("剪贴板中是一个值: 请只选中一个单元格再粘贴");
        return result;
    }
    const Grid before = grid;
    const Message refused = PasteValue(grid, column, row, trimmed(textLines.front()), &result.told);
    if (!refused.empty()) result.told = refused;
    result.changed = grid != before;
    return result;
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
    if (!from || !by) return Tr("起始频率或步进不是频率");
    Grid filled = grid;
    Message problems;
    long long units = *from;
    for (int r : rows) {
        const auto rx = FrequencyCell(unitsText(units));
        units += *by;
        if (!rx) {
            problems += "\n" + Tr("第%1信道: %2", r, unitsText(units - *by));
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
            problems += "\n" + Tr("第%1信道发射频率: %2", r, unitsText(tx < 0 ? 0 : tx));
            continue;
        }
        filled.at(r, kColTxFreq) = *txCell;
    }
    if (!problems.empty()) return Tr("频率在%1, 没有填充任何信道:%2", BandsText(), problems);
    grid = std::move(filled);
    return {};
}

}  // namespace editor
