#include "link/pipelines.h"

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
    std::string error;
    result.backup = SaveBackup(bytes, port, error, result.ok() ? kComplete : result.progress);
    result.tell(result.backup.empty() ? error : "备份: " + result.backup);
    return result;
}

Result WriteSafely(Radio& radio, const image::EditorState& state, const WritePlan& plan, const std::string& port,
                   const Progress& progress, const std::function<void(Step)>& step) {
    if (radio.busy()) return Busy();
    const auto frames = image::BuildWriteFrames(state);
    if (!frames.ok()) return Failed(kWriteFailed, frames.error);
    auto begin = [&](Step s) {
        if (step) step(s);
        if (progress) progress(0);
    };

    std::string backup;
    if (plan.backup) {
        begin(Step::Backup);
        image::EditorState scratch;
        Result read = ReadKeepingBackup(radio, scratch, port, progress);
        if (!read.ok() || read.backup.empty()) {
            Result refused = Failed(kWriteFailed, "没有写入任何数据: 写前备份没有完成");
            refused.interrupted = read.interrupted;
            refused.backup = read.backup;
            refused.tell(read.detail());
            return refused;
        }
        backup = read.backup;
    }

    begin(Step::Write);
    Result result = WriteRadio(radio, state, progress);
    result.backup = backup;
    if (!result.ok() && result.progress > 0)
        result.tell("电台中已有 " + std::to_string(result.progress) + " 块是新写入的, 其余仍是原来的内容");
    if (result.ok() && plan.verify) {
        begin(Step::Verify);
        Result verified = VerifyRadio(radio, frames.value, progress);
        result.message = verified.ok() ? kWriteOk : kWriteFailed;
        result.interrupted = verified.interrupted;
        result.error = verified.ok() ? "" : "校验: " + verified.error;
        result.notes = {};
        if (result.ok()) result.tell("校验正确: 写入的每个字节读回都一样");
    }
    if (!backup.empty()) result.tell("写前备份: " + backup);
    return result;
}

}  // namespace radiolink
