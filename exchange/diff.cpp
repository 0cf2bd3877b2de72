#include "exchange/diff.h"

#include <cstdio>
#include <optional>

#include "image/channel_codec.h"
#include "image/code_tables.h"
#include "base/frequency.h"
#include "base/hex.h"
#include "base/text.h"
#include "image/page_tables.h"

namespace exchange {
namespace {

using image::ControlKind;
using image::EditorState;
using image::PageControl;

enum class Page { UpperBand, LowerBand, General, Identity, Dtmf, Message, Limits };

const char* captionSource(Page page) {
    switch (page) {
        case Page::UpperBand: return "上段设置";
        case Page::LowerBand: return "下段设置";
        case Page::General: return "综合设置";
        case Page::Identity:
        case Page::Dtmf: return "双音频组";
        case Page::Message:
        case Page::Limits: return "限频";
    }
    return "";
}

// The page's caption as the windows show it in the chosen language.
const char* caption(Page page) { return base::Tr(captionSource(page)); }

const std::vector<PageControl>& controls(Page page) {
    switch (page) {
        case Page::UpperBand:
        case Page::LowerBand: return image::BandControls();
        case Page::General: return image::GeneralControls();
        case Page::Identity: return image::IdentityControls();
        case Page::Dtmf: return image::DtmfControls();
        case Page::Message: return image::MessageControls();
        case Page::Limits: return image::LimitControls();
    }
    return image::BandControls();
}

const PageControl* control(Page page, int number) {
    for (const auto& c : controls(page))
        if (c.number == number) return &c;
    return nullptr;
}

// "音量大小:" -> "音量大小", "接收频率: " -> "接收频率", in the chosen language.
std::string label(const PageControl& c) {
    std::string s = base::Tr(c.label);
    while (!s.empty() && (s.back() == ' ' || s.back() == ':')) s.pop_back();
    return s;
}

// A text as a person can read it in one line: empty shows "(空)"; blanks at either end
// and control characters are made visible by quoting.
std::string shownText(std::string_view t) {
    if (t.empty()) return base::Tr("(空)");
    bool quote = t.front() == ' ' || t.back() == ' ';
    for (char c : t)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) quote = true;
    if (!quote) return std::string(t);
    std::string out = "\"";
    for (char c : t) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        } else {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    }
    return out + "\"";
}

// What a control holds (compared) and what it shows (reported).
struct Value {
    std::string held;
    std::string shown;
};

Value listValue(const PageControl& c, int index) {
    std::string shown;
    if (index == image::kNoSelection)
        shown = base::Tr("(未选)");
    else if (index < 0 || index >= static_cast<int>(c.items.size()))
        shown = "(index " + std::to_string(index) + ")";
    else
        shown = base::Tr(c.items[static_cast<std::size_t>(index)]);
    return {std::to_string(index), shown};
}

Value editValue(const std::string& text) { return {text, shownText(text)}; }

// A frequency, offset or limit: equal by value, so "10" and "10.00000" are the same offset.
Value numberValue(const std::string& text) {
    const auto units = base::ScaledDecimal(text);
    return {units ? "=" + std::to_string(*units) : text, shownText(text)};
}

Value valueOf(const EditorState& s, Page page, const PageControl& c) {
    const auto n = static_cast<std::size_t>(c.number);
    switch (page) {
        case Page::UpperBand:
        case Page::LowerBand: {
            const image::BandPage& b = page == Page::UpperBand ? s.upperBand : s.lowerBand;
            if (c.kind == ControlKind::Edit) return numberValue(c.number == 3 ? b.rxFreq : b.offset);
            return listValue(c, b.list[n]);
        }
        case Page::General:
            if (c.kind == ControlKind::Edit) return numberValue(s.general.radioFreq);
            return listValue(c, s.general.list[n]);
        case Page::Identity:
            if (c.kind == ControlKind::List) return listValue(c, s.dtmf.sypz9);
            return editValue(s.dtmf.sypz[n]);
        case Page::Dtmf: return editValue(s.dtmf.sy[n]);
        case Page::Message: return editValue(c.number == 1 ? s.limits.kaiji1 : s.limits.kaiji2);
        case Page::Limits:
            if (c.kind == ControlKind::List) return listValue(c, s.limits.xp5);
            return numberValue(s.limits.xp[n]);
    }
    return {};
}

// The hidden block fields: which control shows which bytes (control 0: none does).
struct Slice {
    int offset;
    int width;
    int control;
};
struct HiddenLayout {
    int k;
    Page page;
    unsigned address;
    std::vector<Slice> slices;
};

