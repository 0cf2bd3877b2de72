// The full read and the full write: "PROM_LIN", 136 frames of the transfer list, "EXIT".
// A stop asked for (Radio::requestStop) ends a procedure at the next block boundary; "EXIT"
// is sent in every case once "PROM_LIN" has gone out.
#include <algorithm>

#include "base/hex.h"
#include "image/transfer.h"
#include "link/link.h"
#include "link/messages.h"
#include "link/waits.h"

namespace radiolink {
namespace {

std::string blockName(int j) {
    const auto& b = image::TransferList()[static_cast<std::size_t>(j)];
    return base::Tr("第 %1 块 (0x%2, %3 字节)", j, base::hexDigits(b.address, 4), b.length);
}

std::string flooded(const Radio& radio) {
    return base::Tr("%1 (超过 %2 字节)", base::Tr(kFlooded), radio.receiveLimit());
}

// What came back instead of a read answer of `expectedDigits`.
std::string readFault(const Radio& radio, std::size_t expectedDigits) {
    const std::string& got = radio.RecvHexView();
    if (radio.hungUp()) return base::Tr(kHungUp);
    if (radio.overflowed()) return flooded(radio);
    if (got.empty()) return base::Tr(kNoAnswer);
    const auto gotBytes = got.size() / 2, want = expectedDigits / 2;
    if (gotBytes < want) return base::Tr("少了 %1 字节", want - gotBytes);
    return base::Tr("多了 %1 字节", gotBytes - want);
}

std::string ackFault(const Radio& radio) {
    const std::string& got = radio.RecvHexView();
    if (radio.hungUp()) return base::Tr(kHungUp);
    if (radio.overflowed()) return flooded(radio);
    if (got.empty()) return base::Tr(kNoAnswer);
    return base::Tr("应答错误 (%1)", got);
}

// How a run of blocks ended.
struct RunEnd {
    std::string fault;         // the block and what came back; "" when none failed
    bool interrupted = false;  // stopped on request before the next block
    base::ErrorKind kind = base::ErrorKind::NoAnswer;  // of the fault
    bool ok() const { return fault.empty() && !interrupted; }
};

std::string interruptedAt(int done) {
    return base::Tr("已中断: 完成 %1 / %2 块", done, image::kBlockCount);
}

Result finish(const RunEnd& end, int progress, const char* ok, const char* failed) {
    Result result;
    result.message = base::Tr(end.ok() ? ok : failed);
    if (!end.ok()) {
        result.error = end.interrupted ? interruptedAt(progress) : end.fault;
        result.kind = end.interrupted ? base::ErrorKind::Interrupted : end.kind;
    }
    result.progress = progress;
    result.interrupted = end.interrupted;
    return result;
}

// Reads the 136 blocks, handing each complete answer to onBlock.
template <class OnBlock>
RunEnd readBlocks(Radio& radio, const Progress& progress, int& done, OnBlock onBlock) {
    for (int j = 0; j < image::kBlockCount; ++j) {
        if (radio.stopRequested()) return {{}, true};
        radio.clearReceived(image::TransferList()[static_cast<std::size_t>(j)].length);
        radio.send(image::ReadFrame(j));
        const bool ok = AwaitReply(radio, [j](const std::string& r) { return image::ReplyComplete(j, r.size()); });
        if (!ok) {
            const std::size_t expected = 2u * image::TransferList()[static_cast<std::size_t>(j)].length;
            return {blockName(j) + ": " + readFault(radio, expected)};
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
    const auto bytes = base::HexToBytes(std::string_view(reply).substr(0, 2u * b.length));
    std::copy(bytes.value.begin(), bytes.value.end(), raw->begin() + b.address);
}

// Sends the 136 write frames, each acknowledged by exactly 06.
Result writeFrames(Radio& radio, const std::vector<std::string>& frames, const Progress& progress) {
    int done = 0;
    RunEnd outcome;
    if (radio.stopRequested()) return finish({{}, true}, 0, kWriteOk, kWriteFailed);
    OpenProcedure(radio);
    for (int j = 0; j < image::kBlockCount; ++j) {
        if (radio.stopRequested()) {
            outcome.interrupted = true;
            break;
        }
        radio.send(frames[static_cast<std::size_t>(j)]);
        // RecvHex is cleared after each acknowledgement, not before each frame.
        if (!AwaitReply(radio, [](const std::string& r) { return r == "06"; })) {
            outcome.fault = blockName(j) + ": " + ackFault(radio);
            break;
        }
        done = j + 1;
        if (progress) progress(done);
        radio.clearReceived(1);
    }
    CloseProcedure(radio);
    return finish(outcome, done, kWriteOk, kWriteFailed);
}

}  // namespace

void Result::tell(const std::string& line) {
    if (line.empty()) return;
    if (ok()) {
        notes.push_back(line);
    } else {
        error += "\n" + line;
    }
}

std::string Result::detail() const {
    if (!ok()) return error;
    std::string lines;
    for (const std::string& note : notes) lines += (lines.empty() ? "" : "\n") + note;
    return lines;
}

Result Busy() { return Failed("", base::Tr(kBusy), base::ErrorKind::Busy); }

Result ReadRadio(Radio& radio, image::EditorState& state, const Progress& progress, std::vector<std::uint8_t>* raw) {
    Radio::Session session(radio);
    if (!session.acquired()) return Busy();
    if (raw) raw->assign(image::kImageSize, 0xFF);
    if (radio.stopRequested()) return finish({{}, true}, 0, kReadOk, kReadFailed);
    int done = 0;
    OpenProcedure(radio);
    const RunEnd outcome = readBlocks(radio, progress, done, [&](int j, const std::string& reply) {
        image::ApplyReadBlock(state, j, reply);
        keepRaw(raw, j, reply);
    });
    CloseProcedure(radio);
    return finish(outcome, done, kReadOk, kReadFailed);
}

Result WriteRadio(Radio& radio, const image::EditorState& state, const Progress& progress) {
    Radio::Session session(radio);
    if (!session.acquired()) return Busy();
    // Every frame is built and checked first: a bad field stops the write before
    // "PROM_LIN", so the radio never gets a frame shorter than its length field.
    const auto frames = image::BuildWriteFrames(state);
    if (!frames.ok()) return Failed(kWriteFailed, frames.error, base::ErrorKind::BadData);
    return writeFrames(radio, frames.value, progress);
}

Result RestoreRadio(Radio& radio, const std::vector<std::uint8_t>& memory, const Progress& progress) {
    Radio::Session session(radio);
    if (!session.acquired()) return Busy();
    if (memory.size() != image::kImageSize)
        return Failed(kWriteFailed, base::Tr("映像应有 %1 字节, 这个有 %2 字节", image::kImageSize, memory.size()),
                      base::ErrorKind::BadData);
    return writeFrames(radio, image::FramesFromImage(memory), progress);
}

Result VerifyRadio(Radio& radio, const std::vector<std::string>& writeFrames, const Progress& progress) {
    Radio::Session session(radio);
    if (!session.acquired()) return Busy();
    const auto expected = image::ImageFromFrames(writeFrames);
    std::vector<std::uint8_t> raw(image::kImageSize, 0xFF);
    if (radio.stopRequested()) return finish({{}, true}, 0, kWriteOk, kWriteFailed);
    int done = 0;
    OpenProcedure(radio);
    RunEnd outcome = readBlocks(radio, progress, done, [&](int j, const std::string& reply) { keepRaw(&raw, j, reply); });
    CloseProcedure(radio);
    if (outcome.ok()) {
        for (const auto& b : image::TransferList()) {
            const auto first = raw.begin() + b.address;
            const auto mismatch = std::mismatch(first, first + b.length, expected.begin() + b.address);
            if (mismatch.first != first + b.length) {
                const auto at = static_cast<std::uint32_t>(mismatch.first - raw.begin());
                outcome.fault = base::Tr("%1 在 0x%2 处不同: 电台中是 %3, 写入的是 %4", blockName(b.j),
                                         base::hexDigits(at, 4), base::hexDigits(*mismatch.first, 2),
                                         base::hexDigits(*mismatch.second, 2));
                outcome.kind = base::ErrorKind::BadData;
                break;
            }
        }
    }
    return finish(outcome, done, kWriteOk, kWriteFailed);
}

}  // namespace radiolink
