// radio-cli diff: what differs between two codeplug files, by meaning.
#include <cstdio>

#include "cli/command.h"
#include "cli/files.h"
#include "cli/options.h"
#include "base/text.h"
#include "exchange/diff.h"
#include "image/channel_codec.h"
#include "image/code_tables.h"
#include "image/page_tables.h"

namespace {

int runDiff(const std::vector<std::string>& given) {
    const cli::Options o = cli::ParseOptions(given, {}, {});
    const std::vector<std::string>& args = o.positional;
    if (!o.error.empty() || args.size() != 2 || args[0].empty() || args[1].empty()) {
        cli::Fail("diff", "usage: radio-cli diff A.bc B.bc");
        return cli::kUsage;
    }
    const auto a = cli::OpenCodeplug("diff", args[0]);
    if (!a) return cli::kUsage;
    const auto b = cli::OpenCodeplug("diff", args[1]);
    if (!b) return cli::kUsage;
    const auto differences = exchange::Diff(*a, *b);
    for (const auto& d : differences) std::printf("%s\n", d.text().c_str());
    return differences.empty() ? cli::kOk : cli::kFailed;
}

// The places and words the help's examples cite, as diff says them: %1 a channel's cell, %2
// the general page and %3 one of its labels, %4 bytes of a hidden field, %5 off, %6 an empty
// text and %7 a list without selection.
std::vector<std::string> diffHelpWords() {
    std::string volume;
    for (const auto& c : image::GeneralControls())
        if (c.number == 2) volume = base::Tr(c.label);
    while (!volume.empty() && volume.back() == ':') volume.pop_back();
    return {base::Tr("%1 第%2信道, %3", base::Tr(image::ChannelPageCaption(image::Band::Upper)), 5,
                     base::Tr(image::kGridHeadings[image::kColRxFreq])),
            base::Tr("综合设置"),
            volume,
            std::string(base::Tr("上段设置")) + " " + base::Tr("k%1 字节 %2 (%3", 1, "0x09", "0x0309") + ")",
            base::Tr(image::OffOnList()[0]),
            base::Tr("(空)"),
            base::Tr("(未选)")};
}

}  // namespace

RADIO_CLI_COMMAND("diff", "what differs between two codeplug files, by page, channel and setting", [] {
                  return base::Fill("usage: radio-cli diff A.bc B.bc\n"
                  "\n"
                  "Prints one line per difference, from A to B, in page order:\n"
                  "  %1: 145.00000 -> 145.12500\n"
                  "  %2 %3: 15 -> 12\n"
                  "  %4: 00 -> 12\n"
                  "Channels by channel and column heading; settings by page and label, with the\n"
                  "item a list shows or the text of an edit; hidden block fields by field, byte\n"
                  "offsets and radio address, for bytes no control shows (band bytes 0x09 and\n"
                  "0x19..0x1F) and for bytes that differ while their control shows the same value.\n"
                  "Cells the radio cannot tell apart are equal: OFF and 0FF, an empty receive mode\n"
                  "and %5, 145.125 and 145.12500; frequencies, offsets and limits of the settings\n"
                  "pages compare by value (10 and 10.00000). \"%6\" is an empty text, \"%7\" a list\n"
                  "without selection.\n"
                  "Exit status: 0 the files are equal (nothing printed); 1 they differ; 2 bad\n"
                  "usage or a file that cannot be opened.", diffHelpWords());
                  },
                  runDiff)