const std::vector<Slice> kBandFirst = {{0, 1, 1},  {1, 1, 2},  {2, 4, 3},   {6, 2, 4},   {8, 1, 6},  {9, 1, 0},
                                       {10, 2, 7}, {12, 1, 8}, {13, 1, 5},  {14, 1, 10}, {15, 1, 11}};
const std::vector<Slice> kBandSecond = {{0, 1, 12}, {1, 1, 13}, {2, 1, 14}, {3, 4, 15}, {7, 2, 16}, {9, 7, 0}};
std::vector<Slice> twoCodes(int width, int first) { return {{0, width, first}, {width, width, first + 1}}; }

const std::vector<HiddenLayout>& layouts() {
    static const std::vector<HiddenLayout> all = {
        {1, Page::UpperBand, 0x0300, kBandFirst},
        {2, Page::UpperBand, 0x0310, kBandSecond},
        {3, Page::LowerBand, 0x0380, kBandFirst},
        {4, Page::LowerBand, 0x0390, kBandSecond},
        {5, Page::General, 0x0200, {{0, 1, 1}, {1, 1, 2}, {2, 2, 3}, {4, 1, 4}, {5, 1, 5}, {6, 1, 6},
                                     {7, 1, 7}, {8, 1, 8}, {9, 1, 9}, {10, 1, 10}, {11, 1, 11},
                                     {12, 2, 12}, {14, 2, 13}, {16, 1, 14}, {17, 1, 15}}},
        {6, Page::Dtmf, 0x0240, twoCodes(8, 1)},
        {7, Page::Dtmf, 0x0250, twoCodes(8, 3)},
        {8, Page::Dtmf, 0x0260, twoCodes(8, 5)},
        {9, Page::Dtmf, 0x0270, twoCodes(8, 7)},
        {12, Page::Identity, 0x0280, twoCodes(8, 1)},
        {13, Page::Identity, 0x0290, twoCodes(6, 3)},
        {14, Page::Identity, 0x029C, twoCodes(6, 5)},
        {15, Page::Identity, 0x02A8, twoCodes(6, 7)},
        {10, Page::Message, 0x02D0, twoCodes(8, 1)},
        {11, Page::Limits, 0x02E0, {{0, 4, 1}, {4, 4, 2}, {8, 4, 3}, {12, 4, 4}, {16, 1, 5}}},
    };
    return all;
}

std::string hex2(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", v);
    return buf;
}
std::string hex4(unsigned v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%04X", v);
    return buf;
}

// "k1 字节 0x09 (0x0309" or "k2 字节 0x09..0x0F (0x0319..0x031F"; the caller closes it.
std::string byteRange(const HiddenLayout& f, int from, int to) {
    const auto at = [&f](int offset) { return hex4(f.address + static_cast<unsigned>(offset)); };
    const auto offset = [](int o) { return hex2(static_cast<unsigned>(o)); };
    if (from == to) return base::Tr("k%1 字节 %2 (%3", f.k, offset(from), at(from));
    return base::Tr("k%1 字节 %2..%3 (%4..%5", f.k, offset(from), offset(to), at(from), at(to));
}

std::optional<base::Bytes> fieldBytes(const EditorState& s, int k) {
    const std::string& text = s.k[static_cast<std::size_t>(k)];
    if (static_cast<int>(text.size()) != image::hiddenField(k).digits) return std::nullopt;
    auto parsed = base::HexToBytes(text);
    if (!parsed.ok()) return std::nullopt;
    return std::move(parsed.value);
}

void hiddenDifferences(const EditorState& a, const EditorState& b, const HiddenLayout& f, std::vector<Difference>& out) {
    const std::string& ta = a.k[static_cast<std::size_t>(f.k)];
    const std::string& tb = b.k[static_cast<std::size_t>(f.k)];
    if (ta == tb) return;
    const std::string page = caption(f.page);
    const auto ba = fieldBytes(a, f.k), bb = fieldBytes(b, f.k);
    if (!ba || !bb) {  // not a block of its length: the whole text
        out.push_back({Difference::Kind::Hidden, page + " k" + std::to_string(f.k), shownText(ta), shownText(tb)});
        return;
    }
    auto digitsOf = [](const base::Bytes& bytes, int from, int to) {
        return base::BytesToHex(bytes.data() + from, static_cast<std::size_t>(to - from + 1));
    };
    for (const Slice& s : f.slices) {
        const int last = s.offset + s.width - 1;
        if (s.control != 0) {
            bool same = true;
            for (int i = s.offset; i <= last; ++i) same = same && (*ba)[static_cast<std::size_t>(i)] == (*bb)[static_cast<std::size_t>(i)];
            if (same) continue;
            const PageControl* c = control(f.page, s.control);
            if (c && valueOf(a, f.page, *c).held != valueOf(b, f.page, *c).held) continue;  // told by the control
            out.push_back({Difference::Kind::Hidden, page + " " + byteRange(f, s.offset, last) + ", " + (c ? label(*c) : "") + ")",
                           digitsOf(*ba, s.offset, last), digitsOf(*bb, s.offset, last)});
            continue;
        }
        for (int i = s.offset; i <= last;) {
            if ((*ba)[static_cast<std::size_t>(i)] == (*bb)[static_cast<std::size_t>(i)]) {
                ++i;
                continue;
            }
            int j = i;
            while (j + 1 <= last && (*ba)[static_cast<std::size_t>(j + 1)] != (*bb)[static_cast<std::size_t>(j + 1)]) ++j;
            out.push_back({Difference::Kind::Hidden, page + " " + byteRange(f, i, j) + ")", digitsOf(*ba, i, j),
                           digitsOf(*bb, i, j)});
            i = j + 1;
        }
    }
}

