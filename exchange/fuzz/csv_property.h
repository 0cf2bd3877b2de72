// What must hold for any bytes imported as CSV: a import that applies nothing leaves the
// state as it was, and the channels of an applied one export and import back unchanged.
#pragma once

#include <string>
#include <string_view>

#include "codeplug/fuzz/open_property.h"
#include "exchange/chirp_csv.h"

namespace exchange::fuzz {

// The first byte chooses the band and whether bad rows are skipped; the rest is the file.
inline std::string CheckImport(std::string_view bytes) {
    if (bytes.empty()) return {};
    const image::Band band = (bytes[0] & 1) ? image::Band::Upper : image::Band::Lower;
    const bool skipBad = (bytes[0] & 2) != 0;
    const image::EditorState base = codeplug::fuzz::FuzzBase();
    const CsvImport result = ImportCsv(bytes.substr(1), base, band, skipBad);
    if (!result.applied) {
        if (!(result.state == base)) return "an import that applied nothing changed the state";
        return {};
    }
    if (!result.ok()) return "a fatal import was applied";
    const CsvExport out = ExportCsv(result.state, band);
    const CsvImport again = ImportCsv(out.text, result.state, band);
    if (!again.problems.empty()) return "an exported file does not import: " + again.problems.front().text();
    if (!(again.state == result.state)) return "export and import changed the state";
    return {};
}

}  // namespace exchange::fuzz
