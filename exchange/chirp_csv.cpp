#include "exchange/chirp_csv.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>

#include "image/code_tables.h"
#include "image/file_characters.h"
#include "base/frequency.h"
#include "base/gbk.h"
#include "base/text.h"
#include "editor/grid_editing.h"

namespace exchange {
namespace {

using image::Band;
using image::EditorState;

constexpr std::size_t kNameBytes = 7;
// The cells of a channel that CSV has no column for.
constexpr std::array<int, 5> kNoColumn = {image::kColRxMode, image::kColStartSignal, image::kColEndSignal,
                                          image::kColCompander, image::kColScrambler};
constexpr long double kHighWatts = 2.5L;  // a power of at least this many watts is 高
// The watts export writes for 高 and 低, on either side of kHighWatts.
constexpr const char* kHighWattsText = "5.0W";
constexpr const char* kLowWatts = "1.0W";

// ---------------------------------------------------------------- numbers and texts

// A decimal text (digits, at most one ".") as an exact whole number of 10^-decimals units.
// nullopt when it is no such number; `tooFine` when it has nonzero digits past `decimals`.
std::optional<std::int64_t> fixedPoint(std::string_view s, int decimals, bool* tooFine = nullptr) {
    if (tooFine) *tooFine = false;
    const auto point = s.find('.');
    const std::string_view whole = s.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : s.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || whole.size() > 9) return std::nullopt;
    std::int64_t value = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    for (int i = 0; i < static_cast<int>(fraction.size()); ++i) {
        const char c = fraction[static_cast<std::size_t>(i)];
        if (c < '0' || c > '9') return std::nullopt;
        if (i < decimals) continue;
        if (c != '0') {
            if (tooFine) *tooFine = true;
            return std::nullopt;
        }
    }
    for (int i = 0; i < decimals; ++i)
        value = value * 10 + (i < static_cast<int>(fraction.size()) ? fraction[static_cast<std::size_t>(i)] - '0' : 0);
    return value;
}

std::string withDecimals(std::int64_t value, int decimals) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, static_cast<std::size_t>(decimals + 1) - digits.size(), '0');
    digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
    return digits;
}

// 10 Hz units as the CSV writes MHz (six decimals) and as the frequency editor holds it (five).
std::string csvMHz(std::int64_t units) { return withDecimals(units * 10, 6); }
std::string editorMHz(std::int64_t units) { return withDecimals(units, 5); }

std::string quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

int rangeOf(std::int64_t units) {
    if (image::InBand(units, image::kVhfLowMHz, image::kVhfHighMHz)) return 1;
    if (image::InBand(units, image::kUhfLowMHz, image::kUhfHighMHz)) return 2;
    return 0;
}

// ---------------------------------------------------------------- tones

struct Tone {
    enum Kind { None, Ctcss, Dcs } kind = None;
    int tenths = 0;        // Ctcss
    std::string code;      // Dcs: three octal digits
    char polarity = 'N';   // Dcs: 'N' normal, 'R' inverted ("D...I")
    bool operator==(const Tone&) const = default;
};

// A grid tone cell: "" or any three-character text is no tone.
std::optional<Tone> toneOfCell(const std::string& cell) {
    Tone t;
    if (cell.empty() || cell.size() == 3) return t;
    if (cell.size() > 2 && cell.compare(cell.size() - 2, 2, "HZ") == 0) {
        const auto tenths = fixedPoint(std::string_view(cell).substr(0, cell.size() - 2), 1);
        if (!tenths || *tenths > 99999) return std::nullopt;
        t.kind = Tone::Ctcss;
        t.tenths = static_cast<int>(*tenths);
        return t;
    }
    if (cell.size() == 5 && cell[0] == 'D' && (cell[4] == 'N' || cell[4] == 'I')) {
        t.kind = Tone::Dcs;
        t.code = cell.substr(1, 3);
        t.polarity = cell[4] == 'I' ? 'R' : 'N';
        return t;
    }
    return std::nullopt;
}

std::string ctcssText(int tenths) { return withDecimals(tenths, 1) + "HZ"; }
std::string dcsText(const std::string& code, char polarity) { return "D" + code + (polarity == 'R' ? "I" : "N"); }

// ---------------------------------------------------------------- CSV text

// Line ends inside a text, counted as the reader counts them (CRLF, LF or CR alone).
int lineBreaks(std::string_view s) {
    int n = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[i] == '\n' || (s[i] == '\r' && (i + 1 == s.size() || s[i + 1] != '\n'))) ++n;
    return n;
}

