// The channels of one band as a CHIRP-style CSV file, the interchange format of the field:
// what RepeaterBook and most programming tools read and write.
//
// Columns: Location (channel 1..128), Name (up to 7 GBK bytes), Frequency
// (receive, MHz with six decimals), Duplex and Offset ("" transmit = receive; "+"/"-" with
// the offset; "split" with Offset = the transmit frequency; "off" no transmit frequency),
// Tone with rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode and CrossMode, Mode
// ("FM" = 宽带, "NFM" = 窄带, empty = not set), Power in watts ("5.0W" = 高, "1.0W" = 低, empty =
// not set). TStep, Skip, Comment, URCALL,
// RPT1CALL, RPT2CALL and DVCODE are columns this radio has no use for: written as "5.00" and
// empty texts, never read.
//
// Tone columns per mode (transmit tone T, receive tone R):
//   ""      none                      "Tone"  T = rToneFreq
//   "TSQL"  T = R = cToneFreq         "DTCS"  T = R = DtcsCode, DtcsPolarity
//   "Cross" by CrossMode: transmit part "Tone" = rToneFreq, "DTCS" = DtcsCode; receive part
//           "Tone" = cToneFreq, "DTCS" = RxDtcsCode ("Tone->Tone", "DTCS->", "->DTCS", ...)
// DtcsPolarity is two letters, transmit then receive: N is "D...N", R is "D...I". A column the
// mode does not use holds CHIRP's placeholder (88.5, 023, NN, Tone->Tone) and is never read.
//
// The CHIRP Debian 12 ships (a 2022 version) writes no Power, CrossMode or RxDtcsCode column
// and reads every Cross row as Tone->Tone from rToneFreq and cToneFreq.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "image/editor_state.h"
#include "base/outcome.h"
#include "exchange/csv_text.h"

namespace exchange {

// 128 channels take about 20 KB; a CSV file larger than this is refused unread.
inline constexpr std::size_t kMaxCsvBytes = 4 << 20;

inline constexpr const char* kChirpHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
    "CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE";

// A note of the export, in the chosen language.
struct CsvNote {
    std::string text;
};

struct CsvExport {
    std::string text;  // UTF-8 without BOM, CRLF after every line, the header first
    // Channels written. 0: the band has nothing to export, and `text` is the header alone,
    // which CHIRP refuses: no caller writes it.
    int written = 0;
    // A channel with a transmit but no receive frequency (a CSV row needs a Frequency), or
    // with a cell that is no frequency or tone, is left out; a channel written that would not
    // import back into this codeplug exactly as it is (a tone off this radio's lists, a name
    // a codeplug file cannot carry, a frequency off the raster) is named with what would
    // differ; so is a channel whose power or bandwidth is not set (written empty). One line
    // each: "channel 7: ...".
    std::vector<CsvNote> warnings;
    // What a CHIRP without the CrossMode, RxDtcsCode and Power columns would read otherwise:
    // each Cross row but Tone->Tone ("channel 7: Cross DTCS-> is read ... as Tone->Tone, ..."),
    // and the channels at 低, in one line ("channels 3, 9: 功率 低 is read ...").
    std::vector<CsvNote> olderChirp;
    // The channels holding a value CSV has no column for (receive mode, signalling, compander,
    // scrambler other than 关): "channel 7: 接收模式 QT/DQT, 压扩 开 have no CSV column". An import
    // back into this codeplug keeps them; into another, those channels get 关.
    std::vector<CsvNote> notCarried;
};

// Every channel of the band with a receive frequency, in channel order.
CsvExport ExportCsv(const image::EditorState& state, image::Band band);

// How an import went. A fault of the file as a whole (no header with Location and Frequency,
// a quoted field never closed) is the error (BadData, its text as CsvProblem::text gives it),
// and it is listed among the problems as well; bad rows are no error, only problems.
struct CsvImport : base::Outcome<> {
    // The state with the rows applied, or the state given when nothing was applied.
    image::EditorState state;
    // Every bad row, each problem of it on its own, and the fault of the file as a whole.
    std::vector<CsvProblem> problems;
    // Values the radio cannot hold that were left out of a good row (a tone on a row with
    // Duplex "off").
    std::vector<CsvProblem> warnings;
    std::vector<int> imported;  // locations written, in file order
    std::vector<int> skipped;   // lines of the bad rows
    bool applied = false;  // state differs from the one given only when this is true
};

// Reads a CHIRP-style CSV: any subset of the columns (Location and Frequency needed) in any
// order, header names in any letter case, extra columns ignored; fields separated by ",", ";"
// or tab (the one that splits the header into Location and Frequency); a UTF-8 BOM, quoted
// fields with doubled quotes and line breaks inside, CRLF, LF or CR line ends; blank lines and
// lines that begin with "#" are skipped. The first other line is the header.
//
// Location `firstLocation` is channel 1, the next channel 2 and so on (1 by default; 0 for a
// file from a radio that counts from 0).
//
// Each row is entered as the grid editors would enter it, on a scratch copy: the row's cells
// are emptied, the receive frequency is committed through the frequency editor (band edges
// 136-176 and 400-490 MHz, and its defaults 0FF, 关, 高, 宽带, 关, 关), then the transmit
// frequency (defaults 0FF, 关, 关), then the tones, bandwidth, power and name are chosen from
// the editors' lists. A channel that had a receive frequency keeps its receive mode,
// compander and scrambler, which CSV has no column for, and one that had a transmit frequency
// (or had none and gets none) keeps its signalling; a new channel gets the defaults above.
//
// Power: "High", "H", "Low", "L" in any letter case, or watts as CHIRP writes them ("5.0W",
// "50W"): at least 2.5 W is 高, less is 低. Mode FM is 宽带, NFM 窄带. An empty Power or Mode,
// or a file without the column, keeps the channel's power or bandwidth (a new channel: 高,
// 宽带); a missing column is told once, as a warning on the header's line.
// A name longer than 7 GBK bytes is cut at a character boundary, with a warning. A character
// a codeplug file cannot carry (",", a quote, a line break, a leading "~") becomes a space,
// with a warning, as the file's writer makes it.
// A transmit tone on a row with Duplex off is left out with a warning, unless the channel has
// no transmit frequency and that transmit tone already (as read from a radio): it stays.
//
// A frequency that the editor's channel raster (2.5 or 6.25 kHz) would move is a problem, not
// moved: a repeater's frequency must be exact. So are a frequency finer than 10 Hz, a tone or
// DCS code the lists lack, a tone mode the radio lacks (TSQL-R, DTCS-R), a name with another
// character the name editor refuses, a Location off the 128 channels or given twice, and a
// Mode or Power this radio lacks. A Cross row in a file without a CrossMode column, or with
// it empty, is a problem: which tones are sent and received is not in the file (its unused
// columns hold placeholders that look like tones). Every problem names its line and column;
// a transmit frequency made of Frequency, Duplex and Offset names all three.
//
// Only the locations the file lists are changed; every other channel stays as it was. A file
// with any problem changes nothing, unless skipBad is set: then the good rows are applied and
// the bad ones are listed in `skipped`. A fatal fault never applies anything.
CsvImport ImportCsv(std::string_view bytes, const image::EditorState& current, image::Band band, bool skipBad = false,
                    int firstLocation = 1);

}  // namespace exchange
