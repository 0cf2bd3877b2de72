#include "editor/grid_editing.h"

#include <algorithm>

#include "image/code_tables.h"
#include "image/file_characters.h"
#include "base/text.h"
#include "base/gbk.h"

namespace editor {
using namespace base;
using namespace image;
namespace {

constexpr std::size_t kFrequencyChars = 9, kNameChars = 7;

// The list of each list column, and which frequency column must be set for it to open.
struct ListColumn {
    int column;
    int needs;
    const std::vector<std::string>& (*items)();
};
const std::vector<std::string>& gridTones() { return ToneList(ToneSpelling::Grid); }
const ListColumn kListColumns[] = {
    {kColRxTone, kColRxFreq, gridTones},          {kColRxMode, kColRxFreq, ReceiveModeList},
    {kColTxTone, kColTxFreq, gridTones},          {kColStartSignal, kColTxFreq, SignallingList},
    {kColEndSignal, kColTxFreq, SignallingList},  {kColPower, kColRxFreq, PowerList},
    {kColBandwidth, kColRxFreq, BandwidthList},   {kColCompander, kColRxFreq, OffOnList},
    {kColScrambler, kColRxFreq, OffOnList},
};

// Cells emptied with a frequency, and the defaults a new frequency brings.
constexpr int kRxCells[] = {kColRxFreq, kColRxTone, kColRxMode, kColPower, kColBandwidth, kColCompander, kColScrambler, kColName};
constexpr int kTxCells[] = {kColTxFreq, kColTxTone, kColStartSignal, kColEndSignal};
struct Default {
    int column;
    const char* text;
};
constexpr Default kRxDefaults[] = {{kColRxTone, "0FF"}, {kColRxMode, "关"}, {kColPower, "高"},
                                   {kColBandwidth, "宽带"}, {kColCompander, "关"}, {kColScrambler, "关"}};
constexpr Default kTxDefaults[] = {{kColTxTone, "0FF"}, {kColStartSignal, "关"}, {kColEndSignal, "关"}};

std::string& posCol(EditorState& s, Band b) { return b == Band::Upper ? s.Col : s.col1; }
std::string& posRow(EditorState& s, Band b) { return b == Band::Upper ? s.Row : s.row1; }

int toInt(const std::string& text) {
    if (text.empty() || text.size() > 4) return 0;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        v = v * 10 + (c - '0');
    }
    return v;
}

bool inBands(std::int64_t units) {
    return InBand(units, kVhfLowMHz, kVhfHighMHz) || InBand(units, kUhfLowMHz, kUhfHighMHz);
}

// The nine-character text with five decimals: "145" -> "145.00000". nullopt for a text that
// is no number ("", ".", "1.2.3") or that cannot take five decimals.
std::optional<std::string> padded(std::string s) {
    while (s.size() > 1 && s[0] == '0' && s[1] != '.') s.erase(0, 1);  // "0145" is 145 MHz
    if (s.find('.') == std::string::npos) s += ".";
    if (s.size() < kFrequencyChars) s.append(kFrequencyChars - s.size(), '0');
    const auto point = s.find('.');
    if (s.find('.', point + 1) != std::string::npos || point == 0 || s.size() - point - 1 != 5) return std::nullopt;
    for (char c : s)
        if (c != '.' && (c < '0' || c > '9')) return std::nullopt;
    return s;
}

// The bytes of the UTF-8 character that starts with `lead` (1 for a stray byte).
std::size_t utf8Length(char lead) {
    const auto c = static_cast<unsigned char>(lead);
    return c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
}

// A column's heading as a message names it, in the reader's language.
std::string headingShown(int column) { return Tr(std::string(kGridHeadings[static_cast<std::size_t>(column)])); }

// The status-bar line for defaults that replaced set values.
std::string resetLine(int row, int column, const std::string& cell, const std::string& reset) {
    return Tr("第%1信道%2改为%3, 恢复默认: %4", row, headingShown(column), cell, reset);
}

}  // namespace

int EditorNumber(int column) { return column <= 3 ? column : column + 1; }

int EditRow(const EditorState& state, Band band) {
    const int r = toInt(band == Band::Upper ? state.Row : state.row1);
    return r >= 1 && r <= kChannels ? r : 0;
}

int EditColumn(const EditorState& state, Band band) {
    const int c = toInt(band == Band::Upper ? state.Col : state.col1);
    return c >= 1 && c <= 12 ? c : 0;
}

bool HasEditor(const Grid& grid, int column, int row) {
    if (row < 1 || row > kChannels || column < kColRxFreq || column > kColName) return false;
    if (column == kColRxFreq || column == kColTxFreq) return true;
    return !grid.at(row, NeededColumn(column)).empty();
}