// The separator of the file: of ",", ";" and tab, the one that splits the first line that is
// neither blank nor a "#" comment into a Location and a Frequency column; else the one that
// line holds most of; else ",".
char separatorOf(std::string_view text) {
    std::size_t start = 0;
    std::string_view line;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        line = text.substr(start, end - start);
        start = end + 1;
        const std::string t = TrimField(line);
        if (!t.empty() && t.front() != '#') break;
        line = {};
    }
    char best = ',';
    std::ptrdiff_t most = 0;
    for (const char sep : {',', ';', '\t'}) {
        bool location = false, frequency = false;
        std::size_t from = 0;
        while (from <= line.size()) {
            const std::size_t to = std::min(line.find(sep, from), line.size());
            std::string name = LowerAscii(TrimField(line.substr(from, to - from)));
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
            location = location || name == "location";
            frequency = frequency || name == "frequency";
            from = to + 1;
        }
        if (location && frequency) return sep;
        const auto count = std::count(line.begin(), line.end(), sep);
        if (count > most) {
            most = count;
            best = sep;
        }
    }
    return best;
}

// ---------------------------------------------------------------- one row of the import

struct Columns {
    std::map<std::string, std::size_t> index;  // lower-case header name -> field
    bool has(const char* name) const { return index.count(LowerAscii(name)) != 0; }
};

// A message about one column of the row, in the chosen language.
struct Said {
    std::string column;
    std::string text;
};

class RowEntry {
public:
    RowEntry(EditorState& scratch, Band band, const Columns& columns, const CsvRecord& record, const image::Grid& before)
        : scratch_(scratch), band_(band), columns_(columns), record_(record), before_(before) {}

    std::vector<Said> problems;
    std::vector<Said> warnings;
    int location = 0;

    // Enters the row into `row` of the scratch state (any row when the Location is bad).
    void enter(int row);
    // Whether the entered channel takes this cell as the channel had it before the import
    // rather than as the row entered it: a cell CSV has no column for, or a power or
    // bandwidth the row leaves empty, while the frequency the cell belongs to stays; a
    // transmit tone the row repeats on a channel that has no transmit frequency.
    bool keeps(int column) const;
    // The channel of the row's Location, counted from `firstLocation`; 0 after a problem.
    int readLocation(int firstLocation);
    void refuse(const char* column, std::string text) { problems.push_back({column, std::move(text)}); }

private:
    std::string raw(const char* name) const {
        const auto it = columns_.index.find(LowerAscii(name));
        if (it == columns_.index.end() || it->second >= record_.fields.size()) return "";
        return record_.fields[it->second];
    }
    std::string get(const char* name) const { return TrimField(raw(name)); }

    std::optional<std::int64_t> frequency(const char* column, const std::string& text);
    bool commit(int column, std::int64_t units, const char* csvColumn, const std::string& what);
    void choose(int column, const std::string& item);
    std::optional<std::string> ctcss(const char* column);
    std::optional<std::string> dcs(const char* column, char polarity);
    void tones(bool hasTransmit);
    void power();
    void name();

    EditorState& scratch_;
    Band band_;
    const Columns& columns_;
    const CsvRecord& record_;
    const image::Grid& before_;
    int row_ = 1;
    bool powerGiven_ = false, modeGiven_ = false, keepsTransmitTone_ = false;
};

bool RowEntry::keeps(int column) const {
    const image::Grid& now = scratch_.grid(band_);
    const bool hadReceive = !before_.at(row_, image::kColRxFreq).empty();
    const bool hadTransmit = !before_.at(row_, image::kColTxFreq).empty();
    const bool transmits = !now.at(row_, image::kColTxFreq).empty();
    switch (column) {
        case image::kColRxMode:
        case image::kColCompander:
        case image::kColScrambler:
            return hadReceive;
        case image::kColPower:
            return hadReceive && !powerGiven_;
        case image::kColBandwidth:
            return hadReceive && !modeGiven_;
        case image::kColStartSignal:
        case image::kColEndSignal:
            return hadTransmit == transmits;
        case image::kColTxTone:
            return keepsTransmitTone_;
        default:
            return false;
    }
}

int RowEntry::readLocation(int firstLocation) {
    const std::string text = get("Location");
    bool digits = !text.empty() && text.size() <= 6;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    const int value = digits ? std::stoi(text) - firstLocation + 1 : 0;
    if (!digits || value < 1 || value > image::kChannels) {
        const std::string range = std::to_string(firstLocation) + ".." + std::to_string(firstLocation + image::kChannels - 1);
        refuse("Location", base::Tr("Location %1 不是信道: 位置 %2 对应信道 1..128", quoted(text), range));
        return 0;
    }
    return location = value;
}

