#include "exchange/csv_text.h"

#include <algorithm>

#include "base/text.h"

namespace exchange {

std::string TrimField(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

std::string LowerAscii(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string CsvProblem::text() const { return base::Tr("第 %1 行: %2", line, message); }

std::string CsvField(std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(s);
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

CsvRecords ParseCsvRecords(std::string_view text, char separator) {
    CsvRecords parsed;
    int line = 1;
    CsvRecord record{1, {}};
    std::string field;
    bool inQuotes = false;
    auto endRecord = [&] {
        record.fields.push_back(std::move(field));
        field.clear();
        const bool blank = std::all_of(record.fields.begin(), record.fields.end(),
                                       [](const std::string& f) { return TrimField(f).empty(); });
        if (!blank) parsed.records.push_back(std::move(record));
        record = CsvRecord{line, {}};
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
        if (c == '#' && record.fields.empty() && TrimField(field).empty()) {  // a comment line
            std::size_t end = text.find_first_of("\r\n", i);
            if (end == std::string_view::npos) end = text.size();
            i = end;
            field.clear();
        } else if (c == '"' && TrimField(field).empty()) {
            field.clear();
            inQuotes = true;
            ++i;
        } else if (c == separator) {
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
        parsed.fault = CsvProblem{record.line, "", base::Tr("此行开始的引号字段没有结束")};
        return parsed;
    }
    endRecord();
    return parsed;
}

}  // namespace exchange
