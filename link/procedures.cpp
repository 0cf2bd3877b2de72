// The full read and the full write: "PROM_LIN", 136 frames of the transfer list, "EXIT".
#include <algorithm>

#include "image/hex.h"
#include "image/transfer.h"
#include "link/link.h"
#include "link/messages.h"
#include "link/waits.h"

namespace radiolink {
namespace {

std::string blockName(int j) {
    const auto& b = image::TransferList()[static_cast<std::size_t>(j)];
    return "block " + std::to_string(j) + " (0x" + image::hexDigits(b.address, 4) + ", " + std::to_string(b.length) +
           " bytes)";
}

// What came back instead of a read answer of `expectedDigits`.
std::string readFault(const std::string& got, std::size_t expectedDigits, bool hungUp) {
    if (hungUp) return "the port was closed or unplugged";
    if (got.empty()) return "nothing came back";
    const auto gotBytes = got.size() / 2, want = expectedDigits / 2;
    if (gotBytes < want) return std::to_string(want - gotBytes) + " bytes too few";
    return std::to_string(gotBytes - want) + " bytes too many";
}

std::string ackFault(const std::string& got, bool hungUp) {
    if (hungUp) return "the port was closed or unplugged";
    if (got.empty()) return "nothing came back";
    return "a wrong acknowledgement (" + got + ")";
}

// Reads the 136 blocks, handing each complete answer to onBlock. Returns the failure detail,
// or "" when every block arrived.
template <class OnBlock>
std::string readBlocks(Radio& radio, const Progress& progress, int& done, OnBlock onBlock) {
    for (int j = 0; j < image::kBlockCount; ++j) {
        radio.RecvHex().clear();
        radio.send(image::ReadFrame(j));
        const bool ok = AwaitReply(radio, [j](const std::string& r) { return image::ReplyComplete(j, r.size()); });
        if (!ok) {
            const std::size_t expected = 2u * image::TransferList()[static_cast<std::size_t>(j)].length;
            return blockName(j) + ": " + readFault(radio.RecvHex(), expected, radio.hungUp());
        }
        done = j + 1;
        if (progress) progress(done);
        onBlock(j, radio.RecvHex());
    }
    return {};
}

void keepRaw(std::vector<std::uint8_t>* raw, int j, const std::string& reply) {
    if (!raw) return;
    const auto& b = image::TransferList()[static_cast<std::size_t>(j)];
    const auto bytes = image::HexToBytes(std::string_view(reply).substr(0, 2u * b.length));
    std::copy(bytes.bytes.begin(), bytes.bytes.end(), raw->begin() + b.address);
}

Result busy() { return {false, "", "another transfer is running", 0}; }

}  // namespace

Result ReadRadio(Radio& radio, image::EditorState& state, const Progress& progress, std::vector<std::uint8_t>* raw) {
    Radio::Session session(radio);
    if (!session.acquired()) return busy();
    if (raw) raw->assign(image::kImageSize, 0xFF);
    Result result;
    OpenProcedure(radio);
    const std::string fault = readBlocks(radio, progress, result.progress, [&](int j, const std::string& reply) {
        image::ApplyReadBlock(state, j, reply);
        keepRaw(raw, j, reply);
    });
    CloseProcedure(radio);
    result.ok = fault.empty();
    result.message = result.ok ? kReadOk : kReadFailed;
    result.detail = fault;
    return result;
}

namespace {

// Sends the 136 write frames, each acknowledged by exactly 06.
Result writeFrames(Radio& radio, const std::vector<std::string>& frames, const Progress& progress) {
    Result result;
    OpenProcedure(radio);
    std::string fault;
    for (int j = 0; j < image::kBlockCount && fault.empty(); ++j) {
        radio.send(frames[static_cast<std::size_t>(j)]);
        // RecvHex is cleared after each acknowledgement, not before each frame.
        if (!AwaitReply(radio, [](const std::string& r) { return r == "06"; })) {
            fault = blockName(j) + ": " + ackFault(radio.RecvHex(), radio.hungUp());
            break;
        }
        result.progress = j + 1;
        if (progress) progress(result.progress);
        radio.RecvHex().clear();
    }
    CloseProcedure(radio);
    result.ok = fault.empty();
    result.message = result.ok ? kWriteOk : kWriteFailed;
    result.detail = fault;
    return result;
}

}  // namespace

Result WriteRadio(Radio& radio, const image::EditorState& state, const Progress& progress) {
    Radio::Session session(radio);
    if (!session.acquired()) return busy();
    // Every frame is built and checked first: a bad field stops the write before
    // "PROM_LIN", so the radio never gets a frame shorter than its length field.
    const auto frames = image::BuildWriteFrames(state);
    if (!frames.ok()) return {false, kWriteFailed, frames.error, 0};
    return writeFrames(radio, frames.frames, progress);
}

Result RestoreRadio(Radio& radio, const std::vector<std::uint8_t>& memory, const Progress& progress) {
    Radio::Session session(radio);
    if (!session.acquired()) return busy();
    if (memory.size() != image::kImageSize)
        return {false, kWriteFailed, "an image holds " + std::to_string(image::kImageSize) + " bytes, this one " +
                                         std::to_string(memory.size()), 0};
    return writeFrames(radio, image::FramesFromImage(memory), progress);
}

Result VerifyRadio(Radio& radio, const std::vector<std::string>& writeFrames, const Progress& progress) {
    Radio::Session session(radio);
    if (!session.acquired()) return busy();
    const auto expected = image::ImageFromFrames(writeFrames);
    std::vector<std::uint8_t> raw(image::kImageSize, 0xFF);
    Result result;
    OpenProcedure(radio);
    std::string fault = readBlocks(radio, progress, result.progress,
                                   [&](int j, const std::string& reply) { keepRaw(&raw, j, reply); });
    CloseProcedure(radio);
    if (fault.empty()) {
        for (const auto& b : image::TransferList()) {
            const auto first = raw.begin() + b.address;
            const auto mismatch = std::mismatch(first, first + b.length, expected.begin() + b.address);
            if (mismatch.first != first + b.length) {
                const auto at = static_cast<std::uint32_t>(mismatch.first - raw.begin());
                fault = blockName(b.j) + " differs at 0x" + image::hexDigits(at, 4) + ": the radio holds " +
                        image::hexDigits(*mismatch.first, 2) + ", the write sent " +
                        image::hexDigits(*mismatch.second, 2);
                break;
            }
        }
    }
    result.ok = fault.empty();
    result.message = result.ok ? kWriteOk : kWriteFailed;
    result.detail = fault;
    return result;
}

}  // namespace radiolink