std::optional<std::int64_t> RowEntry::frequency(const char* column, const std::string& text) {
    if (text.empty()) {
        refuse(column, base::Tr("%1 为空", column));
        return std::nullopt;
    }
    bool tooFine = false;
    const auto units = fixedPoint(text, 5, &tooFine);
    if (!units)
        refuse(column, tooFine ? base::Tr("%1 %2 比电台的 10 Hz 更细", column, text)
                               : base::Tr("%1 %2 不是以 MHz 计的数", column, text));
    return units;
}

// A frequency typed into its editor; a refusal, or a raster that would move it, is a problem
// of `csvColumn`, told as `what`, which names the columns the frequency comes from.
bool RowEntry::commit(int column, std::int64_t units, const char* csvColumn, const std::string& what) {
    const std::string text = editorMHz(units);
    editor::SelectCell(scratch_, band_, column, row_);
    const image::Message message = editor::CommitFrequency(scratch_, band_, text);
    if (!message.empty()) {
        // The editor refuses only a frequency outside the bands; said as its message says it,
        // after what the frequency is made of.
        const char* pattern = column == image::kColRxFreq ? "%1: 接收频率在%2~%3MHZ %4~%5MHZ" : "%1: 发射频率在%2~%3MHZ %4~%5MHZ";
        refuse(csvColumn, base::Tr(pattern, what, image::kVhfLowMHz, image::kVhfHighMHz, image::kUhfLowMHz, image::kUhfHighMHz));
        return false;
    }
    const std::string& stored = scratch_.grid(band_).at(row_, column);
    if (stored != text) {
        refuse(csvColumn, base::Tr("%1 不在 2.5/6.25 kHz 信道步进上 (编辑框会改为 %2)", what, stored));
        return false;
    }
    return true;
}

void RowEntry::choose(int column, const std::string& item) {
    const editor::CellEditor editor = editor::SelectCell(scratch_, band_, column, row_);
    if (editor.kind == editor::EditorKind::List) editor::ChooseItem(scratch_, band_, item);
}

std::optional<std::string> RowEntry::ctcss(const char* column) {
    const std::string text = get(column);
    const auto tenths = fixedPoint(text, 1);
    const std::string item = tenths ? ctcssText(static_cast<int>(*tenths)) : "";
    const int index = tenths ? image::IndexOf(image::ToneList(image::ToneSpelling::Grid), item) : -1;
    if (index < 1 || index > 39) {
        refuse(column, base::Tr("%1 %2 不在本机的亚音列表中", column, quoted(text)));
        return std::nullopt;
    }
    return item;
}

std::optional<std::string> RowEntry::dcs(const char* column, char polarity) {
    if (!columns_.has(column)) {
        refuse(column, base::Tr("文件没有 %1 列, 此行的亚音方式需要它", column));
        return std::nullopt;
    }
    std::string code = get(column);
    bool octal = !code.empty() && code.size() <= 3;
    for (char c : code) octal = octal && c >= '0' && c <= '7';
    if (octal) code.insert(0, 3 - code.size(), '0');
    const std::string item = octal ? dcsText(code, polarity) : "";
    if (!octal || image::IndexOf(image::ToneList(image::ToneSpelling::Grid), item) < 0) {
        refuse(column, base::Tr("%1 %2 不在本机的数字亚音列表中", column, quoted(get(column))));
        return std::nullopt;
    }
    return item;
}

