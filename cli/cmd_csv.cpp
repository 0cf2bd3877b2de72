// radio-cli export-csv and import-csv: one band's channels as a CHIRP-style CSV file.
#include <cstdio>
#include <optional>

#include "cli/command.h"
#include "cli/files.h"
#include "cli/options.h"
#include "codeplug/codeplug.h"
#include "exchange/chirp_csv.h"
#include "image/channel_codec.h"
#include "base/frequency.h"
#include "base/text.h"
#include "image/code_tables.h"

namespace {

std::optional<image::Band> bandOf(const cli::Options& o) {
    const auto band = o.value("band");
    if (band == "upper") return image::Band::Upper;
    if (band == "lower") return image::Band::Lower;
    return std::nullopt;
}

int runExport(const std::vector<std::string>& args) {
    const char* usage = "usage: radio-cli export-csv FILE.bc --band upper|lower OUT.csv";
    const cli::Options o = cli::ParseOptions(args, {"band"}, {});
    const auto band = bandOf(o);
    if (!o.error.empty() || !band || o.positional.size() != 2) {
        cli::Fail("export-csv", o.error.empty() ? usage : o.error + "; " + usage);
        return cli::kUsage;
    }
    const auto state = cli::OpenCodeplug("export-csv", o.positional[0]);
    if (!state) return cli::kUsage;
    const exchange::CsvExport csv = exchange::ExportCsv(*state, *band);
    const std::string& out = o.positional[1];
    for (const auto& w : csv.warnings) cli::Fail("export-csv", "warning: " + w.text);
    if (csv.written == 0) {
        // A header alone is no file CHIRP takes ("No channels found"): nothing is written.
        cli::Fail("export-csv", std::string(base::Tr(image::ChannelPageCaption(*band))) + " of " + o.positional[0] +
                                    " has no channel with a receive frequency: nothing to export, " +
                                    (out == "-" ? "nothing written" : out + " not written"));
        return cli::kFailed;
    }
    if (out == "-") {
        std::fwrite(csv.text.data(), 1, csv.text.size(), stdout);
    } else {
        if (const auto written = cli::WriteFile(out, csv.text); !written.ok()) {
            cli::Fail("export-csv", written.message());
            return cli::kUsage;
        }
    }
    for (const auto& n : csv.olderChirp) cli::Fail("export-csv", "warning: " + n.text);
    for (const auto& n : csv.notCarried) cli::Fail("export-csv", "not written: " + n.text);
    if (const std::size_t count = csv.warnings.size() + csv.olderChirp.size())
        cli::Fail("export-csv", std::to_string(count) + " warnings");
    if (out != "-")
        std::printf("exported %d channels of %s to %s\n", csv.written, base::Tr(image::ChannelPageCaption(*band)), out.c_str());
    return cli::kOk;
}

int runImport(const std::vector<std::string>& args) {
    const char* usage = "usage: radio-cli import-csv IN.csv --band upper|lower FILE.bc [--first-location N] [--skip-bad]";
    const cli::Options o = cli::ParseOptions(args, {"band", "first-location"}, {"skip-bad"});
    const auto band = bandOf(o);
    int firstLocation = 1;
    if (const auto first = o.value("first-location")) {
        const auto n = base::ParseDecimal(*first);
        if (!n || *n > 100000 || *n != static_cast<long double>(static_cast<int>(*n))) {
            cli::Fail("import-csv", "--first-location " + *first + " is no whole number 0 or more");
            return cli::kUsage;
        }
        firstLocation = static_cast<int>(*n);
    }
    if (!o.error.empty() || !band || o.positional.size() != 2) {
        cli::Fail("import-csv", o.error.empty() ? usage : o.error + "; " + usage);
        return cli::kUsage;
    }
    const std::string& in = o.positional[0];
    const std::string& file = o.positional[1];
    const auto read = cli::ReadFile(in, exchange::kMaxCsvBytes);
    if (!read.ok()) {
        cli::Fail("import-csv", "Cannot open file \"" + in + "\". " + read.message());
        return cli::kUsage;
    }
    const std::string* const bytes = &read.value;
    const auto state = cli::OpenCodeplug("import-csv", file);
    if (!state) return cli::kUsage;

    const bool skipBad = o.has("skip-bad");
    const exchange::CsvImport result = exchange::ImportCsv(*bytes, *state, *band, skipBad, firstLocation);
    const std::string prefix = result.applied ? "skipped " + in + " " : in + " ";
    for (const auto& p : result.problems) cli::Fail("import-csv", prefix + p.text());
    for (const auto& w : result.warnings) cli::Fail("import-csv", "warning: " + in + " " + w.text());
    if (!result.applied) {
        cli::Fail("import-csv", !result.ok() ? "nothing imported"
                                             : "nothing imported: " + std::to_string(result.skipped.size()) +
                                                   " bad rows (import the others with --skip-bad)");
        return cli::kFailed;
    }
    const base::Outcome<> saved = codeplug::SaveFile(file, result.state);
    if (!saved.ok()) {
        cli::Fail("import-csv", saved.error);
        return cli::kUsage;
    }
    for (const auto& c : saved.notes) cli::Fail("import-csv", "warning: " + file + ": " + c);
    std::printf("imported %zu channels into %s of %s", result.imported.size(), base::Tr(image::ChannelPageCaption(*band)),
                file.c_str());
    if (!result.skipped.empty()) std::printf(", skipped %zu bad rows", result.skipped.size());
    std::printf("\n");
    return cli::kOk;
}

// What the CSV help cites, as the grid says it: %1 %2 the channel pages, %3 %4 the bandwidth
// and power headings, %5 %6 high and low power, %7 off, %8 wide.
std::vector<std::string> csvHelpWords() {
    return {base::Tr(image::ChannelPageCaption(image::Band::Upper)), base::Tr(image::ChannelPageCaption(image::Band::Lower)),
            base::Tr(image::kGridHeadings[image::kColBandwidth]), base::Tr(image::kGridHeadings[image::kColPower]),
            base::Tr(image::PowerList()[1]), base::Tr(image::PowerList()[0]), base::Tr(image::OffOnList()[0]),
            base::Tr(image::BandwidthList()[1])};
}

}  // namespace

