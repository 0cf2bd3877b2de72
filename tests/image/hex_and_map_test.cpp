#include <gtest/gtest.h>

#include "image/editor_state.h"
#include "base/hex.h"
#include "image/transfer.h"

using base::Bytes;
using base::BytesToHex;
using base::HexToBytes;
using base::digits;
using base::hexDigits;
using base::splice;

using namespace image;

TEST(HexText, BytesAndTextBothWays) {
    EXPECT_EQ(BytesToHex(Bytes{0x00, 0x0A, 0xFF, 0x06, 0xAF}), "000AFF06AF");
    EXPECT_EQ(BytesToHex(Bytes{}), "");
    auto r = HexToBytes("0aFf1");  // lower case accepted, the lone trailing digit ignored
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, (Bytes{0x0A, 0xFF}));
    r = HexToBytes("12G4");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("'G' at position 3"), std::string::npos) << r.error;
    EXPECT_TRUE(r.value.empty());
}

TEST(HexText, DigitRangesCountFromOneAndSpliceKeepsLength) {
    EXPECT_EQ(digits("0123456789", 3, 5), "234");
    EXPECT_EQ(digits("0123", 3, 10), "23");
    EXPECT_EQ(digits("0123", 9, 10), "");
    EXPECT_EQ(splice("00000000", 3, 4, "AB"), "00AB0000");
    EXPECT_THROW(splice("0000", 3, 4, "ABC"), std::logic_error);
    EXPECT_EQ(hexDigits(0x9C4, 8), "000009C4");
}

TEST(TransferList, MatchesTheMemoryMap) {
    const auto& list = TransferList();
    int readBytes = 0;
    for (const auto& b : list) readBytes += b.length;
    EXPECT_EQ(readBytes, 6450);
    EXPECT_EQ(list[63].address + 24, 0x0FE8);  // upper channel 128: second record of block 63
    EXPECT_EQ(list[63].firstRow, 127);
    EXPECT_EQ(list[64].address, 0x1000);
    EXPECT_EQ(list[64].firstRow, 1);
    EXPECT_EQ(list[127].address, 0x1BD0);
    EXPECT_EQ(ReadFrame(0), "5245414404000030");
    EXPECT_EQ(ReadFrame(132), "5245414402700010");
    EXPECT_EQ(ReadFrame(133), "5245414402800040");
    EXPECT_EQ(ReadFrame(134), "5245414402C00001");
    EXPECT_EQ(ReadFrame(135), "5245414402D00021");
    const char* expectedAddress[] = {"0300", "0380", "0200", "0240", "0270", "0280", "02C0", "02D0"};
    for (int j = 128; j < 136; ++j) EXPECT_EQ(ReadFrame(j).substr(8, 4), expectedAddress[j - 128]);
}

TEST(TransferList, ReplyLengths) {
    EXPECT_TRUE(ReplyComplete(0, 96));
    EXPECT_FALSE(ReplyComplete(0, 98));
    EXPECT_TRUE(ReplyComplete(132, 32));
    EXPECT_TRUE(ReplyComplete(132, 96));
    EXPECT_TRUE(ReplyComplete(134, 2));
    EXPECT_TRUE(ReplyComplete(135, 66));
    EXPECT_TRUE(ReplyComplete(133, 128));
    // A 96-digit reply cannot fill the 64-byte identity block: k15 would come out short.
    EXPECT_FALSE(ReplyComplete(133, 96));
}