void RowEntry::tones(bool hasTransmit) {
    const std::string mode = LowerAscii(get("Tone"));
    if (mode.empty()) return;
    std::string transmitPart, receivePart;  // "", "tone" or "dtcs"
    if (mode == "tone") {
        transmitPart = "tone";
    } else if (mode == "tsql") {
        transmitPart = receivePart = "tsql";
    } else if (mode == "dtcs") {
        transmitPart = receivePart = "dtcs";
    } else if (mode == "cross") {
        // Without CrossMode a Cross row does not say which of rToneFreq, cToneFreq and
        // DtcsCode are sent and which received, nor whether they are placeholders: CHIRP
        // writes 88.5 and 023 in the columns a mode does not use, so DTCS-> with D023N and
        // Tone->Tone with 88.5 Hz both ways look alike. Any guess would put a tone on the air
        // or on the squelch that the file never meant: the row is refused.
        if (!columns_.has("CrossMode")) {
            refuse("Tone", base::Tr("Tone 'Cross' 需要 CrossMode 列, 此文件没有: 不知道发射和接收各用什么亚音 "
                                    "(rToneFreq、cToneFreq 和 DtcsCode 可能只是占位值); 请把此行改为 Tone、TSQL 或 DTCS, "
                                    "或加上 CrossMode 列"));
            return;
        }
        const std::string cross = get("CrossMode");
        if (cross.empty()) {
            refuse("CrossMode", base::Tr("CrossMode 在 Cross 行为空: 不知道发射和接收各用什么亚音"));
            return;
        }
        const auto arrow = cross.find("->");
        const std::string tx = arrow == std::string::npos ? "?" : LowerAscii(TrimField(cross.substr(0, arrow)));
        const std::string rx = arrow == std::string::npos ? "?" : LowerAscii(TrimField(cross.substr(arrow + 2)));
        auto part = [](const std::string& p) { return p.empty() || p == "tone" || p == "dtcs"; };
        if (!part(tx) || !part(rx) || (tx.empty() && rx.empty())) {
            const std::string modes = "Tone->Tone, Tone->DTCS, DTCS->Tone, DTCS->DTCS, ->Tone, ->DTCS, Tone->, DTCS->";
            refuse("CrossMode", base::Tr("CrossMode %1 不是 %2 之一", quoted(cross), modes));
            return;
        }
        transmitPart = tx;
        receivePart = rx == "tone" ? "ctone" : rx == "dtcs" ? "rxdtcs" : "";
    } else {
        refuse("Tone", base::Tr("Tone %1 是本机没有的方式 (本机有 \"\", Tone, TSQL, DTCS, Cross)", quoted(get("Tone"))));
        return;
    }

    std::string polarity = get("DtcsPolarity");
    for (char& c : polarity)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (polarity.empty()) polarity = "NN";
    const bool usesDcs = transmitPart == "dtcs" || receivePart == "dtcs" || receivePart == "rxdtcs";
    if (usesDcs && (polarity.size() != 2 || (polarity[0] != 'N' && polarity[0] != 'R') ||
                    (polarity[1] != 'N' && polarity[1] != 'R'))) {
        refuse("DtcsPolarity", base::Tr("DtcsPolarity %1 不是两个字母 N 或 R", quoted(get("DtcsPolarity"))));
        return;
    }

    std::optional<std::string> transmit, receive;
    if (transmitPart == "tone") transmit = ctcss("rToneFreq");
    if (transmitPart == "tsql") transmit = receive = ctcss("cToneFreq");
    if (transmitPart == "dtcs") transmit = dcs("DtcsCode", polarity[0]);
    if (receivePart == "dtcs" && transmit) receive = transmit->substr(0, 4) + (polarity[1] == 'R' ? "I" : "N");
    if (receivePart == "ctone") receive = ctcss("cToneFreq");
    if (receivePart == "rxdtcs") receive = dcs("RxDtcsCode", polarity[1]);
    if (transmit) {
        if (hasTransmit)
            choose(image::kColTxTone, *transmit);
        else if (before_.at(row_, image::kColTxFreq).empty() && before_.at(row_, image::kColTxTone) == *transmit)
            keepsTransmitTone_ = true;  // a channel read so from a radio: it stays as it was
        else
            warnings.push_back({"Duplex", base::Tr("发射亚音 %1 未导入: Duplex off 没有发射频率", *transmit)});
    }
    if (receive) choose(image::kColRxTone, *receive);
}