CellEditor SelectCell(EditorState& state, Band band, int column, int row) {
    posCol(state, band) = std::to_string(column);
    posRow(state, band) = std::to_string(row);
    CellEditor editor;
    const Grid& grid = state.grid(band);
    if (!HasEditor(grid, column, row)) return editor;
    editor.editor = EditorNumber(column);
    if (column == kColRxFreq || column == kColTxFreq) {
        editor.kind = EditorKind::FrequencyEdit;
        editor.text = grid.at(row, column);
    } else if (column == kColName) {
        editor.kind = EditorKind::NameEdit;
        editor.text = ShownText(grid.at(row, column));
    } else {
        const auto lc = std::find_if(std::begin(kListColumns), std::end(kListColumns),
                                     [column](const ListColumn& l) { return l.column == column; });
        editor.kind = EditorKind::List;
        editor.items = lc->items();
        // The cell may hold "0FF" (a default) where the list spells "OFF": same item.
        const std::string& current = grid.at(row, column);
        editor.selected = lc->items == gridTones && current.size() == 3 ? 0 : IndexOf(editor.items, current);
    }
    return editor;
}

void DeleteCell(Grid& grid, int column, int row) {
    if (row < 1 || row > kChannels) return;
    if (column == kColRxFreq || column == kColTxFreq)
        ClearFrequency(grid, row, column);
    else if (column == kColName)
        grid.at(row, kColName).clear();
}

CellPlace NextCell(const Grid& grid, int column, int row, Step step) {
    if (step == Step::Down) return {column, row < kChannels ? row + 1 : row};
    const int by = step == Step::Next ? 1 : -1;
    int c = column, r = row;
    do {
        c += by;
        if (c > kColName) c = kColRxFreq, ++r;
        if (c < kColRxFreq) c = kColName, --r;
    } while (r >= 1 && r <= kChannels && !HasEditor(grid, c, r));
    if (r < 1 || r > kChannels) return {column, row};
    return {c, r};
}

KeyAction FrequencyKey(std::string_view text, char key) {
    if (key == kEnter) return KeyAction::Close;
    if (key == kBackspace) return KeyAction::Accept;
    if (text.size() >= kFrequencyChars) return KeyAction::Drop;
    return key == '.' || (key >= '0' && key <= '9') ? KeyAction::Accept : KeyAction::Drop;
}

KeyAction NameKey(std::string_view text, char key) {
    if (static_cast<unsigned char>(key) > 126) return KeyAction::Drop;
    const KeyAction action = NameCharacter(text, std::string_view(&key, 1));
    return action == KeyAction::Cut ? KeyAction::Drop : action;
}

KeyAction NameCharacter(std::string_view text, std::string_view character) {
    if (character.empty()) return KeyAction::Drop;
    if (character.size() == 1) {
        const char key = character.front();
        if (key == kEnter) return KeyAction::Close;
        if (key == kBackspace) return KeyAction::Accept;
        if (static_cast<unsigned char>(key) < 32 || static_cast<unsigned char>(key) > 126) return KeyAction::Drop;
        if (BreaksFileField(key) || (text.empty() && BreaksFileAtStart(key))) return KeyAction::Drop;
    } else if (!KeptBytes(character).empty() || !Utf8ToGbk(character)) {
        // No GBK form; a kept byte is the radio's, never typed.
        return KeyAction::Drop;
    }
    return GbkSize(text) + GbkSize(character) > kNameChars ? KeyAction::Cut : KeyAction::Accept;
}

std::optional<std::string> FilteredName(std::string_view text, std::string* refused) {
    std::string name;
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view character = text.substr(i, utf8Length(text[i]));
        const KeyAction action = NameCharacter(name, character);
        if (action == KeyAction::Cut) break;
        if (action != KeyAction::Accept || character == std::string_view(&kBackspace, 1)) {
            if (refused)
                *refused = Tr(static_cast<unsigned char>(character.front()) < 0x80 ? "字符'%1'不能用在名称中" : "字符'%1'没有GBK编码",
                              character);
            return std::nullopt;
        }
        name += character;
        i += character.size();
    }
    return name;
}

std::string NameCutLine(std::string_view kept) {
    return Tr("信道名称最多7个字节(汉字每字2个字节), 已截为\"%1\"", ShownText(kept));
}

Message CommitFrequency(EditorState& state, Band band, std::string_view text, std::string* told) {
    const int row = EditRow(state, band);
    const int column = EditColumn(state, band);
    if (row == 0 || (column != kColRxFreq && column != kColTxFreq)) return {};
    Grid& grid = state.grid(band);
    const bool receive = column == kColRxFreq;
    if (text.empty()) {
        ClearFrequency(grid, row, column);
        return {};
    }
    const auto cell = FrequencyCell(text);
    if (!cell) {
        ClearFrequency(grid, row, column);
        // The upper grid's messages end with one more blank.
        return Tr(receive ? "接收频率在%1" : "发射频率在%1", BandsText()) + (band == Band::Upper ? " " : "");
    }
    if (*padded(std::string(text)) == grid.at(row, column)) return {};
    grid.at(row, column) = *cell;
    const std::string reset = SetFrequencyDefaults(grid, row, column);
    if (told && !reset.empty()) *told = resetLine(row, column, *cell, reset);
    return {};
}

