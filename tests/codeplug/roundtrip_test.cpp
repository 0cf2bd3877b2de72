// Every state the editor can reach survives Save and Open unchanged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "image/code_tables.h"
#include "image/page_tables.h"
#include "tests/codeplug/helpers.h"

namespace {

using image::EditorState;

class Random {
public:
    explicit Random(unsigned seed) : rng_(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T>
    const T& pick(const std::vector<T>& v) { return v[static_cast<std::size_t>(below(static_cast<int>(v.size())))]; }

    // Printable characters an edit can hold: ASCII without the comma and quotes (the key
    // filters refuse them), and Chinese characters (texts decoded from the radio's GBK bytes).
    std::string text(int maxLength) {
        static const std::vector<std::string> chinese = {"信", "令", "双", "音", "关", "高", "宽", "带",
                                                         "开", "中", "文", "频", "率", "遥", "晕", "毕"};
        std::string s;
        const int n = below(maxLength + 1);
        for (int i = 0; i < n; ++i) {
            if (chance(20)) {
                s += pick(chinese);
                continue;
            }
            char c;
            do c = static_cast<char>(32 + below(95));
            while (c == ',' || c == '\'' || c == '"');
            s.push_back(c);
        }
        return s;
    }
    std::string hex(int digits) {
        std::string s;
        for (int i = 0; i < digits; ++i) s.push_back("0123456789ABCDEF"[below(16)]);
        return s;
    }
    std::string frequency() {
        const int mhz = chance(50) ? 136 + below(41) : 400 + below(91);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d.%05d", mhz, below(100000));
        return buf;
    }
    int selection(std::size_t items) { return below(static_cast<int>(items) + 1) - 1; }

private:
    std::mt19937 rng_;
};

void RandomRow(Random& rnd, image::Grid& grid, int row) {
    auto& cells = grid.cells[static_cast<std::size_t>(row)];
    if (rnd.chance(60)) return;  // an empty channel
    const auto& tones = image::ToneList(image::ToneSpelling::Grid);
    cells[image::kColRxFreq] = rnd.frequency();
    cells[image::kColRxTone] = rnd.pick(tones);
    cells[image::kColRxMode] = rnd.pick(image::ReceiveModeList());
    if (rnd.chance(70)) {
        cells[image::kColTxFreq] = rnd.frequency();
        cells[image::kColTxTone] = rnd.pick(tones);
        cells[image::kColStartSignal] = rnd.pick(image::SignallingList());
        cells[image::kColEndSignal] = rnd.pick(image::SignallingList());
    }
    cells[image::kColPower] = rnd.pick(image::PowerList());
    cells[image::kColBandwidth] = rnd.pick(image::BandwidthList());
    cells[image::kColCompander] = rnd.pick(image::OffOnList());
    cells[image::kColScrambler] = rnd.pick(image::OffOnList());
    do cells[image::kColName] = rnd.text(7);
    while (cells[image::kColName] == " ");
    if (rnd.chance(2)) cells[image::kColExtra] = "x" + rnd.text(5);
    if (rnd.chance(2)) cells[image::kColNumber] = "#" + rnd.text(3);
}

EditorState RandomState(Random& rnd) {
    EditorState s = codeplug::New(EditorState());
    for (int row = 1; row <= image::kChannels; ++row) {
        RandomRow(rnd, s.upper, row);
        RandomRow(rnd, s.lower, row);
    }
    for (image::BandPage* page : {&s.upperBand, &s.lowerBand}) {
        for (const auto& c : image::BandControls())
            if (c.kind == image::ControlKind::List) page->list[static_cast<std::size_t>(c.number)] = rnd.selection(c.items.size());
        page->rxFreq = rnd.chance(50) ? rnd.frequency() : rnd.text(12);
        page->offset = rnd.text(10);
    }
    for (const auto& c : image::GeneralControls())
        if (c.kind == image::ControlKind::List) s.general.list[static_cast<std::size_t>(c.number)] = rnd.selection(c.items.size());
    s.general.radioFreq = rnd.text(6);
    do s.limits.kaiji1 = rnd.text(9);
    while (!s.limits.kaiji1.empty() && s.limits.kaiji1[0] == '~');  // the first field of its record
    s.limits.kaiji2 = rnd.text(9);
    for (int n = 1; n <= 4; ++n) s.limits.xp[static_cast<std::size_t>(n)] = rnd.text(10);
    s.limits.xp5 = rnd.selection(2);
    for (int n = 1; n <= 8; ++n) {
        s.dtmf.sy[static_cast<std::size_t>(n)] = rnd.text(8);
        s.dtmf.sypz[static_cast<std::size_t>(n)] = rnd.text(8);
    }
    while (!s.dtmf.sypz[1].empty() && s.dtmf.sypz[1][0] == '~') s.dtmf.sypz[1] = rnd.text(8);
    s.dtmf.sypz9 = rnd.selection(3);
    for (int n = 1; n <= 15; ++n) s.k[static_cast<std::size_t>(n)] = rnd.hex(image::hiddenField(n).digits);
    s.Col = std::to_string(rnd.below(13));
    s.Row = std::to_string(rnd.below(129));
    return s;
}

TEST(RoundTrip, ThousandsOfReachableStatesComeBackUnchanged) {
    Random rnd(20240611);
    for (int i = 0; i < 2000; ++i) {
        const EditorState s = RandomState(rnd);
        const auto saved = codeplug::ToText(s);
        ASSERT_TRUE(saved.ok()) << saved.error;
        ASSERT_TRUE(saved.changed.empty()) << "state " << i << ": " << saved.changed.front();
        EditorState current;  // only the headings and position fields are not in the file
        current.Col = s.Col;
        current.Row = s.Row;
        const auto opened = codeplug::FromText(saved.bytes, current);
        ASSERT_TRUE(opened.ok()) << "state " << i << ": " << opened.error;
        if (!(opened.state == s)) {
            const auto a = cptest::Records(saved.bytes);
            const auto b = cptest::Records(codeplug::ToText(opened.state).bytes);
            for (std::size_t r = 0; r < a.size(); ++r)
                ASSERT_EQ(a[r], b[r]) << "state " << i << ", record " << r + 1;
            FAIL() << "state " << i << " differs outside the file";
        }
    }
}

}  // namespace
