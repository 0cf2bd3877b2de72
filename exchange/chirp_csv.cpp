#include "exchange/chirp_csv.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>

#include "image/code_tables.h"
#include "image/frequency.h"
#include "image/grid_editing.h"

namespace exchange {
namespace {

using image::Band;
using image::EditorState;

constexpr int kUnitsPerMHz = 100000;  // the radio counts 10 Hz units
constexpr std::size_t kNameChars = 7;

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

std::string trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string quoted(std::string_view s) { return "'" + std::string(s) + "'"; }

bool inBands(std::int64_t units, int low, int high) { return units >= low * kUnitsPerMHz && units <= high * kUnitsPerMHz; }
int rangeOf(std::int64_t units) {
    if (inBands(units, image::kVhfLowMHz, image::kVhfHighMHz)) return 1;
    if (inBands(units, image::kUhfLowMHz, image::kUhfHighMHz)) return 2;
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

std::string csvField(std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(s);
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

struct Record {
    int line;
    std::vector<std::string> fields;
};

struct Parsed {
    std::vector<Record> records;
    std::optional<CsvProblem> fault;
};

// Records with the line each starts on; lines holding only empty fields are dropped.
Parsed parseCsv(std::string_view text) {
    Parsed parsed;
    int line = 1;
    Record record{1, {}};
    std::string field;
    bool inQuotes = false;
    auto endRecord = [&] {
        record.fields.push_back(std::move(field));
        field.clear();
        const bool blank = std::all_of(record.fields.begin(), record.fields.end(),
                                       [](const std::string& f) { return trim(f).empty(); });
        if (!blank) parsed.records.push_back(std::move(record));
        record = Record{line, {}};
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const bool lineEnd = c == '\r' || c == '\n';
        const std::size_t endLength = c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                i += 2;
            } else if (c == '"') {
                inQuotes = false;
                ++i;
            } else {
                if (lineEnd) ++line;
                field.append(text.substr(i, lineEnd ? endLength : 1));
                i += lineEnd ? endLength : 1;
            }
            continue;
        }
        if (c == '"' && trim(field).empty()) {
            field.clear();
            inQuotes = true;
            ++i;
        } else if (c == ',') {
            record.fields.push_back(std::move(field));
            field.clear();
            ++i;
        } else if (lineEnd) {
            ++line;
            i += endLength;
            endRecord();
        } else {
            field += c;
            ++i;
        }
    }
    if (inQuotes) {
        parsed.fault = CsvProblem{record.line, "a quoted field that starts in this row is never closed"};
        return parsed;
    }
    endRecord();
    return parsed;
}

// ---------------------------------------------------------------- one row of the import

struct Columns {
    std::map<std::string, std::size_t> index;  // lower-case header name -> field
    bool has(const char* name) const { return index.count(lower(name)) != 0; }
};

class RowEntry {
public:
    RowEntry(EditorState& scratch, Band band, const Columns& columns, const Record& record)
        : scratch_(scratch), band_(band), columns_(columns), record_(record) {}

    std::vector<std::string> problems;
    std::vector<std::string> warnings;
    int location = 0;

    // Enters the row into `row` of the scratch state (any row when the Location is bad).
    void enter(int row);
    // Location, or 0 after a problem.
    int readLocation();

private:
    std::string raw(const char* name) const {
        const auto it = columns_.index.find(lower(name));
        if (it == columns_.index.end() || it->second >= record_.fields.size()) return "";
        return record_.fields[it->second];
    }
    std::string get(const char* name) const { return trim(raw(name)); }

    std::optional<std::int64_t> frequency(const char* column, const std::string& text);
    bool commit(int column, std::int64_t units, const std::string& what);
    void choose(int column, const std::string& item);
    std::optional<std::string> ctcss(const char* column);
    std::optional<std::string> dcs(const char* column, char polarity);
    void tones(bool hasTransmit);