void RowEntry::enter(int row) {
    row_ = row;
    image::Grid& grid = scratch_.grid(band_);
    for (int c = image::kColRxFreq; c <= image::kColName; ++c) grid.at(row, c).clear();

    const std::string rxText = get("Frequency");
    const auto rx = frequency("Frequency", rxText);
    const bool rxOk = rx && commit(image::kColRxFreq, *rx, "Frequency", "Frequency " + csvMHz(*rx));

    const std::string duplex = LowerAscii(get("Duplex"));
    const std::string offsetText = get("Offset");
    std::optional<std::int64_t> tx;
    if (duplex.empty()) {
        tx = rx;
    } else if (duplex == "+" || duplex == "-") {
        const auto offset = frequency("Offset", offsetText);
        if (rx && offset) {
            tx = duplex == "+" ? *rx + *offset : *rx - *offset;
            if (*tx < 0) {
                refuse("Offset", base::Tr("Duplex - 与 Offset %1 低于 0 MHz", offsetText));
                tx.reset();
            }
        }
    } else if (duplex == "split") {
        tx = frequency("Offset", offsetText);
    } else if (duplex != "off") {
        refuse("Duplex", base::Tr("Duplex %1 不是 \"\", +, -, split, off 之一", quoted(get("Duplex"))));
    }
    bool txOk = false;
    if (tx && (rxOk || duplex == "split")) {
        // Duplex + and - make the transmit frequency of Frequency and Offset; split gives it.
        std::string what = base::Tr("Frequency %1 (收发同频)", csvMHz(*tx));
        if (duplex == "split") {
            what = base::Tr("Offset %1 (Duplex split 的发射频率)", csvMHz(*tx));
        } else if (!duplex.empty()) {
            const std::string offset = csvMHz(*tx > *rx ? *tx - *rx : *rx - *tx);
            what = base::Tr("Offset %1: 发射频率 %2 (Frequency %3, Duplex %4, Offset %1)", offset, csvMHz(*tx), csvMHz(*rx),
                            duplex);
        }
        txOk = commit(image::kColTxFreq, *tx, duplex.empty() ? "Frequency" : "Offset", what);
    }

    tones(txOk);

    const std::string mode = LowerAscii(get("Mode"));
    modeGiven_ = !mode.empty();
    if (mode == "fm")
        choose(image::kColBandwidth, "宽带");  // not a text: the list item the grid stores
    else if (mode == "nfm")
        choose(image::kColBandwidth, "窄带");  // not a text: the list item the grid stores
    else if (!mode.empty())
        refuse("Mode", base::Tr("Mode %1: 本机只有 FM 和 NFM", quoted(get("Mode"))));

    power();
    name();
}

// Power: CHIRP's watts ("5.0W", "50W", "0.5 W"; at least kHighWatts is 高), or High/Low/H/L;
// empty, or no Power column, keeps the channel's power (see keeps()).
void RowEntry::power() {
    const std::string text = LowerAscii(get("Power"));
    powerGiven_ = !text.empty();
    if (text.empty()) return;
    if (text == "high" || text == "h") return choose(image::kColPower, "高");  // not a text: the list item the grid stores
    if (text == "low" || text == "l") return choose(image::kColPower, "低");    // not a text: the list item the grid stores
    std::optional<long double> watts;
    if (text.back() == 'w') watts = base::ParseDecimal(TrimField(std::string_view(text).substr(0, text.size() - 1)));
    if (!watts) {
        refuse("Power", base::Tr("Power %1 不是以瓦计的功率 (5.0W), 也不是 High, Low, H 或 L", quoted(get("Power"))));
        return;
    }
    choose(image::kColPower, *watts >= kHighWatts ? "高" : "低");  // not a text: the list items the grid stores
}

// The name as the name editor would take it, cut after 7 GBK bytes at a character boundary.
// What a codeplug file cannot carry (",", a quote, a line break, a leading "~") becomes a
// space, with a warning, as the file's writer does: "JOE'S" is a common name in CHIRP files.
void RowEntry::name() {
    const std::string given = raw("Name");
    if (!base::Utf8ToGbk(given)) {
        refuse("Name", base::Tr("Name %1 含有无法用 GBK 表示的字符", quoted(given)));
        return;
    }
    std::string text = given, replaced;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!image::BreaksFileField(text[i]) && !(i == 0 && image::BreaksFileAtStart(text[i]))) continue;
        const std::string what = text[i] == '\r' || text[i] == '\n' ? "a line break" : quoted(text.substr(i, 1));
        if (replaced.find(what) == std::string::npos) replaced += (replaced.empty() ? "" : ", ") + what;
        text[i] = ' ';
    }
    if (!replaced.empty())
        warnings.push_back({"Name", base::Tr("Name %1: %2 无法保存在码表文件中: 改为 %3", quoted(given), replaced, quoted(text))});
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (u >= 0x80) continue;  // a character of a Chinese name
        if (editor::NameKey(i == 0 ? "" : "x", text[i]) != editor::KeyAction::Accept) {
            refuse("Name", base::Tr("Name %1 含有名称编辑框不接受的字符 (%2)", quoted(text), quoted(text.substr(i, 1))));
            return;
        }
    }
    const std::string kept = base::Utf8PrefixWithin(text, kNameBytes);
    if (kept != text)
        warnings.push_back({"Name", base::Tr("Name %1 超过 7 个字节: 截为 %2", quoted(text), quoted(kept))});
    if (!kept.empty() && editor::SelectCell(scratch_, band_, image::kColName, row_).kind == editor::EditorKind::NameEdit)
        editor::CommitName(scratch_, band_, kept);
}

}  // namespace

