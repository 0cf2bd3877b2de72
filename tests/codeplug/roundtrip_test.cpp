// Every state the editor can reach survives Save and Open unchanged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "image/channel_codec.h"
#include "image/code_tables.h"
#include "image/limits_page.h"
#include "image/page_tables.h"
#include "tests/codeplug/helpers.h"
#include "tests/random_cases.h"

namespace {

using image::EditorState;

struct Random {
    std::mt19937 rng;
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
    bool chance(int percent) { return below(100) < percent; }
    const std::string& pick(const std::vector<std::string>& v) { return v[static_cast<std::size_t>(below(static_cast<int>(v.size())))]; }
    int selection(std::size_t items) { return below(static_cast<int>(items) + 1) - 1; }
    // What an edit can hold: printable ASCII but the comma and quotes (the key filters refuse
    // them), and Chinese (texts decoded from the radio's GBK bytes).
    std::string text(int maxLength) {
        static const std::vector<std::string> chinese = {"信", "令", "关", "宽", "中", "频", "遥", "晕"};
        std::string s;
        for (int i = below(maxLength + 1); i > 0; --i) {
            char c = static_cast<char>(32 + below(95));
            if (chance(20)) s += pick(chinese);
            else if (c != ',' && c != '\'' && c != '"') s.push_back(c);
        }
        return s;
    }
    std::string hex(int digits) {
        std::string s;
        while (digits-- > 0) s.push_back("0123456789ABCDEF"[below(16)]);
        return s;
    }
    std::string frequency() {
        return std::to_string(chance(50) ? 136 + below(41) : 400 + below(91)) + "." + std::to_string(10000 + below(90000));
    }
};

void RandomRow(Random& rnd, std::array<std::string, image::kGridCells>& cells) {
    if (rnd.chance(60)) return;  // an empty channel
    const auto& tones = image::ToneList(image::ToneSpelling::Grid);
    cells = {"#" + rnd.text(3), rnd.frequency(), rnd.pick(tones), rnd.pick(image::ReceiveModeList()), "", "", "", "",
             rnd.pick(image::PowerList()), rnd.pick(image::BandwidthList()), rnd.pick(image::OffOnList()),
             rnd.pick(image::OffOnList()), rnd.text(7), rnd.chance(2) ? "x" + rnd.text(5) : ""};
    if (rnd.chance(70))
        for (const auto& [c, v] : {std::pair{image::kColTxFreq, rnd.frequency()}, {image::kColTxTone, rnd.pick(tones)},
                                   {image::kColStartSignal, rnd.pick(image::SignallingList())},
                                   {image::kColEndSignal, rnd.pick(image::SignallingList())}})
            cells[c] = v;
    if (cells[image::kColName] == " ") cells[image::kColName] = "  ";  // a lone space reads back as empty
}

EditorState RandomState(Random& rnd) {
    EditorState s = codeplug::New(EditorState());
    for (int row = 1; row <= image::kChannels; ++row) {
        RandomRow(rnd, s.upper.cells[static_cast<std::size_t>(row)]);
        RandomRow(rnd, s.lower.cells[static_cast<std::size_t>(row)]);
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
    s.limits.kaiji1 = "A" + rnd.text(8);  // a "~" opening its record would be dropped
    s.limits.kaiji2 = rnd.text(9);
    for (int n = 1; n <= 4; ++n) s.limits.xp[static_cast<std::size_t>(n)] = rnd.text(10);
    s.limits.xp5 = rnd.selection(2);
    for (int n = 1; n <= 8; ++n) {
        s.dtmf.sy[static_cast<std::size_t>(n)] = rnd.text(8);
        s.dtmf.sypz[static_cast<std::size_t>(n)] = n == 1 ? "1" + rnd.text(7) : rnd.text(8);
    }
    s.dtmf.sypz9 = rnd.selection(3);
    for (int n = 1; n <= 15; ++n) s.k[static_cast<std::size_t>(n)] = rnd.hex(image::hiddenField(n).digits);
    s.Col = std::to_string(rnd.below(13));
    s.Row = std::to_string(rnd.below(129));
    return s;
}

// Two thousand states in eight shards, which the suite runs side by side.
class ReachableStates : public ::testing::TestWithParam<int> {};

TEST_P(ReachableStates, ComeBackUnchanged) {
    Random rnd{std::mt19937(20240611 + static_cast<unsigned>(GetParam()))};
    for (int i = 0; i < RandomCases(250); ++i) {
        const EditorState s = RandomState(rnd);
        const auto saved = codeplug::ToText(s);
        ASSERT_TRUE(saved.ok()) << saved.error;
        ASSERT_TRUE(saved.notes.empty()) << "state " << i << ": " << saved.notes.front();
        EditorState current;  // only the headings and position fields are not in the file
        current.Col = s.Col;
        current.Row = s.Row;
        const auto opened = codeplug::FromText(saved.value, current);
        ASSERT_TRUE(opened.ok()) << "state " << i << ": " << opened.error;
        if (!(opened.value == s)) {
            const auto a = cptest::Records(saved.value);
            const auto b = cptest::Records(codeplug::ToText(opened.value).value);
            for (std::size_t r = 0; r < a.size(); ++r)
                ASSERT_EQ(a[r], b[r]) << "state " << i << ", record " << r + 1;
            FAIL() << "state " << i << " differs outside the file";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RoundTrip, ReachableStates, ::testing::Range(0, 8));

}  // namespace

// Names and power-on lines read from a radio with bytes that are no GBK text: Save writes
// those bytes into the file as they are, and Open brings back the same texts, so a later write
// sends the radio's bytes.
TEST(RoundTrip, BytesThatAreNoGbkSurviveSaveAndOpen) {
    const char* const names[] = {"0341FF42FFFFFFFF", "01B0FFFFFFFFFFFF", "0341B020FFFFFFFF", "0241B0FFFFFFFFFF",
                                 "07FFFFFFFFFFFFFF", "0380B9D8FFFFFFFF", "04AAA1F8A1FFFFFF", "07B9D8B0FE7F4142"};
    EditorState s;
    int row = 1;
    for (const char* name : names) {
        image::DecodeChannel(std::string("00DD7174FFFF0000DD7174FFFF0000D0") + name, s.upper, row);
        image::DecodeChannel(std::string("02625A00FFFF0002625A00FFFF0000D0") + name, s.lower, 129 - row);
        ++row;
    }
    image::DecodePowerOnMessage(s, "01B0FFFFFFFFFFFF07FF41FF42FFB9D8");
    s.k[10] = "01B0FFFFFFFFFFFF07FF41FF42FFB9D8";
    ASSERT_FALSE(image::NonGbkFields(s).empty());

    const auto saved = codeplug::ToText(s);
    ASSERT_TRUE(saved.ok()) << saved.error;
    EXPECT_TRUE(saved.notes.empty()) << saved.notes.front();
    EXPECT_NE(saved.value.find("A\xFF" "B,"), std::string::npos);
    auto opened = codeplug::FromText(saved.value);
    ASSERT_TRUE(opened.ok()) << opened.error;
    EXPECT_EQ(opened.value, s);
    EXPECT_FALSE(opened.notes.empty());
    for (int r = 1; r <= 8; ++r) {
        const auto record = image::EncodeChannel(opened.value.upper, r, image::Band::Upper);
        EXPECT_EQ(record.value.substr(32), names[r - 1]);
    }
    image::MessageLineCommit(opened.value, 1);
    image::MessageLineCommit(opened.value, 2);
    EXPECT_EQ(opened.value.k[10], s.k[10]);
}