    EditorState& scratch_;
    Band band_;
    const Columns& columns_;
    const Record& record_;
    int row_ = 1;
};

int RowEntry::readLocation() {
    const std::string text = get("Location");
    bool digits = !text.empty() && text.size() <= 4;
    for (char c : text) digits = digits && c >= '0' && c <= '9';
    const int value = digits ? std::stoi(text) : 0;
    if (value < 1 || value > image::kChannels) {
        problems.push_back("Location " + quoted(text) + " is no channel number 1..128");
        return 0;
    }
    return location = value;
}

std::optional<std::int64_t> RowEntry::frequency(const char* column, const std::string& text) {
    if (text.empty()) {
        problems.push_back(std::string(column) + " is empty");
        return std::nullopt;
    }
    bool tooFine = false;
    const auto units = fixedPoint(text, 5, &tooFine);
    if (!units)
        problems.push_back(std::string(column) + " " + text + (tooFine ? " is finer than the radio's 10 Hz" : " is no number of MHz"));
    return units;
}

// A frequency typed into its editor; a refusal, or a raster that would move it, is a problem.
bool RowEntry::commit(int column, std::int64_t units, const std::string& what) {
    const std::string text = editorMHz(units);
    image::SelectCell(scratch_, band_, column, row_);
    const image::Message message = image::CommitFrequency(scratch_, band_, text);
    if (!message.empty()) {
        problems.push_back(what + " " + csvMHz(units) + ": " + trim(message));
        return false;
    }
    const std::string& stored = scratch_.grid(band_).at(row_, column);
    if (stored != text) {
        problems.push_back(what + " " + csvMHz(units) + " is off the 2.5/6.25 kHz channel raster (the editor would make it " +
                           stored + ")");
        return false;
    }
    return true;
}

void RowEntry::choose(int column, const std::string& item) {
    const image::CellEditor editor = image::SelectCell(scratch_, band_, column, row_);
    if (editor.kind == image::EditorKind::List) image::ChooseItem(scratch_, band_, item);
}

std::optional<std::string> RowEntry::ctcss(const char* column) {
    const std::string text = get(column);
    const auto tenths = fixedPoint(text, 1);
    const std::string item = tenths ? ctcssText(static_cast<int>(*tenths)) : "";
    const int index = tenths ? image::IndexOf(image::ToneList(image::ToneSpelling::Grid), item) : -1;
    if (index < 1 || index > 39) {
        problems.push_back(std::string(column) + " " + quoted(text) + " is not in this radio's tone list");
        return std::nullopt;
    }
    return item;
}

std::optional<std::string> RowEntry::dcs(const char* column, char polarity) {
    std::string code = get(column);
    bool octal = !code.empty() && code.size() <= 3;
    for (char c : code) octal = octal && c >= '0' && c <= '7';
    if (octal) code.insert(0, 3 - code.size(), '0');
    const std::string item = octal ? dcsText(code, polarity) : "";
    if (!octal || image::IndexOf(image::ToneList(image::ToneSpelling::Grid), item) < 0) {
        problems.push_back(std::string(column) + " " + quoted(get(column)) + " is not in this radio's DCS list");
        return std::nullopt;
    }
    return item;
}

void RowEntry::tones(bool hasTransmit) {
    const std::string mode = lower(get("Tone"));
    if (mode.empty()) return;
    std::string transmitPart, receivePart;  // "", "tone" or "dtcs"
    if (mode == "tone") {
        transmitPart = "tone";
    } else if (mode == "tsql") {
        transmitPart = receivePart = "tsql";
    } else if (mode == "dtcs") {
        transmitPart = receivePart = "dtcs";
    } else if (mode == "cross") {
        std::string cross = get("CrossMode");
        if (cross.empty()) cross = "Tone->Tone";  // CHIRP's own default
        const auto arrow = cross.find("->");
        const std::string tx = arrow == std::string::npos ? "?" : lower(trim(cross.substr(0, arrow)));
        const std::string rx = arrow == std::string::npos ? "?" : lower(trim(cross.substr(arrow + 2)));
        auto part = [](const std::string& p) { return p.empty() || p == "tone" || p == "dtcs"; };
        if (!part(tx) || !part(rx) || (tx.empty() && rx.empty())) {
            problems.push_back("CrossMode " + quoted(cross) + " is none of Tone->Tone, Tone->DTCS, DTCS->Tone, DTCS->DTCS, "
                               "->Tone, ->DTCS, Tone->, DTCS->");
            return;
        }
        transmitPart = tx;
        receivePart = rx == "tone" ? "ctone" : rx == "dtcs" ? "rxdtcs" : "";
    } else {
        problems.push_back("Tone " + quoted(get("Tone")) + " is a mode this radio lacks (it has \"\", Tone, TSQL, DTCS, Cross)");
        return;
    }

    std::string polarity = get("DtcsPolarity");
    for (char& c : polarity)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (polarity.empty()) polarity = "NN";
    const bool usesDcs = transmitPart == "dtcs" || receivePart == "dtcs" || receivePart == "rxdtcs";
    if (usesDcs && (polarity.size() != 2 || (polarity[0] != 'N' && polarity[0] != 'R') ||
                    (polarity[1] != 'N' && polarity[1] != 'R'))) {
        problems.push_back("DtcsPolarity " + quoted(get("DtcsPolarity")) + " is not two letters N or R");
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
        else
            warnings.push_back("the transmit tone " + *transmit + " is left out: Duplex off has no transmit frequency");
    }
    if (receive) choose(image::kColRxTone, *receive);
}

void RowEntry::enter(int row) {
    row_ = row;
    image::Grid& grid = scratch_.grid(band_);
    for (int c = image::kColRxFreq; c <= image::kColName; ++c) grid.at(row, c).clear();

    const std::string rxText = get("Frequency");
    const auto rx = frequency("Frequency", rxText);
    const bool rxOk = rx && commit(image::kColRxFreq, *rx, "Frequency");

    const std::string duplex = lower(get("Duplex"));
    const std::string offsetText = get("Offset");
    std::optional<std::int64_t> tx;
    if (duplex.empty()) {
        tx = rx;
    } else if (duplex == "+" || duplex == "-") {
        const auto offset = frequency("Offset", offsetText);
        if (rx && offset) {
            tx = duplex == "+" ? *rx + *offset : *rx - *offset;
            if (*tx < 0) {
                problems.push_back("Duplex - with Offset " + offsetText + " goes below 0 MHz");
                tx.reset();
            }
        }
    } else if (duplex == "split") {
        tx = frequency("Offset", offsetText);
    } else if (duplex != "off") {
        problems.push_back("Duplex " + quoted(get("Duplex")) + " is none of \"\", +, -, split, off");
    }
    bool txOk = false;
    if (tx && (rxOk || duplex == "split")) {
        const std::string what = duplex.empty() ? "transmit frequency" : "transmit frequency (Duplex " + get("Duplex") + ")";
        txOk = commit(image::kColTxFreq, *tx, what);
    }

    tones(txOk);

    const std::string mode = lower(get("Mode"));
    if (mode == "fm")
        choose(image::kColBandwidth, "宽带");
    else if (mode == "nfm")
        choose(image::kColBandwidth, "窄带");
    else if (!mode.empty())
        problems.push_back("Mode " + quoted(get("Mode")) + ": this radio has FM and NFM only");

    const std::string power = lower(get("Power"));
    if (power == "high")
        choose(image::kColPower, "高");
    else if (power == "low")
        choose(image::kColPower, "低");
    else if (!power.empty())
        problems.push_back("Power " + quoted(get("Power")) + ": this radio has High and Low only");

    // The name as the name editor would take it, key by key.
    const std::string name = raw("Name");
    const bool ascii = std::all_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) >= 32 && static_cast<unsigned char>(c) <= 126;
    });
    if (!ascii) {
        problems.push_back("Name " + quoted(name) + " is not printable ASCII");
    } else if (name.size() > kNameChars) {
        problems.push_back("Name " + quoted(name) + " is longer than 7 characters");
    } else {
        for (std::size_t i = 0; i < name.size(); ++i) {
            if (image::NameKey(std::string_view(name).substr(0, i), name[i]) != image::KeyAction::Accept) {
                problems.push_back("Name " + quoted(name) + " has a character the name editor refuses (" +
                                   quoted(name.substr(i, 1)) + ")");
                break;
            }
        }
        if (!name.empty() && image::SelectCell(scratch_, band_, image::kColName, row_).kind == image::EditorKind::NameEdit)
            image::CommitName(scratch_, band_, name);
    }
}

}  // namespace