CsvImport ImportCsv(std::string_view bytes, const EditorState& current, Band band, bool skipBad, int firstLocation) {
    CsvImport result;
    result.state = current;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    CsvRecords parsed = ParseCsvRecords(bytes, separatorOf(bytes));
    auto fatal = [&](CsvProblem p) {
        result.error = p.text();
        result.kind = base::ErrorKind::BadData;
        result.problems.push_back(std::move(p));
        return result;
    };
    if (parsed.fault) return fatal(*parsed.fault);
    if (parsed.records.empty()) return fatal({1, "", base::Tr("文件没有标题行")});

    const CsvRecord& header = parsed.records.front();
    Columns columns;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = LowerAscii(TrimField(header.fields[i]));
        if (name.empty()) continue;
        if (!columns.index.emplace(name, i).second)
            return fatal({header.line, TrimField(header.fields[i]), base::Tr("标题行两次列出 %1 列", TrimField(header.fields[i]))});
    }
    for (const char* needed : {"Location", "Frequency"})
        if (!columns.has(needed))
            return fatal({header.line, needed, base::Tr("标题行没有 %1 列 (需要 Location 和 Frequency)", needed)});

    EditorState scratch = current;
    EditorState work = current;
    std::map<int, int> seen;  // location -> line it was first given on
    for (std::size_t r = 1; r < parsed.records.size(); ++r) {
        const CsvRecord& record = parsed.records[r];
        RowEntry entry(scratch, band, columns, record, current.grid(band));
        if (record.fields.size() > header.fields.size() &&
            std::any_of(record.fields.begin() + static_cast<std::ptrdiff_t>(header.fields.size()), record.fields.end(),
                        [](const std::string& f) { return !TrimField(f).empty(); }))
            entry.refuse("", base::Tr("此行有 %1 个字段, 标题行有 %2 个", record.fields.size(), header.fields.size()));
        const int location = entry.readLocation(firstLocation);
        if (location != 0) {
            const auto [it, first] = seen.emplace(location, record.line);
            if (!first)
                entry.refuse("Location", base::Tr("Location %1 已在第 %2 行出现", location + firstLocation - 1, it->second));
        }
        entry.enter(location != 0 ? location : 1);
        if (!entry.problems.empty()) {
            for (auto& m : entry.problems)
                result.problems.push_back({record.line, m.column, std::move(m.text)});
            result.skipped.push_back(record.line);
            continue;
        }
        for (auto& m : entry.warnings)
            result.warnings.push_back({record.line, m.column, std::move(m.text)});
        // What the row does not give stays as the channel had it; a new channel keeps the
        // defaults its typed frequency brought.
        for (int c = image::kColRxFreq; c <= image::kColName; ++c)
            work.grid(band).at(location, c) = (entry.keeps(c) ? current : scratch).grid(band).at(location, c);
        result.imported.push_back(location);
    }
    // A file without a Power column (the CHIRP Debian 12 ships writes none) or without Mode
    // is told once, before the rows' warnings: every channel it lists keeps what it had.
    struct Absent {
        const char *column, *said;
    };
    std::vector<CsvProblem> once;
    for (const Absent& a : {Absent{"Power", "文件没有 Power 列: 每个信道保留原有的功率, 新信道为 高"},
                            Absent{"Mode", "文件没有 Mode 列: 每个信道保留原有的宽窄带, 新信道为 宽带"}})
        if (!columns.has(a.column) && !result.imported.empty()) once.push_back({header.line, a.column, base::Tr(a.said)});
    result.warnings.insert(result.warnings.begin(), once.begin(), once.end());
    if (result.problems.empty() || skipBad) {
        result.state = std::move(work);
        result.applied = true;
    }
    return result;
}

namespace {

// A cell as the radio and the operator see it: a tone cell that is empty or of three
// characters ("OFF" as read, "0FF" as chosen) is no tone.
std::string asSeen(int column, const std::string& cell) {
    const bool tone = column == image::kColRxTone || column == image::kColTxTone;
    return tone && (cell.empty() || cell.size() == 3) ? "0FF" : cell;
}

// A cell of a channel as a message names it: its heading and the item, as the grid shows them.
std::string cellSaid(int column, const std::string& cell) {
    return std::string(base::Tr(image::kGridHeadings[static_cast<std::size_t>(column)])) + " " + base::Tr(cell);
}

std::string channelList(const std::vector<int>& channels, const std::string& separator) {
    std::string list;
    for (int c : channels) list += (list.empty() ? "" : separator) + std::to_string(c);
    return list;
}

}  // namespace

