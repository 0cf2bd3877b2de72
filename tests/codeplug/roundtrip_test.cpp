// Every state the editor can reach survives Save and Open unchanged.
#include <gtest/gtest.h>

#include <string>

#include "codeplug/codeplug.h"
#include "image/channel_codec.h"
#include "image/limits_page.h"
#include "tests/codeplug/helpers.h"
#include "tests/random_cases.h"
#include "tests/random_state.h"

namespace {

using image::EditorState;

// Two thousand states in eight shards, which the suite runs side by side.
class ReachableStates : public ::testing::TestWithParam<int> {};

TEST_P(ReachableStates, ComeBackUnchanged) {
    random_state::Draw draw(20240611 + static_cast<unsigned>(GetParam()));
    for (int i = 0; i < RandomCases(250); ++i) {
        const EditorState s = random_state::RandomState(draw, random_state::Reach::Held);
        const auto saved = codeplug::ToText(s);
        ASSERT_TRUE(saved.ok()) << saved.error;
        ASSERT_TRUE(saved.notes.empty()) << "state " << i << ": " << saved.notes.front();
        EditorState current;  // only the headings and position fields are not in the file
        current.Col = s.Col;
        current.Row = s.Row;
        current.col1 = s.col1;
        current.row1 = s.row1;
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