std::optional<std::string> FrequencyCell(std::string_view text) {
    const auto s = padded(std::string(text));
    if (!s) return std::nullopt;
    std::int64_t units = 0;
    for (char c : *s)
        if (c != '.') units = units * 10 + (c - '0');
    if (!inBands(units)) return std::nullopt;
    // Channel raster: 2.5 kHz or 6.25 kHz; anything else is raised to the next 2.5 kHz step.
    if (units % 250 == 0 || units % 625 == 0) return s;
    units = (units / 250 + 1) * 250;
    if (!inBands(units)) return std::nullopt;
    const std::string d = std::to_string(units);
    return d.substr(0, d.size() - 5) + "." + d.substr(d.size() - 5);
}

void ClearFrequency(Grid& grid, int row, int column) {
    if (column == kColRxFreq)
        for (int c : kRxCells) grid.at(row, c).clear();
    else
        for (int c : kTxCells) grid.at(row, c).clear();
}

std::string SetFrequencyDefaults(Grid& grid, int row, int column) {
    std::string reset;
    auto set = [&](const Default& d) {
        std::string& cell = grid.at(row, d.column);
        // A tone "OFF" chosen from the list is the default "0FF": nothing was reset.
        const bool same = cell == d.text || (std::string_view(d.text) == "0FF" && cell.size() == 3 && cell != "关");
        if (!cell.empty() && !same)
            reset += (reset.empty() ? "" : ", ") +
                     Tr("%1 %2→%3", headingShown(d.column), Tr(ShownText(cell)), Tr(std::string(d.text)));
        cell = d.text;
    };
    if (column == kColRxFreq)
        for (const auto& d : kRxDefaults) set(d);
    else
        for (const auto& d : kTxDefaults) set(d);
    return reset;
}

std::string_view DefaultText(int column) {
    for (const auto& d : kRxDefaults)
        if (d.column == column) return d.text;
    for (const auto& d : kTxDefaults)
        if (d.column == column) return d.text;
    return {};
}

const std::vector<std::string>& ColumnItems(int column) {
    static const std::vector<std::string> none;
    for (const auto& lc : kListColumns)
        if (lc.column == column) return lc.items();
    return none;
}

int NeededColumn(int column) {
    for (const auto& lc : kListColumns)
        if (lc.column == column) return lc.needs;
    return column == kColName ? kColRxFreq : 0;
}

void ChooseItem(EditorState& state, Band band, std::string_view item) {
    const int row = EditRow(state, band);
    const int column = EditColumn(state, band);
    if (row == 0 || column == 0) return;
    state.grid(band).at(row, column) = std::string(item);
}

void CommitName(EditorState& state, Band band, std::string_view text, std::string* told) {
    const int row = EditRow(state, band);
    if (row == 0 || EditColumn(state, band) != kColName) return;
    // The editor shows kept bytes as U+FFFD: what the operator left alone keeps them. Seven
    // bytes as the radio stores them, never a character cut in half.
    std::string& cell = state.grid(band).at(row, kColName);
    const std::string whole = TextBehindShown(cell, text);
    cell = Utf8PrefixWithin(whole, kNameChars);
    if (told && cell != whole) *told = NameCutLine(cell);
}

Message PasteValue(Grid& grid, int column, int row, std::string_view value, std::string* told) {
    if (row < 1 || row > kChannels || column < 1 || column > kColName) return Tr("请先选中一个单元格");
    const std::string heading = headingShown(column);
    const std::string quoted = "\"" + std::string(value) + "\"";
    const int needs = NeededColumn(column);
    if (needs && grid.at(row, needs).empty())
        return Tr("%1为空, 不能粘贴%2", headingShown(needs), heading);
    if (column == kColRxFreq || column == kColTxFreq) {
        std::string typed;
        for (char c : value) {
            if (c == kBackspace || FrequencyKey(typed, c) != KeyAction::Accept) return Tr("%1不是%2, 没有粘贴", quoted, heading);
            typed += c;
        }
        const auto cell = FrequencyCell(typed);
        if (!cell) return Tr("%1在%2, 没有粘贴%3", heading, BandsText(), quoted);
        if (*padded(typed) == grid.at(row, column)) return {};
        grid.at(row, column) = *cell;
        const std::string reset = SetFrequencyDefaults(grid, row, column);
        if (told && !reset.empty()) *told = resetLine(row, column, *cell, reset);
        return {};
    }
    if (column == kColName) {
        std::string refused;
        const auto name = FilteredName(value, &refused);
        if (!name) return Tr("%1: %2, 没有粘贴", heading, refused);
        grid.at(row, column) = *name;
        if (told && *name != value) *told = NameCutLine(*name);
        return {};
    }
    const auto& items = ColumnItems(column);
    if (std::find(items.begin(), items.end(), value) == items.end() && value != DefaultText(column))
        return Tr("%1不是%2的选项, 没有粘贴", quoted, heading);
    grid.at(row, column) = std::string(value);
    return {};
}

int TypeAhead(const std::vector<std::string>& items, std::string_view typed) {
    if (typed.empty()) return -1;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& item = items[i];
        if (item.size() < typed.size()) continue;
        bool starts = true;
        for (std::size_t k = 0; starts && k < typed.size(); ++k) starts = lower(item[k]) == lower(typed[k]);
        if (starts) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace editor