CsvExport ExportCsv(const EditorState& state, Band band) {
    CsvExport out;
    out.text = std::string(kChirpHeader) + "\r\n";
    const image::Grid& grid = state.grid(band);
    std::map<int, int> lineToChannel;
    std::vector<int> lowPower;
    int line = 2;
    for (int r = 1; r <= image::kChannels; ++r) {
        const std::string& rxCell = grid.at(r, image::kColRxFreq);
        const std::string& txCell = grid.at(r, image::kColTxFreq);
        if (rxCell.empty()) {
            if (!txCell.empty()) out.warnings.push_back({base::Tr("信道 %1: 只有发射频率没有接收频率, CSV 没有这样的行; 未导出", r)});
            continue;
        }
        auto units = [](const std::string& cell) -> std::optional<std::int64_t> {
            const auto u = base::ScaledDecimal(cell);
            if (!u || *u > 0xFFFFFFFELL) return std::nullopt;
            return u;
        };
        const auto rx = units(rxCell);
        const auto tx = txCell.empty() ? std::optional<std::int64_t>() : units(txCell);
        const auto rxTone = toneOfCell(grid.at(r, image::kColRxTone));
        // A transmit tone without a transmit frequency (a radio's memory can hold one) is
        // written on its row with Duplex off: an import back into this codeplug keeps it.
        auto txTone = toneOfCell(grid.at(r, image::kColTxTone));
        if (txCell.empty() && !txTone) txTone = Tone{};
        if (!rx || (!txCell.empty() && !tx)) {
            out.warnings.push_back({base::Tr("信道 %1: 频率 %2 不是数; 未导出", r, quoted(rx ? txCell : rxCell))});
            continue;
        }
        if (!rxTone || !txTone) {
            const std::string tone = quoted(rxTone ? grid.at(r, image::kColTxTone) : grid.at(r, image::kColRxTone));
            out.warnings.push_back({base::Tr("信道 %1: 亚音 %2 不是亚音; 未导出", r, tone)});
            continue;
        }

        // Plain values from here: g++ 12 at -O2 cannot see through the optionals.
        const bool hasTx = tx.has_value();
        const std::int64_t txUnits = tx.value_or(0), rxUnits = *rx;
        std::string duplex = "off", offset = csvMHz(0);
        if (hasTx && txUnits == rxUnits) {
            duplex = "";
        } else if (hasTx && rangeOf(txUnits) != 0 && rangeOf(txUnits) == rangeOf(rxUnits)) {
            duplex = txUnits > rxUnits ? "+" : "-";
            offset = csvMHz(txUnits > rxUnits ? txUnits - rxUnits : rxUnits - txUnits);
        } else if (hasTx) {
            duplex = "split";
            offset = csvMHz(txUnits);
        }

        std::string mode, rTone = "88.5", cTone = "88.5", dtcs = "023", rxDtcs = "023", cross = "Tone->Tone";
        char txPolarity = 'N', rxPolarity = 'N';
        const Tone& t = *txTone;
        const Tone& x = *rxTone;
        if (t.kind == Tone::None && x.kind == Tone::None) {
            mode = "";
        } else if (t.kind == Tone::Ctcss && x.kind == Tone::None) {
            mode = "Tone";
            rTone = withDecimals(t.tenths, 1);
        } else if (t.kind == Tone::Ctcss && t == x) {
            mode = "TSQL";
            cTone = withDecimals(t.tenths, 1);
        } else if (t.kind == Tone::Dcs && x.kind == Tone::Dcs && t.code == x.code) {
            mode = "DTCS";
            dtcs = t.code;
            txPolarity = t.polarity;
            rxPolarity = x.polarity;
        } else {
            mode = "Cross";
            cross.clear();
            if (t.kind == Tone::Ctcss) {
                cross = "Tone";
                rTone = withDecimals(t.tenths, 1);
            } else if (t.kind == Tone::Dcs) {
                cross = "DTCS";
                dtcs = t.code;
                txPolarity = t.polarity;
            }
            cross += "->";
            if (x.kind == Tone::Ctcss) {
                cross += "Tone";
                cTone = withDecimals(x.tenths, 1);
            } else if (x.kind == Tone::Dcs) {
                cross += "DTCS";
                rxDtcs = x.code;
                rxPolarity = x.polarity;
            }
            // A CHIRP that knows no CrossMode reads every Cross row as Tone->Tone: right only
            // for a CTCSS tone each way (the transmit one only matters with a transmit
            // frequency).
            if ((hasTx && t.kind != Tone::Ctcss) || x.kind != Tone::Ctcss) {
                out.olderChirp.push_back(
                    {hasTx ? base::Tr("信道 %1: Cross %2 会被没有 CrossMode 和 RxDtcsCode 列的 CHIRP 读作 Tone->Tone, 发射 %3 Hz, "
                                      "接收 %4 Hz",
                                      r, cross, rTone, cTone)
                           : base::Tr("信道 %1: Cross %2 会被没有 CrossMode 和 RxDtcsCode 列的 CHIRP 读作 Tone->Tone, 接收 %3 Hz",
                                      r, cross, cTone)});
            }
        }
        // A channel whose options a radio left unset (option byte 0xFF, the cells empty; a
        // text off the lists encodes so too) gets empty Mode and Power, which an import back
        // leaves as they are.
        const std::string& bandwidth = grid.at(r, image::kColBandwidth);
        const std::string& powerCell = grid.at(r, image::kColPower);
        const std::string fm = bandwidth == "窄带" ? "NFM" : bandwidth == "宽带" ? "FM" : "";  // not a text: the cells stored
        const std::string power = powerCell == "低" ? kLowWatts : powerCell == "高" ? kHighWattsText : "";  // not a text: the cells stored
        if (powerCell == "低") lowPower.push_back(r);  // not a text: the cell stored
        if (fm.empty() || power.empty()) {
            const char* unset =
                power.empty() && fm.empty()
                    ? "信道 %1: 功率, 宽窄带 未设置: Power and Mode 写为空, CHIRP 可能拒绝或当作其默认值 (导入回本码表时仍为未设置)"
                : power.empty()
                    ? "信道 %1: 功率 未设置: Power 写为空, CHIRP 可能拒绝或当作其默认值 (导入回本码表时仍为未设置)"
                    : "信道 %1: 宽窄带 未设置: Mode 写为空, CHIRP 可能拒绝或当作其默认值 (导入回本码表时仍为未设置)";
            out.warnings.push_back({base::Tr(unset, r)});
        }
        std::string items;
        for (int c : kNoColumn) {
            const std::string& cell = grid.at(r, c);
            if (cell.empty() || cell == "关") continue;  // not a text: the cell stored
            items += (items.empty() ? "" : base::Tr("、")) + cellSaid(c, cell);
        }
        if (!items.empty()) out.notCarried.push_back({base::Tr("信道 %1: %2 在 CSV 中没有列: 只有导入回本码表时保留", r, items)});

        const std::vector<std::string> fields = {std::to_string(r), grid.at(r, image::kColName), csvMHz(*rx), duplex,
                                                 offset, mode, rTone, cTone, dtcs,
                                                 std::string{txPolarity, rxPolarity}, rxDtcs, cross, fm, "5.00", "",
                                                 power, "", "", "", "", ""};
        std::string row;
        for (std::size_t i = 0; i < fields.size(); ++i) row += (i ? "," : "") + CsvField(fields[i]);
        lineToChannel[line] = r;
        line += 1 + lineBreaks(row);
        out.text += row + "\r\n";
        ++out.written;
    }
    if (!lowPower.empty())
        out.olderChirp.push_back(
            {base::Tr("信道 %1: 功率 低 会被没有 Power 列的 CHIRP 读作其默认功率", channelList(lowPower, base::Tr("、")))});

    // What import would make of the file, into this codeplug: a channel that would not come
    // back as it is, is named now.
    const CsvImport back = ImportCsv(out.text, state, band, true);
    std::set<int> told;
    auto tell = [&](const CsvProblem& p, const char* onChannel, const char* onLine) {
        const auto it = lineToChannel.find(p.line);
        const bool known = it != lineToChannel.end();
        if (known) told.insert(it->second);
        out.warnings.push_back({known ? base::Tr(onChannel, it->second, p.message) : base::Tr(onLine, p.text(), p.message)});
    };
    for (const auto& p : back.problems) tell(p, "信道 %1 无法导入回来: %2", "%1 无法导入回来: %2");
    for (const auto& p : back.warnings) tell(p, "信道 %1 导入回来会改变: %2", "%1 导入回来会改变: %2");
    for (const auto& written : lineToChannel) {
        const int r = written.second;
        if (told.count(r)) continue;
        std::string items;
        for (int c = image::kColRxFreq; c <= image::kColName; ++c) {
            const std::string& was = grid.at(r, c);
            const std::string& comes = back.state.grid(band).at(r, c);
            if (asSeen(c, was) == asSeen(c, comes)) continue;
            items += std::string(items.empty() ? "" : base::Tr("、")) + base::Tr(image::kGridHeadings[static_cast<std::size_t>(c)]) + " " +
                     quoted(was) + " -> " + quoted(comes);
        }
        if (!items.empty()) out.warnings.push_back({base::Tr("信道 %1 导入回来会改变: %2", r, items)});
    }
    return out;
}

}  // namespace exchange