void settingDifferences(const EditorState& a, const EditorState& b, Page page, std::vector<Difference>& out) {
    for (const auto& c : controls(page)) {
        const Value va = valueOf(a, page, c), vb = valueOf(b, page, c);
        if (va.held != vb.held)
            out.push_back({Difference::Kind::Setting, std::string(caption(page)) + " " + label(c), va.shown, vb.shown});
    }
}

// Cells the channel encoder cannot tell apart.
bool sameCell(int column, const std::string& x, const std::string& y) {
    if (x == y) return true;
    switch (column) {
        case image::kColRxFreq:
        case image::kColTxFreq: {
            if (x.empty() || y.empty()) return false;
            const auto ux = base::ScaledDecimal(x), uy = base::ScaledDecimal(y);
            return ux && uy && *ux == *uy;
        }
        case image::kColRxTone:
        case image::kColTxTone: {
            const auto cx = image::ToneTextToCode(x), cy = image::ToneTextToCode(y);
            return cx && cy && *cx == *cy;
        }
        case image::kColRxMode: return (x.empty() || x == "关") && (y.empty() || y == "关");  // not a text: the cells stored
        default: return false;
    }
}

// A cell as the grid shows it: list items in the chosen language, names as they are.
std::string shownCell(int column, const std::string& cell) {
    return shownText(column == image::kColName ? cell : base::Tr(cell));
}

void channelDifferences(const EditorState& a, const EditorState& b, image::Band band, std::vector<Difference>& out) {
    const image::Grid& ga = a.grid(band);
    const image::Grid& gb = b.grid(band);
    for (int r = 1; r <= image::kChannels; ++r) {
        for (int c = 0; c < image::kGridCells; ++c) {
            const std::string& x = ga.at(r, c);
            const std::string& y = gb.at(r, c);
            if (sameCell(c, x, y)) continue;
            const std::string heading = c < static_cast<int>(image::kGridHeadings.size())
                                            ? base::Tr(image::kGridHeadings[static_cast<std::size_t>(c)])
                                            : base::Tr("第%1列", c);
            out.push_back({Difference::Kind::Channel,
                           base::Tr("%1 第%2信道, %3", base::Tr(image::ChannelPageCaption(band)), r, heading),
                           shownCell(c, x), shownCell(c, y)});
        }
    }
}

void hiddenOfPages(const EditorState& a, const EditorState& b, std::initializer_list<Page> pages,
                   std::vector<Difference>& out) {
    for (const auto& f : layouts())
        for (Page p : pages)
            if (f.page == p) hiddenDifferences(a, b, f, out);
}

}  // namespace

std::string Difference::text() const { return where + ": " + before + " -> " + after; }

std::vector<Difference> Diff(const EditorState& a, const EditorState& b) {
    std::vector<Difference> out;
    channelDifferences(a, b, image::Band::Upper, out);
    channelDifferences(a, b, image::Band::Lower, out);
    for (Page p : {Page::UpperBand, Page::LowerBand, Page::General}) {
        settingDifferences(a, b, p, out);
        hiddenOfPages(a, b, {p}, out);
    }
    settingDifferences(a, b, Page::Identity, out);
    settingDifferences(a, b, Page::Dtmf, out);
    hiddenOfPages(a, b, {Page::Dtmf, Page::Identity}, out);
    settingDifferences(a, b, Page::Message, out);
    settingDifferences(a, b, Page::Limits, out);
    hiddenOfPages(a, b, {Page::Message, Page::Limits}, out);
    return out;
}

}  // namespace exchange
