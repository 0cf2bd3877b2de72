#include "codeplug/codeplug.h"

#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <optional>
#include <type_traits>

#include "image/file_characters.h"
#include "base/gbk.h"
#include "base/hex.h"
#include "base/text.h"
#include "image/page_tables.h"

namespace codeplug {
namespace {

using image::EditorState;

// ---------------------------------------------------------------------------------------
// The record layout.

// Record 129 / 258 in file order: the control number n of left<n> / right<n> (no 9), and its
// kind; the list sizes come from the page tables.
struct BandField {
    FieldKind kind;
    const char* upper;
    const char* lower;
    int control;
};
constexpr std::array<BandField, 15> kBandFields = {{
    {FieldKind::Index, "left1", "right1", 1},
    {FieldKind::Index, "left2", "right2", 2},
    {FieldKind::Text, "left3", "right3", 3},
    {FieldKind::Index, "left4", "right4", 4},
    {FieldKind::Index, "left5", "right5", 5},
    {FieldKind::Index, "left6", "right6", 6},
    {FieldKind::Index, "left7", "right7", 7},
    {FieldKind::Index, "left8", "right8", 8},
    {FieldKind::Index, "left10", "right10", 10},
    {FieldKind::Index, "left11", "right11", 11},
    {FieldKind::Index, "left12", "right12", 12},
    {FieldKind::Index, "left13", "right13", 13},
    {FieldKind::Index, "left14", "right14", 14},
    {FieldKind::Text, "left15", "right15", 15},
    {FieldKind::Index, "left16", "right16", 16},
}};

// Record 259: gn1..gn15; gn3 is the only edit.
constexpr std::array<const char*, 15> kGeneralNames = {"gn1", "gn2",  "gn3",  "gn4",  "gn5",
                                                       "gn6", "gn7",  "gn8",  "gn9",  "gn10",
                                                       "gn11", "gn12", "gn13", "gn14", "gn15"};
constexpr std::array<const char*, 7> kLimitsNames = {"kaiji1", "kaiji2", "xp1", "xp2", "xp3", "xp4", "xp5"};
constexpr std::array<const char*, 15> kBlockNames = {"k1", "k2",  "k3",  "k4",  "k5",  "k6",  "k7", "k8",
                                                     "k9", "k10", "k11", "k12", "k13", "k14", "k15"};
constexpr std::array<const char*, 17> kCodeNames = {"sypz1", "sypz2", "sypz3", "sypz4", "sypz5", "sypz6",
                                                    "sypz7", "sypz8", "sypz9", "sy1",   "sy2",   "sy3",
                                                    "sy4",   "sy5",   "sy6",   "sy7",   "sy8"};

int listSize(const std::vector<image::PageControl>& controls, int number) {
    for (const auto& c : controls)
        if (c.number == number) return static_cast<int>(c.items.size());
    return 0;
}

// The entry counts of the lists, looked up once.
struct ListSizes {
    std::array<int, 17> band{};
    std::array<int, 16> general{};
    int remote = 0;  // sypz9
    int limitSwitch = 0;  // xp5
    ListSizes() {
        for (int n = 1; n <= 16; ++n) band[static_cast<std::size_t>(n)] = listSize(image::BandControls(), n);
        for (int n = 1; n <= 15; ++n) general[static_cast<std::size_t>(n)] = listSize(image::GeneralControls(), n);
        remote = listSize(image::IdentityControls(), 9);
        limitSwitch = listSize(image::LimitControls(), 5);
    }
};
const ListSizes& sizes() {
    static const ListSizes s;
    return s;
}

constexpr bool isUpperRow(int record) { return record >= 1 && record <= image::kChannels; }
constexpr bool isLowerRow(int record) { return record >= 130 && record <= 129 + image::kChannels; }
constexpr bool isChannelRow(int record) { return isUpperRow(record) || isLowerRow(record); }
constexpr int rowOf(int record) { return isUpperRow(record) ? record : record - 129; }

// Calls visit(field, value) for every field of the record in file order; value is the int or
// std::string of the state that the field stores (const when the state is const).
template <class State, class Visit>
void visitRecord(State& s, int record, Visit&& visit) {
    if (isChannelRow(record)) {
        auto& grid = isUpperRow(record) ? s.upper : s.lower;
        const int row = rowOf(record);
        for (int c = 0; c < image::kGridCells; ++c) visit(c, grid.at(row, c));
        return;
    }
    switch (record) {
        case 129:
        case 258: {
            auto& page = record == 129 ? s.upperBand : s.lowerBand;
            for (int f = 0; f < static_cast<int>(kBandFields.size()); ++f) {
                const BandField& b = kBandFields[static_cast<std::size_t>(f)];
                if (b.kind == FieldKind::Index)
                    visit(f, page.list[static_cast<std::size_t>(b.control)]);
                else
                    visit(f, b.control == 3 ? page.rxFreq : page.offset);
            }
            return;
        }
        case 259:
            for (int f = 0; f < 15; ++f) {
                if (f == 2)
                    visit(f, s.general.radioFreq);
                else
                    visit(f, s.general.list[static_cast<std::size_t>(f + 1)]);
            }
            return;
        case 260:
            visit(0, s.limits.kaiji1);
            visit(1, s.limits.kaiji2);
            for (int f = 2; f < 6; ++f) visit(f, s.limits.xp[static_cast<std::size_t>(f - 1)]);
            visit(6, s.limits.xp5);
            return;
        case 261:
            for (int f = 0; f < 15; ++f) visit(f, s.k[static_cast<std::size_t>(f + 1)]);
            return;
        case 262:
            for (int f = 0; f < 8; ++f) visit(f, s.dtmf.sypz[static_cast<std::size_t>(f + 1)]);
            visit(8, s.dtmf.sypz9);
            for (int f = 0; f < 8; ++f) visit(9 + f, s.dtmf.sy[static_cast<std::size_t>(f + 1)]);
            return;
        default:
            return;
    }
}

// ---------------------------------------------------------------------------------------
// Splitting. A piece ends at one of its end characters (outside quotes) or at the end of the
// text; skip characters are passed over at its start; a ' or " opens a quoted stretch up to
// the next quote of the same kind (or the end of the text), which ends nothing.

// `stops` holds the end characters and the two quote characters.
std::optional<std::string_view> nextPiece(std::string_view text, std::size_t& pos, std::string_view skip,
                                          std::string_view stops) {
    pos = text.find_first_not_of(skip, pos);
    if (pos == std::string_view::npos) {
        pos = text.size();
        return std::nullopt;
    }
    const std::size_t start = pos;
    for (;;) {
        pos = text.find_first_of(stops, pos);
        if (pos == std::string_view::npos) {
            pos = text.size();
            break;
        }
        const char c = text[pos];
        if (c != '\'' && c != '"') break;
        const std::size_t close = text.find(c, pos + 1);
        if (close == std::string_view::npos) {
            pos = text.size();
            break;
        }
        pos = close + 1;
    }
    return text.substr(start, pos - start);
}

std::optional<std::string_view> nextRecord(std::string_view text, std::size_t& pos) {
    return nextPiece(text, pos, "\r\n~", "\r\n'\"");
}

std::optional<std::string_view> nextField(std::string_view record, std::size_t& pos) {
    return nextPiece(record, pos, ",", ",'\"");
}

// An index field as the toolkit's string-to-integer conversion reads it: leading blanks, an
// optional sign, then decimal digits or "$"/"0x" and hexadecimal digits, nothing after.
std::optional<int> parseInteger(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(s.data() + i, s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

// ---------------------------------------------------------------------------------------
// Writing.

bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t n = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

// A text or cell as the file can carry it back, with what had to be replaced by a space.
struct Cleaned {
    std::string text;
    std::vector<std::string> replaced;
};

void note(std::vector<std::string>& list, std::string what) {
    for (const auto& w : list)
        if (w == what) return;
    list.push_back(std::move(what));
}

bool breaks(std::string_view text, std::size_t i, bool opensRecord) {
    return image::BreaksFileField(text[i]) || (i == 0 && opensRecord && image::BreaksFileAtStart(text[i]));
}

bool needsCleaning(std::string_view text, bool opensRecord) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (breaks(text, i, opensRecord)) return true;
    return false;
}

Cleaned clean(std::string_view text, bool opensRecord, bool checkGbk) {
    Cleaned out{std::string(text), {}};
    for (std::size_t i = 0; i < out.text.size(); ++i) {
        char& c = out.text[i];
        if (!breaks(out.text, i, opensRecord)) continue;
        if (c == '\r' || c == '\n')
            note(out.replaced, base::Tr("换行符"));
        else if (image::BreaksFileAtStart(c))
            note(out.replaced, base::Tr("记录开头的'~'"));
        else
            note(out.replaced, "'" + std::string(1, c) + "'");
        c = ' ';
    }
    if (!checkGbk || isAscii(out.text) || base::Utf8ToGbk(out.text)) return out;
    std::string kept;
    for (std::size_t i = 0; i < out.text.size();) {
        const std::size_t n = utf8SequenceLength(out.text, i);
        if (n == 0) {
            note(out.replaced, base::Tr("不是UTF-8的字节"));
            kept.push_back(' ');
            ++i;
            continue;
        }
        const std::string_view ch(out.text.data() + i, n);
        if (n == 1 || base::Utf8ToGbk(ch)) {
            kept.append(ch);
        } else {
            note(out.replaced, base::Tr("'%1'(没有GBK编码)", ch));
            kept.push_back(' ');
        }
        i += n;
    }
    out.text = std::move(kept);
    return out;
}

// "a、b和c": the words between the items are the language's own.
std::string joinReplaced(const std::vector<std::string>& what) {
    if (what.empty()) return {};
    std::string s = what[0];
    for (std::size_t i = 1; i + 1 < what.size(); ++i) s = base::Tr("%1、%2", s, what[i]);
    return what.size() == 1 ? s : base::Tr("%1和%2", s, what.back());
}

// Builds the UTF-8 text of the whole file. With checkGbk every text and cell is also cut
// down to characters that have a GBK form.
void build(const EditorState& s, bool checkGbk, std::string& out, std::vector<std::string>& changed) {
    for (int r = 1; r <= kRecords; ++r) {
        visitRecord(s, r, [&](int f, const auto& value) {
            const FieldInfo info = Field(r, f);
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, int>) {
                int v = value;
                if (v < -1 || v >= info.size) {
                    changed.push_back(base::Tr("%1: 第%2项不在列表中, 写为-1(未选择)", Where(r, f), v));
                    v = -1;
                }
                char digits[16];
                const auto res = std::to_chars(digits, digits + sizeof digits, v);
                out.append(digits, res.ptr);
                out.push_back(',');
            } else if (info.kind == FieldKind::Block) {
                out += value;
                out.push_back(',');
            } else {
                std::string_view text = value;
                Cleaned c;
                if (checkGbk || needsCleaning(text, f == 0)) {
                    c = clean(text, f == 0, checkGbk);
                    if (!c.replaced.empty())
                        changed.push_back(base::Tr("%1: %2写为空格", Where(r, f), joinReplaced(c.replaced)));
                    text = c.text;
                }
                if (info.kind == FieldKind::Cell) {
                    if (text == " ") {
                        if (c.replaced.empty())
                            changed.push_back(base::Tr("%1: 只有一个空格的单元格写为空单元格", Where(r, f)));
                        text = {};
                    }
                    out += text.empty() ? std::string_view(" ") : text;
                } else {
                    out += text;
                    out.push_back(' ');
                }
                out.push_back(',');
            }
        });
        out += r == kRecords ? "\r\n" : "\r";
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------

int FieldCount(int record) {
    if (isChannelRow(record)) return image::kGridCells;
    switch (record) {
        case 129:
        case 258:
        case 259:
        case 261: return 15;
        case 260: return 7;
        case 262: return 17;
        default: return 0;
    }
}

FieldInfo Field(int record, int field) {
    if (field < 0 || field >= FieldCount(record)) return {FieldKind::Cell, "", 0};
    const auto f = static_cast<std::size_t>(field);
    if (isChannelRow(record))
        return {FieldKind::Cell, field < 13 ? image::kGridHeadings[f] : "extra cell", 0};
    switch (record) {
        case 129:
        case 258: {
            const BandField& b = kBandFields[f];
            return {b.kind, record == 129 ? b.upper : b.lower,
                    b.kind == FieldKind::Index ? sizes().band[static_cast<std::size_t>(b.control)] : 0};
        }
        case 259:
            return {field == 2 ? FieldKind::Text : FieldKind::Index, kGeneralNames[f],
                    field == 2 ? 0 : sizes().general[f + 1]};
        case 260:
            return {field == 6 ? FieldKind::Index : FieldKind::Text, kLimitsNames[f], field == 6 ? sizes().limitSwitch : 0};
        case 261: return {FieldKind::Block, kBlockNames[f], image::hiddenField(field + 1).digits};
        case 262:
            return {field == 8 ? FieldKind::Index : FieldKind::Text, kCodeNames[f], field == 8 ? sizes().remote : 0};
        default: return {FieldKind::Cell, "", 0};
    }
}

std::string RecordName(int record) {
    if (isUpperRow(record)) return base::Tr("上段信道 第%1行", record);
    if (isLowerRow(record)) return base::Tr("下段信道 第%1行", record - 129);
    switch (record) {
        case 129: return base::Tr("上段设置");
        case 258: return base::Tr("下段设置");
        case 259: return base::Tr("综合设置");
        case 260: return base::Tr("开机信息和限频");
        case 261: return base::Tr("隐藏数据字段");
        case 262: return base::Tr("双音频组");
        default: return base::Tr("超出文件格式");
    }
}

std::string Where(int record, int field) {
    // A cell's control is its column heading, shown in the reader's language.
    return base::Tr("第%1条记录(%2)第%3个字段(%4)", record, RecordName(record), field,
                    base::Tr(std::string(Field(record, field).control)));
}

SaveText ToText(const EditorState& state) {
    SaveText out;
    for (int n = 1; n <= 15; ++n) {
        const std::string& text = state.k[static_cast<std::size_t>(n)];
        const int want = image::hiddenField(n).digits;
        if (static_cast<int>(text.size()) != want || !base::IsUpperHex(text)) {
            out.error = base::Tr("k%1的内容\"%2\"不是%3位大写十六进制数字, 没有写入", n, text, want);
            return out;
        }
    }
    std::string utf8;
    utf8.reserve(48 * 1024);
    build(state, false, utf8, out.notes);
    auto gbk = base::Utf8ToGbk(utf8);
    if (!gbk) {
        // Some text has no GBK form: build again, replacing such characters field by field.
        utf8.clear();
        out.notes.clear();
        build(state, true, utf8, out.notes);
        gbk = base::Utf8ToGbk(utf8);
        if (!gbk) {
            out.error = base::Tr("文本没有GBK编码, 没有写入");
            return out;
        }
    }
    out.value = std::move(*gbk);
    return out;
}

OpenResult FromText(std::string_view bytes, const EditorState& current) {
    OpenResult result = base::Success(current);
    // Commas, quotes and line ends are single bytes below 0x40 in GBK and in UTF-8 and never
    // part of a longer character, so the text splits the same before and after conversion.
    const std::optional<std::string> converted = base::GbkToUtf8(bytes);
    const bool perField = !converted;
    const std::string_view text = converted ? std::string_view(*converted) : bytes;

    std::string scratch;
    auto decoded = [&](int r, int f, std::string_view raw) -> std::string_view {
        if (!perField || isAscii(raw)) return raw;
        if (auto ok = base::GbkToUtf8(raw)) {
            scratch = std::move(*ok);
        } else {
            scratch = base::GbkBytesToKeptText(raw);
            result.notes.push_back(base::Tr("%1: 非GBK字节按原样保留, 显示为�", Where(r, f)));
        }
        return scratch;
    };

    std::size_t recordPos = 0;
    for (int r = 1; r <= kRecords && result.error.empty(); ++r) {
        const auto record = nextRecord(text, recordPos);
        if (!record) {
            result.error = "List index out of bounds (" + std::to_string(r - 1) +
                           "): " + base::Tr("文件只有%1条记录, 缺少第%2条记录(%3)", r - 1, r, RecordName(r));
            break;
        }
        std::size_t fieldPos = 0;
        visitRecord(result.value, r, [&](int f, auto& value) {
            if (!result.error.empty()) return;
            const auto raw = nextField(*record, fieldPos);
            if (!raw) {
                result.error = "List index out of bounds (" + std::to_string(f) +
                               "): " + base::Tr("%1缺失, 该记录只有%2个字段", Where(r, f), f);
                return;
            }
            const FieldInfo info = Field(r, f);
            if constexpr (std::is_same_v<std::remove_cvref_t<decltype(value)>, int>) {
                const auto v = parseInteger(*raw);
                if (!v) {
                    result.error = "'" + (perField ? base::GbkBytesToText(*raw) : std::string(*raw)) +
                                   "' is not a valid integer value: " + Where(r, f);
                    return;
                }
                value = *v >= 0 && *v < info.size ? *v : image::kNoSelection;
            } else if (info.kind == FieldKind::Block) {
                std::string digits(*raw);
                for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                std::string problem;
                if (static_cast<int>(digits.size()) != info.size) {
                    problem = base::Tr("有%1位数字, 应为%2位", digits.size(), info.size);
                } else if (!base::IsUpperHex(digits)) {
                    for (std::size_t i = 0; i < digits.size(); ++i) {
                        if (!base::IsUpperHex(std::string_view(digits).substr(i, 1))) {
                            problem = base::Tr("第%1位不是十六进制数字", i + 1);
                            break;
                        }
                    }
                }
                if (!problem.empty()) {
                    result.error = Where(r, f) + ": " + problem;
                    return;
                }
                value = std::move(digits);
            } else {
                std::string_view v = decoded(r, f, *raw);
                if (info.kind == FieldKind::Cell) {
                    value = v == " " ? std::string_view() : v;
                } else {
                    if (!v.empty() && v.back() == ' ') v.remove_suffix(1);  // the space Save adds
                    value = v;
                }
            }
        });
    }
    if (!result.error.empty()) {
        result.value = current;
        result.notes.clear();
        result.kind = base::ErrorKind::BadData;
    }
    return result;
}

EditorState New(const EditorState& current) {
    EditorState s = image::NewState();
    s.Col = current.Col;
    s.Row = current.Row;
    s.col1 = current.col1;
    s.row1 = current.row1;
    return s;
}

std::string PathForSave(std::string_view chosenName) {
    const bool hasSuffix = chosenName.size() >= 3 && chosenName[chosenName.size() - 3] == '.' &&
                           std::tolower(static_cast<unsigned char>(chosenName[chosenName.size() - 2])) == 'b' &&
                           std::tolower(static_cast<unsigned char>(chosenName[chosenName.size() - 1])) == 'c';
    std::string path(chosenName);
    if (!hasSuffix) path += ".bc";
    return path;
}

}  // namespace codeplug