std::string CsvProblem::text() const { return "line " + std::to_string(line) + ": " + message; }

CsvImport ImportCsv(std::string_view bytes, const EditorState& current, Band band, bool skipBad) {
    CsvImport result;
    result.state = current;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    Parsed parsed = parseCsv(bytes);
    auto fatal = [&](CsvProblem p) {
        result.problems.push_back(std::move(p));
        result.fatal = true;
        return result;
    };
    if (parsed.fault) return fatal(*parsed.fault);
    if (parsed.records.empty()) return fatal({1, "the file holds no header line"});

    const Record& header = parsed.records.front();
    Columns columns;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = lower(trim(header.fields[i]));
        if (name.empty()) continue;
        if (!columns.index.emplace(name, i).second)
            return fatal({header.line, "the header names the column " + trim(header.fields[i]) + " twice"});
    }
    for (const char* needed : {"Location", "Frequency"})
        if (!columns.has(needed))
            return fatal({header.line, std::string("the header has no ") + needed + " column (it needs Location and Frequency)"});

    EditorState scratch = current;
    EditorState work = current;
    std::map<int, int> seen;  // location -> line it was first given on
    for (std::size_t r = 1; r < parsed.records.size(); ++r) {
        const Record& record = parsed.records[r];
        RowEntry entry(scratch, band, columns, record);
        if (record.fields.size() > header.fields.size() &&
            std::any_of(record.fields.begin() + static_cast<std::ptrdiff_t>(header.fields.size()), record.fields.end(),
                        [](const std::string& f) { return !trim(f).empty(); }))
            entry.problems.push_back("the row has " + std::to_string(record.fields.size()) + " fields, the header " +
                                     std::to_string(header.fields.size()));
        const int location = entry.readLocation();
        if (location != 0) {
            const auto [it, first] = seen.emplace(location, record.line);
            if (!first)
                entry.problems.push_back("Location " + std::to_string(location) + " was already given on line " +
                                         std::to_string(it->second));
        }
        entry.enter(location != 0 ? location : 1);
        if (!entry.problems.empty()) {
            for (auto& m : entry.problems) result.problems.push_back({record.line, std::move(m)});
            result.skipped.push_back(record.line);
            continue;
        }
        for (auto& m : entry.warnings) result.warnings.push_back({record.line, std::move(m)});
        for (int c = image::kColRxFreq; c <= image::kColName; ++c)
            work.grid(band).at(location, c) = scratch.grid(band).at(location, c);
        result.imported.push_back(location);
    }
    if (result.problems.empty() || skipBad) {
        result.state = std::move(work);
        result.applied = true;
    }
    return result;
}

