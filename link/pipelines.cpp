#include "link/pipelines.h"

#include <optional>

#include "image/transfer.h"
#include "link/backups.h"
#include "link/messages.h"

namespace radiolink {

Result ReadKeepingBackup(Radio& radio, image::EditorState& state, const std::string& port, const Progress& progress,
                         std::vector<std::uint8_t>* raw) {
    std::vector<std::uint8_t> bytes;
    Result result = ReadRadio(radio, state, progress, &bytes);
    if (raw) *raw = bytes;
    // Names and lines whose bytes are no GBK text are kept as they are: say where they are.
    if (result.progress > 0)
        for (const std::string& field : image::NonGbkFields(state)) result.tell(field);
    if (bytes.empty() || result.progress == 0) return result;  // refused, or nothing received
    const auto saved = SaveBackup(bytes, port, result.ok() ? kComplete : result.progress);
    result.backup = saved.value;
    result.fileProblem = result.ok() && !saved.ok();  // a failed read stays a failed transfer
    result.tell(saved.ok() ? base::Tr("备份: %1", result.backup) : saved.message());
    return result;
}

namespace {

// What a write that ended early leaves in the radio. A stop comes at a block boundary; a
// fault (no answer, a wrong one, the cable) may come after the radio stored the block.
void tellWhatTheRadioHolds(Result& result) {
    if (result.ok()) return;
    const std::string n = std::to_string(result.progress);
    if (result.interrupted) {
        if (result.progress > 0) result.tell(base::Tr("电台中已有 %1 块是新写入的, 其余仍是原来的内容", n));
    } else if (result.progress > 0) {
        result.tell(base::Tr("电台中已有 %1 块是新写入的, 第 %1 块可能也已写入, 其余仍是原来的内容", n));
    } else {
        result.tell(base::Tr("第 0 块可能已写入, 其余仍是原来的内容"));
    }
}

// Reads the radio into a scratch state and keeps the backup. Empty when it was kept (`backup`
// names it); otherwise the refusal to return: nothing may be written.
std::optional<Result> backUpFirst(Radio& radio, const std::string& port, const Progress& progress,
                                  std::string& backup) {
    image::EditorState scratch;
    Result read = ReadKeepingBackup(radio, scratch, port, progress);
    if (read.ok() && !read.backup.empty()) {
        backup = read.backup;
        return std::nullopt;
    }
    Result refused = Failed(kWriteFailed, base::Tr(kNothingWritten), base::ErrorKind::Refused);
    refused.interrupted = read.interrupted;
    refused.backup = read.backup;
    // Read in full, but not saved: a file error, not the radio's.
    refused.fileProblem = read.ok() && read.backup.empty();
    refused.tell(read.detail());
    return refused;
}

// Backs the radio up first when asked (nothing is written without the backup), then runs the
// write; `after` goes on from a write that ran (the verify). Says what a write that ended
// early left in the radio, and where the backup is.
template <class Write, class After>
Result backUpThenWrite(Radio& radio, bool backUp, const std::string& port, const Progress& progress,
                       const std::function<void(Step)>& step, Write write, After after) {
    auto begin = [&](Step s) {
        if (step) step(s);
        if (progress) progress(0);
    };
    std::string backup;
    if (backUp) {
        begin(Step::Backup);
        if (auto refused = backUpFirst(radio, port, progress, backup)) return *refused;
    }
    begin(Step::Write);
    Result result = write();
    result.backup = backup;
    tellWhatTheRadioHolds(result);
    after(result, begin);
    if (!backup.empty()) result.tell(base::Tr("写前备份: %1", backup));
    return result;
}

}  // namespace

Result WriteSafely(Radio& radio, const image::EditorState& state, const WritePlan& plan, const std::string& port,
                   const Progress& progress, const std::function<void(Step)>& step) {
    if (radio.busy()) return Busy();
    const auto frames = image::BuildWriteFrames(state);
    if (!frames.ok()) return Failed(kWriteFailed, frames.error, base::ErrorKind::BadData);
    return backUpThenWrite(
        radio, plan.backup, port, progress, step, [&] { return WriteRadio(radio, state, progress); },
        [&](Result& result, const auto& begin) {
            if (!result.ok() || !plan.verify) return;
            begin(Step::Verify);
            Result verified = VerifyRadio(radio, frames.value, progress);
            result.message = base::Tr(verified.ok() ? kWriteOk : kWriteFailed);
            result.interrupted = verified.interrupted;
            result.error = verified.ok() ? "" : base::Tr("校验: %1", verified.error);
            result.kind = verified.kind;
            result.notes = {};
            if (result.ok()) result.tell(base::Tr("校验正确: 写入的每个字节读回都一样"));
        });
}

Result RestoreSafely(Radio& radio, const std::vector<std::uint8_t>& memory, bool backUp, const std::string& port,
                     const Progress& progress, const std::function<void(Step)>& step) {
    if (radio.busy()) return Busy();
    if (memory.size() != image::kImageSize) return RestoreRadio(radio, memory, progress);  // refused, nothing sent
    return backUpThenWrite(
        radio, backUp, port, progress, step, [&] { return RestoreRadio(radio, memory, progress); },
        [](Result&, const auto&) {});
}

}  // namespace radiolink
