// The ".bc" record layouts against a literal copy of the file's tables: how many fields each
// record has, what each field is, and that each control is written to, and read from, exactly
// its field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codeplug/codeplug.h"
#include "tests/codeplug/helpers.h"

namespace {

using codeplug::FieldKind;
using image::EditorState;

struct Expected {
    FieldKind kind;
    const char* control;
    int size;
};
constexpr FieldKind I = FieldKind::Index, T = FieldKind::Text, B = FieldKind::Block;

const std::vector<Expected> kUpperBand = {
    {I, "left1", 2},  {I, "left2", 128}, {T, "left3", 0},   {I, "left4", 206},  {I, "left5", 18},
    {I, "left6", 2},  {I, "left7", 206}, {I, "left8", 18},  {I, "left10", 2},   {I, "left11", 2},
    {I, "left12", 2}, {I, "left13", 2},  {I, "left14", 3},  {T, "left15", 0},   {I, "left16", 7},
};
const std::vector<Expected> kLowerBand = {
    {I, "right1", 2},  {I, "right2", 128}, {T, "right3", 0},  {I, "right4", 206}, {I, "right5", 18},
    {I, "right6", 2},  {I, "right7", 206}, {I, "right8", 18}, {I, "right10", 2},  {I, "right11", 2},
    {I, "right12", 2}, {I, "right13", 2},  {I, "right14", 3}, {T, "right15", 0},  {I, "right16", 7},
};
const std::vector<Expected> kGeneral = {
    {I, "gn1", 2},  {I, "gn2", 21}, {T, "gn3", 0},   {I, "gn4", 4},   {I, "gn5", 4},
    {I, "gn6", 4},  {I, "gn7", 2},  {I, "gn8", 2},   {I, "gn9", 10},  {I, "gn10", 2},
    {I, "gn11", 21}, {I, "gn12", 4}, {I, "gn13", 4}, {I, "gn14", 10}, {I, "gn15", 2},
};
const std::vector<Expected> kLimits = {
    {T, "kaiji1", 0}, {T, "kaiji2", 0}, {T, "xp1", 0}, {T, "xp2", 0}, {T, "xp3", 0}, {T, "xp4", 0}, {I, "xp5", 2},
};
const std::vector<Expected> kBlocks = {
    {B, "k1", 32}, {B, "k2", 32},  {B, "k3", 32},  {B, "k4", 32},  {B, "k5", 36},
    {B, "k6", 32}, {B, "k7", 32},  {B, "k8", 32},  {B, "k9", 32},  {B, "k10", 32},
    {B, "k11", 34}, {B, "k12", 32}, {B, "k13", 24}, {B, "k14", 24}, {B, "k15", 24},
};
const std::vector<Expected> kCodes = {
    {T, "sypz1", 0}, {T, "sypz2", 0}, {T, "sypz3", 0}, {T, "sypz4", 0}, {T, "sypz5", 0}, {T, "sypz6", 0},
    {T, "sypz7", 0}, {T, "sypz8", 0}, {I, "sypz9", 3}, {T, "sy1", 0},   {T, "sy2", 0},   {T, "sy3", 0},
    {T, "sy4", 0},   {T, "sy5", 0},   {T, "sy6", 0},   {T, "sy7", 0},   {T, "sy8", 0},
};
const char* const kCells[14] = {"信道", "接收频率", "接收亚音频", "接收模式", "发射频率", "发射亚音频", "发射开始信令",
                                "发射结束信令", "功率", "宽窄带", "压扩", "扰频", "信道名称", nullptr};

const std::vector<Expected>* settingsLayout(int record) {
    switch (record) {
        case 129: return &kUpperBand;
        case 258: return &kLowerBand;
        case 259: return &kGeneral;
        case 260: return &kLimits;
        case 261: return &kBlocks;
        case 262: return &kCodes;
        default: return nullptr;
    }
}

TEST(GoldenFileLayout, RecordsAndFields) {
    EXPECT_EQ(codeplug::kRecords, 262);
    for (int r = 1; r <= 262; ++r) {
        if (const auto* layout = settingsLayout(r)) {
            ASSERT_EQ(codeplug::FieldCount(r), static_cast<int>(layout->size())) << "record " << r;
            for (std::size_t f = 0; f < layout->size(); ++f) {
                const auto info = codeplug::Field(r, static_cast<int>(f));
                EXPECT_EQ(info.kind, (*layout)[f].kind) << "record " << r << " field " << f;
                EXPECT_EQ(std::string(info.control), (*layout)[f].control) << "record " << r << " field " << f;
                EXPECT_EQ(info.size, (*layout)[f].size) << "record " << r << " field " << f;
            }
        } else {
            ASSERT_EQ(codeplug::FieldCount(r), 14) << "record " << r;
            for (int f = 0; f < 13; ++f) {
                const auto info = codeplug::Field(r, f);
                EXPECT_EQ(info.kind, FieldKind::Cell);
                EXPECT_EQ(std::string(info.control), kCells[f]) << "record " << r << " field " << f;
            }
            EXPECT_EQ(codeplug::Field(r, 13).kind, FieldKind::Cell);
        }
    }
}

std::vector<std::string> fields(const std::string& record) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : record) {
        if (c == ',') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    return out;
}

// Saves the state and checks it comes back whole from the file.
std::vector<std::string> saveAndReopen(const EditorState& s) {
    const auto saved = codeplug::ToText(s);
    EXPECT_TRUE(saved.ok()) << saved.error;
    EXPECT_TRUE(saved.notes.empty());
    const auto opened = codeplug::FromText(saved.value);
    EXPECT_TRUE(opened.ok()) << opened.error;
    EXPECT_TRUE(opened.value == s) << "the file does not give back what was saved";
    return cptest::Records(saved.value);
}

