#include "image/transfer.h"

#include <stdexcept>

#include "image/band_page.h"
#include "image/channel_codec.h"
#include "image/dtmf_page.h"
#include "image/general_page.h"
#include "base/hex.h"
#include "image/limits_page.h"
#include "base/text.h"

namespace image {
using base::BytesToHex;
using base::Failure;
using base::HexToBytes;
using base::IsUpperHex;
using base::Outcome;
using base::Success;
using base::digits;
using base::hexDigits;

namespace {

constexpr Piece F(int n) { return {Piece::Field, n}; }
constexpr Piece Fill(int n) { return {Piece::Fill, n}; }

// The eight settings blocks, j = 128 .. 135.
const TransferBlock kSettingsBlocks[] = {
    {128, BlockKind::UpperBand, 0x0300, 0x30, 0, {{{1, 1, 32}, {2, 33, 64}}}, 2, {{F(1), F(2), Fill(16)}}, 3},
    {129, BlockKind::LowerBand, 0x0380, 0x30, 0, {{{3, 1, 32}, {4, 33, 64}}}, 2, {{F(3), F(4), Fill(16)}}, 3},
    {130, BlockKind::General, 0x0200, 0x30, 0, {{{5, 1, 36}}}, 1, {{F(5), Fill(30)}}, 2},
    {131, BlockKind::Dtmf, 0x0240, 0x30, 0, {{{6, 1, 32}, {7, 33, 64}, {8, 65, 96}}}, 3, {{F(6), F(7), F(8)}}, 3},
    {132, BlockKind::Dtmf78, 0x0270, 0x10, 0, {{{9, 1, 32}}}, 1, {{F(9)}}, 1},
    {133, BlockKind::IdCodes, 0x0280, 0x40, 0, {{{12, 1, 32}, {13, 33, 56}, {14, 57, 80}, {15, 81, 104}}}, 4,
     {{F(12), F(13), F(14), F(15), Fill(12)}}, 5},
    {134, BlockKind::RemoteState, 0x02C0, 0x01, 0, {}, 0, {{{Piece::Remote, 0}}}, 1},
    {135, BlockKind::PowerOnLimits, 0x02D0, 0x21, 0, {{{10, 1, 32}, {11, 33, 66}}}, 2, {{F(10), F(11)}}, 2},
};

std::array<TransferBlock, kBlockCount> buildList() {
    std::array<TransferBlock, kBlockCount> list{};
    for (int j = 0; j < 128; ++j) {
        const bool upper = j < 64;
        const int b = upper ? j : j - 64;
        list[static_cast<std::size_t>(j)] = {j, upper ? BlockKind::UpperChannels : BlockKind::LowerChannels,
                                             static_cast<std::uint16_t>((upper ? 0x0400 : 0x1000) + 48 * b),
                                             0x30, 2 * b + 1, {}, 0, {}, 0};
    }
    for (const auto& block : kSettingsBlocks) list[static_cast<std::size_t>(block.j)] = block;
    return list;
}

const TransferBlock& block(int j) { return TransferList().at(static_cast<std::size_t>(j)); }

MemorySpan spanOf(const TransferBlock& b) { return {b.address, b.length}; }

}  // namespace

const std::array<TransferBlock, kBlockCount>& TransferList() {
    static const auto list = buildList();
    return list;
}

const TransferBlock& BlockOf(BlockKind kind) {
    for (const TransferBlock& b : kSettingsBlocks)
        if (b.kind == kind) return b;
    throw std::out_of_range("no settings block of that kind");
}

std::string ReadFrame(int j) { return ReadFrame(spanOf(block(j))); }

MemorySpan FieldInMemory(int field) {
    for (const TransferBlock& b : TransferList())
        for (int i = 0; i < b.sliceCount; ++i) {
            const FieldSlice& s = b.slices[static_cast<std::size_t>(i)];
            if (s.field == field)
                return {static_cast<std::uint16_t>(b.address + (s.from - 1) / 2),
                        static_cast<std::uint16_t>((s.to - s.from + 1) / 2)};
        }
    throw std::out_of_range("no block carries hidden field k" + std::to_string(field));
}

std::string ReadFrame(MemorySpan span) { return "52454144" + hexDigits(span.address, 4) + hexDigits(span.length, 4); }

std::string WriteFrame(MemorySpan span, std::string_view dataHex) {
    return "57524945" + hexDigits(span.address, 4) + hexDigits(span.length, 4) + std::string(dataHex);
}

bool ReplyComplete(int j, std::size_t replyDigits) {
    const auto& b = block(j);
    return replyDigits == 2u * b.length || (b.length <= 48 && replyDigits == 96);
}

void ApplyReadBlock(EditorState& state, int j, std::string_view reply) {
    const auto& b = block(j);
    switch (b.kind) {
        case BlockKind::UpperChannels:
        case BlockKind::LowerChannels: {
            Grid& grid = state.grid(b.kind == BlockKind::UpperChannels ? Band::Upper : Band::Lower);
            DecodeChannel(digits(reply, 1, 48), grid, b.firstRow);
            DecodeChannel(digits(reply, 49, 96), grid, b.firstRow + 1);
            break;
        }
        case BlockKind::UpperBand: DecodeBandBlock(state, Band::Upper, reply); break;
        case BlockKind::LowerBand: DecodeBandBlock(state, Band::Lower, reply); break;
        case BlockKind::General: DecodeGeneralBlock(state, reply); break;
        case BlockKind::Dtmf: DecodeDtmfBlock(state, reply); break;
        case BlockKind::Dtmf78: DecodeDtmf78Block(state, reply); break;
        case BlockKind::IdCodes: DecodeIdCodeBlock(state, reply); break;
        case BlockKind::RemoteState: {
            const auto v = digits(reply, 1, 2);
            if (v == "00" || v == "01" || v == "02") state.dtmf.sypz9 = v[1] - '0';
            break;
        }
        case BlockKind::PowerOnLimits: DecodePowerOnAndLimits(state, reply); break;
    }
    for (int s = 0; s < b.sliceCount; ++s) {
        const auto& slice = b.slices[static_cast<std::size_t>(s)];
        state.k[static_cast<std::size_t>(slice.field)] =
            std::string(digits(reply, static_cast<std::size_t>(slice.from), static_cast<std::size_t>(slice.to)));
    }
}

Outcome<std::string> BlockData(const EditorState& state, int j) {
    const auto& b = block(j);
    std::string data;
    if (b.kind == BlockKind::UpperChannels || b.kind == BlockKind::LowerChannels) {
        const Band band = b.kind == BlockKind::UpperChannels ? Band::Upper : Band::Lower;
        for (int row = b.firstRow; row <= b.firstRow + 1; ++row) {
            const auto record = EncodeChannel(state.grid(band), row, band);
            if (!record.ok()) return record;
            data += record.value;
        }
    }
    for (int p = 0; p < b.pieceCount; ++p) {
        const Piece& piece = b.pieces[static_cast<std::size_t>(p)];
        switch (piece.kind) {
            case Piece::Field: {
                const std::string& text = state.k[static_cast<std::size_t>(piece.n)];
                const auto& field = hiddenField(piece.n);
                if (static_cast<int>(text.size()) != field.digits || !IsUpperHex(text))
                    return Failure<std::string>(base::Tr("隐藏字段 k%1 (%2) 应为 %3 位十六进制数字, 现在是 \"%4\"", piece.n,
                                                                  base::Tr(field.caption), field.digits, text));
                data += text;
                break;
            }
            case Piece::Fill: data += std::string(2 * static_cast<std::size_t>(piece.n), 'F'); break;
            case Piece::Remote:
                if (state.dtmf.sypz9 < 0 || state.dtmf.sypz9 > 2)
                    return Failure<std::string>(base::Tr("当前状态 (sypz9) has no selection"));
                data += hexDigits(static_cast<std::uint32_t>(state.dtmf.sypz9), 2);
                break;
        }
    }
    if (data.size() != 2u * b.length)
        return Failure<std::string>("block " + std::to_string(j) + " would carry " + std::to_string(data.size() / 2) +
                                    " bytes, not " + std::to_string(b.length));
    return Success(std::move(data));
}

Outcome<std::vector<std::string>> BuildWriteFrames(const EditorState& state) {
    Outcome<std::vector<std::string>> result;
    result.value.reserve(kBlockCount);
    for (int j = 0; j < kBlockCount; ++j) {
        const auto data = BlockData(state, j);
        if (!data.ok()) return Failure<std::vector<std::string>>(data.error);
        result.value.push_back(WriteFrame(spanOf(block(j)), data.value));
    }
    return result;
}

std::vector<std::uint8_t> ImageFromFrames(const std::vector<std::string>& frames) {
    std::vector<std::uint8_t> image(kImageSize, 0xFF);
    for (std::size_t j = 0; j < frames.size() && j < kBlockCount; ++j) {
        const auto& b = block(static_cast<int>(j));
        const auto bytes = HexToBytes(std::string_view(frames[j]).substr(16));
        for (std::size_t i = 0; i < bytes.value.size() && b.address + i < image.size(); ++i)
            image[b.address + i] = bytes.value[i];
    }
    return image;
}

std::vector<std::string> FramesFromImage(const std::vector<std::uint8_t>& image) {
    std::vector<std::string> frames;
    for (const auto& b : TransferList()) {
        if (image.size() < static_cast<std::size_t>(b.address) + b.length) break;
        frames.push_back(WriteFrame(spanOf(b), BytesToHex(image.data() + b.address, b.length)));
    }
    return frames;
}

}  // namespace image
