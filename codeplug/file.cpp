// Reading and writing codeplug files on disk.
#include "codeplug/codeplug.h"
#include "files/atomic_write.h"
#include "files/read_file.h"

namespace codeplug {

std::string WriteAtomically(const std::string& path, std::string_view bytes) {
    const std::string reason = files::WriteAtomically(path, bytes);
    return reason.empty() ? reason : "Cannot create file \"" + path + "\". " + reason;
}

image::Outcome<> SaveFile(const std::string& path, const image::EditorState& state, Words words) {
    SaveText text = ToText(state, words);
    if (!text.ok())
        return image::Failure((words == Words::Chinese ? "不能保存\"" : "Cannot save \"") + path + "\": " + text.error);
    image::Outcome<> result;
    result.notes = std::move(text.notes);
    result.error = WriteAtomically(path, text.value);
    return result;
}

OpenResult OpenFile(const std::string& path, const image::EditorState& current, Words words) {
    std::string reason;
    const auto bytes = files::ReadFile(path, kMaxFileBytes, reason);
    if (!bytes) return OpenResult{current, "Cannot open file \"" + path + "\". " + reason, {}};
    return FromText(*bytes, current, words);
}

}  // namespace codeplug