TEST(WriteFrames, FromTheStartupState) {
    EditorState state;
    const auto r = BuildWriteFrames(state);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.value.size(), 136u);
    std::size_t sent = 0;
    for (const auto& f : r.value) sent += f.size() / 2;
    EXPECT_EQ(sent, 6450u + 136u * 8u);
    const std::string empty2 = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFFFFFFFFFF";
    EXPECT_EQ(r.value[0], "5752494504000030" + empty2 + empty2);
    EXPECT_EQ(r.value[128], "5752494503000030" + state.k[1] + state.k[2] + std::string(32, 'F'));
    EXPECT_EQ(r.value[130], "5752494502000030" + state.k[5] + std::string(60, 'F'));
    EXPECT_EQ(r.value[133].substr(0, 16), "5752494502800040");
    EXPECT_EQ(r.value[133].size(), 16u + 128u);
    EXPECT_EQ(r.value[134], "5752494502C0000100");
    EXPECT_EQ(r.value[135], "5752494502D00021" + state.k[10] + state.k[11]);
    EXPECT_EQ(r.value[135].substr(r.value[135].size() - 2), "01");  // xp5 "开" rides in k11

    state.dtmf.sypz9 = 2;
    EXPECT_EQ(BuildWriteFrames(state).value[134], "5752494502C0000102");
}

TEST(WriteFrames, RefuseABadHiddenFieldOrCellBeforeAnythingIsBuilt) {
    EditorState state;
    state.k[13] = "00FFFFFFFFFF00FFFFFFFF";  // two digits short
    auto r = BuildWriteFrames(state);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.value.empty());
    EXPECT_NE(r.error.find("k13"), std::string::npos) << r.error;

    state = EditorState();
    state.k[5][3] = 'g';
    EXPECT_NE(BuildWriteFrames(state).error.find("k5"), std::string::npos);

    state = EditorState();
    state.lower.at(7, kColTxFreq) = "1.2.3";
    r = BuildWriteFrames(state);
    EXPECT_NE(r.error.find("下段信道 第7信道"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("发射频率"), std::string::npos) << r.error;

    state = EditorState();
    state.upper.at(3, kColRxTone) = "D0Z3N";
    r = BuildWriteFrames(state);
    EXPECT_NE(r.error.find("上段信道 第3信道"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("接收亚音频"), std::string::npos) << r.error;
}

TEST(ReadBlocks, SetTheirHiddenFieldsAndTheRemoteState) {
    EditorState state;
    std::string reply;
    for (int i = 0; i < 64; ++i) reply += hexDigits(static_cast<std::uint32_t>(i), 2);
    ApplyReadBlock(state, 133, reply);
    EXPECT_EQ(state.k[12], reply.substr(0, 32));
    EXPECT_EQ(state.k[13], reply.substr(32, 24));
    EXPECT_EQ(state.k[14], reply.substr(56, 24));
    EXPECT_EQ(state.k[15], reply.substr(80, 24));

    state.dtmf.sypz9 = 0;
    ApplyReadBlock(state, 134, "01");
    EXPECT_EQ(state.dtmf.sypz9, 1);
    ApplyReadBlock(state, 134, "05");
    EXPECT_EQ(state.dtmf.sypz9, 1);

    // A 96-digit answer to the 16-byte block is decoded from its beginning.
    ApplyReadBlock(state, 132, "0301020300000000" "020A00FFFFFFFFFF" + std::string(64, '0'));
    EXPECT_EQ(state.k[9], "0301020300000000020A00FFFFFFFFFF");
    EXPECT_EQ(state.dtmf.sy[7], "123");
    EXPECT_EQ(state.dtmf.sy[8], "0D");
}

TEST(ReadBlocks, ImageRoundTripOfTheStartupState) {
    const EditorState start;
    const auto frames = BuildWriteFrames(start);
    const auto image = ImageFromFrames(frames.value);
    ASSERT_EQ(image.size(), 0x1C00u);
    EXPECT_EQ(image[0x0230], 0xFF);  // a gap
    EditorState back;
    for (const auto& b : TransferList())
        ApplyReadBlock(back, b.j, BytesToHex(image.data() + b.address, b.length));
    EXPECT_EQ(back.k, start.k);
    EXPECT_EQ(back.upper, start.upper);
    EXPECT_EQ(back.general, start.general);
    // The decoder writes frequency texts with five decimals.
    EXPECT_EQ(back.upperBand.offset, "10.00000");
}