RADIO_CLI_COMMAND("export-csv", "write one band's channels as a CHIRP-style CSV file", [] {
                  return base::Fill("usage: radio-cli export-csv FILE.bc --band upper|lower OUT.csv\n"
                  "\n"
                  "Writes every channel of the band (upper: %1, lower: %2) that has a\n"
                  "receive frequency, one row each, under the header\n"
                  "  Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,\n"
                  "  DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,\n"
                  "  RPT1CALL,RPT2CALL,DVCODE\n"
                  "in UTF-8 with CRLF line ends. OUT.csv \"-\" writes to standard output.\n"
                  "Duplex: \"\" transmit = receive; + or - with Offset inside one band (136-176 or\n"
                  "400-490 MHz); split with Offset = the transmit frequency across bands; off for\n"
                  "no transmit frequency. Tones: Tone, TSQL, DTCS, or Cross with CrossMode; the\n"
                  "columns a mode does not use hold 88.5, 023, NN. Mode FM/NFM from %3, Power\n"
                  "in watts from %4 (%5 5.0W, %6 1.0W); TStep 5.00 and the other columns empty.\n"
                  "A %4 or %3 not set (as a radio may hold it) leaves Power or Mode empty.\n"
                  "Receive mode, signalling, compander and scrambler have no column: every channel\n"
                  "holding one of them other than %7 is named on stderr (\"not written: ...\").\n"
                  "A channel with a transmit but no receive frequency has no row (a row needs a\n"
                  "Frequency): it is left out with a warning on stderr, and so is a channel with a\n"
                  "cell that is no frequency or tone. A channel that import-csv would not bring\n"
                  "back into this file as it is (a tone off the lists, a frequency off the raster,\n"
                  "a name with , ' or \") is written and named in a warning, and so is every\n"
                  "channel that a CHIRP without the CrossMode, RxDtcsCode and Power columns (as\n"
                  "Debian 12's) reads otherwise: each Cross row but Tone->Tone, and the channels\n"
                  "at %6. The warnings are counted at the end.\n"
                  "Exit status: 0 written; 1 the band has no channel with a receive frequency:\n"
                  "nothing to export, nothing written; 2 bad usage or a file that cannot be read\n"
                  "or written.", csvHelpWords());
                  },
                  runExport)

RADIO_CLI_COMMAND("import-csv", "enter the rows of a CHIRP-style CSV file into one band of a codeplug file", [] {
                  return base::Fill("usage: radio-cli import-csv IN.csv --band upper|lower FILE.bc [--first-location N]\n"
                  "                  [--skip-bad]\n"
                  "\n"
                  "Reads a CHIRP-style CSV (any of its columns in any order, at least Location and\n"
                  "Frequency, others ignored; separated by \",\", \";\" or tab; a UTF-8 BOM, quoted\n"
                  "fields, CRLF or LF; blank lines and lines beginning with # skipped) and enters\n"
                  "each row into its channel as the grid editors would, then saves FILE.bc.\n"
                  "Location N is channel 1 (default 1; 0 for a file that counts from 0), N+1\n"
                  "channel 2, and so on. Only the listed channels change.\n"
                  "Receive mode, signalling, compander and scrambler, which CSV cannot carry, stay\n"
                  "as they were on a channel that had the frequency they belong to (receive;\n"
                  "transmit for signalling); otherwise they get the defaults a typed frequency\n"
                  "brings (%7); an unused tone is 0FF. A transmit tone on a Duplex off row is\n"
                  "dropped with a warning, unless the channel holds it already. The columns\n"
                  "a tone mode does not use (CHIRP writes 88.5, 023, NN there) are not read.\n"
                  "Each row is checked: the band edges 136-176 and 400-490 MHz, for the transmit\n"
                  "frequency that Frequency, Duplex and Offset make too; the channel raster (a\n"
                  "frequency not on 2.5 or 6.25 kHz is refused, not moved); tones and DCS codes\n"
                  "of this radio's lists; Mode FM or NFM; Power in watts (at least 2.5W is %5,\n"
                  "less %6) or High, Low, H, L; a name the name editor accepts (longer than 7 GBK\n"
                  "bytes: cut; , ' \" or a leading ~, which a .bc file cannot hold: a space; each\n"
                  "with a warning); a Location given once. A Cross row needs a CrossMode column\n"
                  "(a CHIRP without it, as Debian 12's, leaves unknown which tone is sent and which\n"
                  "received): without it the row is refused. An empty Power or Mode, or a file\n"
                  "without the column (said once), keeps the channel's %4 or %3 (a new\n"
                  "channel: %5, %8).\n"
                  "Every problem is reported with its line and column. A file with any problem changes\n"
                  "nothing, unless --skip-bad is given: then the good rows are entered and each\n"
                  "skipped row is reported.\n"
                  "Exit status: 0 imported; 1 the CSV has problems and nothing was changed; 2 bad\n"
                  "usage or a file that cannot be read or written.", csvHelpWords());
                  },
                  runImport)
