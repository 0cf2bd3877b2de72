// radio-cli show: a codeplug file for a person to read.
#include <cstdio>

#include "cli/command.h"
#include "cli/files.h"
#include "cli/options.h"
#include "base/gbk.h"
#include "base/text.h"
#include "image/page_tables.h"

namespace {

using image::ControlKind;
using image::EditorState;
using image::PageControl;

// Control characters would break the lines on a terminal; kept non-GBK bytes show as the
// windows show them.
std::string printable(std::string_view s) {
    std::string out = base::ShownText(s);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

std::string shownItem(const PageControl& c, int index) {
    if (index < 0 || index >= static_cast<int>(c.items.size())) return "";
    return base::Tr(c.items[static_cast<std::size_t>(index)]);
}

// The headings, captions, labels and list items in the chosen language; what the operator
// typed (frequencies, names, codes) as it is.
void channels(std::string& out, const char* caption, const image::Grid& grid) {
    out += base::Tr(caption);
    out += '\n';
    std::vector<std::vector<std::string>> rows;
    rows.emplace_back();
    for (const char* heading : image::kGridHeadings) rows.back().push_back(base::Tr(heading));
    for (int r = 1; r <= image::kChannels; ++r) {
        if (grid.at(r, image::kColRxFreq).empty() && grid.at(r, image::kColTxFreq).empty()) continue;
        std::vector<std::string> row;
        for (int c = 0; c < static_cast<int>(image::kGridHeadings.size()); ++c)
            row.push_back(printable(c == image::kColName ? grid.at(r, c) : base::Tr(grid.at(r, c))));
        rows.push_back(std::move(row));
    }
    if (rows.size() == 1)
        out += "(no channel has a frequency)\n";
    else
        out += cli::FormatTable(rows);
    out += '\n';
}

// One settings page: its caption, then label and shown value per control.
void page(std::string& out, const char* caption, const std::vector<std::pair<std::string, std::string>>& lines) {
    out += base::Tr(caption);
    out += '\n';
    std::vector<std::vector<std::string>> rows;
    for (const auto& [label, value] : lines) rows.push_back({"  " + base::Tr(label), printable(value)});
    out += cli::FormatTable(rows);
    out += '\n';
}

std::vector<std::pair<std::string, std::string>> bandLines(const image::BandPage& band) {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const auto& c : image::BandControls()) {
        std::string value;
        if (c.kind == ControlKind::List)
            value = shownItem(c, band.list[static_cast<std::size_t>(c.number)]);
        else
            value = c.number == 3 ? band.rxFreq : band.offset;
        lines.emplace_back(c.label, value);
    }
    return lines;
}

std::string show(const EditorState& s) {
    std::string out;
    channels(out, "上段信道", s.upper);
    channels(out, "下段信道", s.lower);
    page(out, "上段设置", bandLines(s.upperBand));
    page(out, "下段设置", bandLines(s.lowerBand));

    std::vector<std::pair<std::string, std::string>> lines;
    for (const auto& c : image::GeneralControls())
        lines.emplace_back(c.label, c.kind == ControlKind::List
                                        ? shownItem(c, s.general.list[static_cast<std::size_t>(c.number)])
                                        : s.general.radioFreq);
    page(out, "综合设置", lines);

    lines.clear();
    for (const auto& c : image::IdentityControls())
        lines.emplace_back(c.label, c.kind == ControlKind::List ? shownItem(c, s.dtmf.sypz9)
                                                                : s.dtmf.sypz[static_cast<std::size_t>(c.number)]);
    for (const auto& c : image::DtmfControls()) lines.emplace_back(c.label, s.dtmf.sy[static_cast<std::size_t>(c.number)]);
    page(out, "双音频组", lines);

    lines.clear();
    for (const auto& c : image::MessageControls())
        lines.emplace_back(c.label, c.number == 1 ? s.limits.kaiji1 : s.limits.kaiji2);
    for (const auto& c : image::LimitControls())
        lines.emplace_back(c.label, c.kind == ControlKind::List ? shownItem(c, s.limits.xp5)
                                                                : s.limits.xp[static_cast<std::size_t>(c.number)]);
    page(out, "限频", lines);
    out.pop_back();  // one blank line between sections, none at the end
    return out;
}

int runShow(const std::vector<std::string>& given) {
    const cli::Options o = cli::ParseOptions(given, {}, {});
    const std::vector<std::string>& args = o.positional;
    if (!o.error.empty() || args.size() != 1 || args[0].empty()) {
        cli::Fail("show", "usage: radio-cli show FILE.bc");
        return cli::kUsage;
    }
    const auto state = cli::OpenCodeplug("show", args[0]);
    if (!state) return cli::kUsage;
    const std::string text = show(*state);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return cli::kOk;
}

}  // namespace

RADIO_CLI_COMMAND("show", "print a codeplug file: channels and every settings page", [] {
                  return base::Fill(
                  "usage: radio-cli show FILE.bc\n"
                  "\n"
                  "Prints both channel tables (%1, %2: every channel with a receive or\n"
                  "transmit frequency, one line each, under the grid headings), then the pages\n"
                  "%3, %4, %5, %6 and %7 with each label and the value the\n"
                  "page shows (the selected entry of a list, the text of an edit).\n"
                  "Exit status: 0 shown; 2 bad usage or a file that cannot be opened.",
                  {base::Tr("上段信道"), base::Tr("下段信道"), base::Tr("上段设置"), base::Tr("下段设置"), base::Tr("综合设置"),
                   base::Tr("双音频组"), base::Tr("限频")});
                  },
                  runShow)