CsvExport ExportCsv(const EditorState& state, Band band) {
    CsvExport out;
    out.text = std::string(kChirpHeader) + "\r\n";
    const image::Grid& grid = state.grid(band);
    std::map<int, int> lineToChannel;
    int line = 2;
    for (int r = 1; r <= image::kChannels; ++r) {
        const std::string& rxCell = grid.at(r, image::kColRxFreq);
        const std::string& txCell = grid.at(r, image::kColTxFreq);
        const std::string channel = "channel " + std::to_string(r) + ": ";
        if (rxCell.empty()) {
            if (!txCell.empty())
                out.warnings.push_back(channel + "a transmit frequency without a receive frequency has no CSV row; left out");
            continue;
        }
        auto units = [](const std::string& cell) -> std::optional<std::int64_t> {
            const auto u = image::ScaledDecimal(cell);
            if (!u || *u > 0xFFFFFFFELL) return std::nullopt;
            return u;
        };
        const auto rx = units(rxCell);
        const auto tx = txCell.empty() ? std::optional<std::int64_t>() : units(txCell);
        const auto rxTone = toneOfCell(grid.at(r, image::kColRxTone));
        const auto txTone = txCell.empty() ? std::optional<Tone>(Tone{}) : toneOfCell(grid.at(r, image::kColTxTone));
        if (!rx || (!txCell.empty() && !tx)) {
            out.warnings.push_back(channel + "the frequency " + quoted(rx ? txCell : rxCell) + " is no number; left out");
            continue;
        }
        if (!rxTone || !txTone) {
            out.warnings.push_back(channel + "the tone " +
                                   quoted(rxTone ? grid.at(r, image::kColTxTone) : grid.at(r, image::kColRxTone)) +
                                   " is no tone; left out");
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
        }
        const std::string fm = grid.at(r, image::kColBandwidth) == "窄带" ? "NFM" : "FM";
        const std::string power = grid.at(r, image::kColPower) == "低" ? "Low" : "High";

        const std::vector<std::string> fields = {std::to_string(r), grid.at(r, image::kColName), csvMHz(*rx), duplex,
                                                 offset, mode, rTone, cTone, dtcs,
                                                 std::string{txPolarity, rxPolarity}, rxDtcs, cross, fm, "5.00", "",
                                                 power, "", "", "", "", ""};
        std::string row;
        for (std::size_t i = 0; i < fields.size(); ++i) row += (i ? "," : "") + csvField(fields[i]);
        lineToChannel[line] = r;
        line += 1 + lineBreaks(row);
        out.text += row + "\r\n";
        ++out.written;
    }

    // What import would make of the file: a channel that cannot come back is named now.
    const CsvImport back = ImportCsv(out.text, state, band);
    for (const auto& p : back.problems) {
        const auto it = lineToChannel.find(p.line);
        out.warnings.push_back((it == lineToChannel.end() ? p.text() : "channel " + std::to_string(it->second)) +
                               " will not import back: " + p.message);
    }
    return out;
}

}  // namespace exchange
