// The transfer list: the 136 blocks a full read or write moves, always in this order, and
// what each block is made of in the editor. Block j done means progress j + 1.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/editor_state.h"
#include "base/outcome.h"

namespace image {

constexpr int kBlockCount = 136;
constexpr std::uint16_t kImageSize = 0x1C00;  // every block lies below 0x1C00

enum class BlockKind { UpperChannels, LowerChannels, UpperBand, LowerBand, General, Dtmf, Dtmf78, IdCodes, RemoteState, PowerOnLimits };

// On a read, hidden field k<field> takes digits from..to of the reply.
struct FieldSlice {
    int field;
    int from, to;
};

// On a write, the data are these pieces in order: a hidden field's text, n bytes 0xFF, or
// the remote-state selection. Channel blocks are the records of their two rows instead.
struct Piece {
    enum Kind { Field, Fill, Remote } kind;
    int n;
};

struct TransferBlock {
    int j;
    BlockKind kind;
    std::uint16_t address;
    std::uint16_t length;        // bytes; the reply on a read has 2 x length digits
    int firstRow;                // channel blocks: the row of the block's first record
    std::array<FieldSlice, 4> slices;
    int sliceCount;
    std::array<Piece, 5> pieces;
    int pieceCount;
};

const std::array<TransferBlock, kBlockCount>& TransferList();

// The one settings block of a kind (not a channel kind).
const TransferBlock& BlockOf(BlockKind kind);

// "52454144" + address + length, as hex text.
std::string ReadFrame(int j);

// Where hidden field k<field> lies in the radio's memory, taken from the block that carries
// it (k10, the power-on message, is 16 bytes at 0x02D0; k11, the limits, 17 at 0x02E0).
struct MemorySpan {
    std::uint16_t address;
    std::uint16_t length;
};
MemorySpan FieldInMemory(int field);
// The read frame for a span, and the write frame with its data as hex text.
std::string ReadFrame(MemorySpan span);
std::string WriteFrame(MemorySpan span, std::string_view dataHex);

// A reply is complete at exactly 2 x length digits. A block of at most 48 bytes also takes a
// 96-digit reply (the length of every other block) and is decoded from its beginning.
bool ReplyComplete(int j, std::size_t replyDigits);

// Runs block j's decoder on the reply and sets the block's hidden fields (or sypz9).
void ApplyReadBlock(EditorState& state, int j, std::string_view reply);

// The data part of block j as hex text, or the error that stops it being built.
base::Outcome<std::string> BlockData(const EditorState& state, int j);

// The 136 write frames as hex text, header and data, each checked: every hidden field at its
// exact length and pure hex, every channel encodable. Nothing may be sent unless this
// succeeds; the error names the field, or the band, channel and column.
base::Outcome<std::vector<std::string>> BuildWriteFrames(const EditorState& state);

// The 7168-byte image the frames write (0xFF wherever no block lies).
std::vector<std::uint8_t> ImageFromFrames(const std::vector<std::string>& frames);

// The write frames that put back the bytes an image holds where the blocks lie (a restore).
// The image must be kImageSize bytes.
std::vector<std::string> FramesFromImage(const std::vector<std::uint8_t>& image);

}  // namespace image