TEST(GoldenFileLayout, EveryGridCellHasItsOwnField) {
    EditorState s = codeplug::New(EditorState());
    for (int row = 1; row <= 128; ++row)
        for (int c = 0; c < 14; ++c) {
            s.upper.at(row, c) = "U" + std::to_string(row) + "." + std::to_string(c);
            s.lower.at(row, c) = "L" + std::to_string(row) + "." + std::to_string(c);
        }
    const auto records = saveAndReopen(s);
    ASSERT_EQ(records.size(), 262u);
    for (int row = 1; row <= 128; ++row) {
        const auto upper = fields(records[static_cast<std::size_t>(row - 1)]);
        const auto lower = fields(records[static_cast<std::size_t>(row + 128)]);
        ASSERT_EQ(upper.size(), 14u);
        ASSERT_EQ(lower.size(), 14u);
        for (std::size_t c = 0; c < 14; ++c) {
            EXPECT_EQ(upper[c], "U" + std::to_string(row) + "." + std::to_string(c));
            EXPECT_EQ(lower[c], "L" + std::to_string(row) + "." + std::to_string(c));
        }
    }
}

// Changes one control of a New state; exactly one field of one record may change, to `text`.
void expectOnlyField(EditorState s, int record, std::size_t field, const std::string& text,
                     const std::vector<std::string>& baseline) {
    const auto records = saveAndReopen(s);
    ASSERT_EQ(records.size(), 262u);
    for (std::size_t r = 0; r < 262; ++r) {
        if (static_cast<int>(r) + 1 != record) {
            EXPECT_EQ(records[r], baseline[r]) << "record " << r + 1 << " changed for field " << field;
            continue;
        }
        auto expected = fields(baseline[r]);
        ASSERT_LT(field, expected.size());
        expected[field] = text;
        EXPECT_EQ(fields(records[r]), expected) << "record " << record << " field " << field;
    }
}

TEST(GoldenFileLayout, EachControlHasItsOwnField) {
    const EditorState fresh = codeplug::New(EditorState());
    const auto baseline = cptest::Records(codeplug::ToText(fresh).value);

    // Record 129 / 258, field order: left1 left2 left3 left4 left5 left6 left7 left8 left10..16.
    const int bandControls[15] = {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16};
    const int bandValues[17] = {0, 1, 127, 0, 205, 17, 1, 204, 16, 0, 0, 0, 1, 1, 2, 0, 6};
    for (image::Band band : {image::Band::Upper, image::Band::Lower}) {
        const int record = band == image::Band::Upper ? 129 : 258;
        for (std::size_t f = 0; f < 15; ++f) {
            EditorState s = fresh;
            const int n = bandControls[f];
            if (n == 3) {
                s.band(band).rxFreq = "150.05000";
                expectOnlyField(s, record, f, "150.05000 ", baseline);
            } else if (n == 15) {
                s.band(band).offset = "0.025";
                expectOnlyField(s, record, f, "0.025 ", baseline);
            } else {
                s.band(band).list[static_cast<std::size_t>(n)] = bandValues[n];
                expectOnlyField(s, record, f, std::to_string(bandValues[n]), baseline);
            }
        }
    }

    // Record 259: gn1..gn15 in order, gn3 the edit.
    const int generalValues[16] = {0, 1, 20, 0, 0, 3, 1, 1, 0, 9, 1, 20, 3, 3, 9, 1};
    for (std::size_t f = 0; f < 15; ++f) {
        EditorState s = fresh;
        const int n = static_cast<int>(f) + 1;
        if (n == 3) {
            s.general.radioFreq = "94.5";
            expectOnlyField(s, 259, f, "94.5 ", baseline);
        } else {
            s.general.list[static_cast<std::size_t>(n)] = generalValues[n];
            expectOnlyField(s, 259, f, std::to_string(generalValues[n]), baseline);
        }
    }

    // Record 260: kaiji1, kaiji2, xp1..xp4, xp5.
    for (std::size_t f = 0; f < 7; ++f) {
        EditorState s = fresh;
        if (f == 0) s.limits.kaiji1 = "HELLO";
        if (f == 1) s.limits.kaiji2 = "HELLO";
        if (f >= 2 && f <= 5) s.limits.xp[f - 1] = "136";
        if (f == 6) s.limits.xp5 = 0;
        expectOnlyField(s, 260, f, f <= 1 ? "HELLO " : f <= 5 ? "136 " : "0", baseline);
    }

    // Record 261: k1..k15.
    const int blockDigits[16] = {0, 32, 32, 32, 32, 36, 32, 32, 32, 32, 32, 34, 32, 24, 24, 24};
    for (std::size_t f = 0; f < 15; ++f) {
        EditorState s = fresh;
        const std::string text(static_cast<std::size_t>(blockDigits[f + 1]), "0123456789ABCDE"[f]);
        s.k[f + 1] = text;
        expectOnlyField(s, 261, f, text, baseline);
    }

    // Record 262: sypz1..sypz8, sypz9, sy1..sy8.
    for (std::size_t f = 0; f < 17; ++f) {
        EditorState s = fresh;
        if (f < 8) s.dtmf.sypz[f + 1] = "123";
        if (f == 8) s.dtmf.sypz9 = 2;
        if (f > 8) s.dtmf.sy[f - 8] = "123";
        expectOnlyField(s, 262, f, f == 8 ? "2" : "123 ", baseline);
    }
}

}  // namespace
