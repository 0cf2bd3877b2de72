// Reading and writing codeplug files on disk.
#include "codeplug/codeplug.h"
#include "files/atomic_write.h"
#include "files/read_file.h"

namespace codeplug {

image::Outcome<> WriteAtomically(const std::string& path, std::string_view bytes) {
    image::Outcome<> written = files::WriteAtomically(path, bytes);
    if (!written.ok()) written.error = "Cannot create file \"" + path + "\". " + written.message();
    written.context.clear();
    return written;
}

image::Outcome<> SaveFile(const std::string& path, const image::EditorState& state, Words words) {
    SaveText text = ToText(state, words);
    if (!text.ok())
        return image::Failure((words == Words::Chinese ? "不能保存\"" : "Cannot save \"") + path + "\": " + text.error,
                              image::ErrorKind::BadData);
    image::Outcome<> result = WriteAtomically(path, text.value);
    result.notes = std::move(text.notes);
    return result;
}

OpenResult OpenFile(const std::string& path, const image::EditorState& current, Words words) {
    auto bytes = files::ReadFile(path, kMaxFileBytes);
    if (!bytes.ok()) {
        OpenResult refused = image::Failure<image::EditorState>(bytes);
        refused.value = current;
        refused.error = "Cannot open file \"" + path + "\". " + bytes.message();
        refused.context.clear();
        return refused;
    }
    return FromText(bytes.value, current, words).within(path);
}

}  // namespace codeplug
