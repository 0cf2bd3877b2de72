// CSV text as this program reads and writes it, for every CSV file it takes or gives (the
// channel exchange, the fleet's radio list and log): records with the line each starts on,
// quoted fields that may hold the separator, quotes and line breaks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exchange {

struct CsvProblem {
    int line;            // where the row starts in the file, from 1
    std::string column;  // the column at fault, "" for the row or file as a whole
    std::string message;  // in the chosen language, starting with the column's name where there is one
    std::string text() const;  // "第 7 行: <message>"
};

struct CsvRecord {
    int line;  // where the record starts, from 1
    std::vector<std::string> fields;
};

struct CsvRecords {
    std::vector<CsvRecord> records;
    std::optional<CsvProblem> fault;  // a quoted field never closed
};

// Records with the line each starts on; lines holding only empty fields and lines that begin
// with "#" (outside quotes) are dropped.
CsvRecords ParseCsvRecords(std::string_view text, char separator = ',');

// A field as a CSV line carries it: quoted when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view s);

// A field without the spaces and tabs around it, as a cell is read.
std::string TrimField(std::string_view s);
// ASCII letters in lower case: column names and codes compare without case.
std::string LowerAscii(std::string s);

}  // namespace exchange
