// Reading and writing codeplug files on disk.
#include "codeplug/codeplug.h"
#include "files/atomic_write.h"
#include "files/read_file.h"
#include "base/text.h"

namespace codeplug {

base::Outcome<> WriteAtomically(const std::string& path, std::string_view bytes) {
    base::Outcome<> written = files::WriteAtomically(path, bytes);
    if (!written.ok()) written.error = "Cannot create file \"" + path + "\". " + written.message();
    written.context.clear();
    return written;
}

base::Outcome<> SaveFile(const std::string& path, const image::EditorState& state) {
    SaveText text = ToText(state);
    if (!text.ok()) return base::Failure(base::Tr("不能保存\"%1\": %2", path, text.error), base::ErrorKind::BadData);
    base::Outcome<> result = WriteAtomically(path, text.value);
    result.notes = std::move(text.notes);
    return result;
}

OpenResult OpenFile(const std::string& path, const image::EditorState& current) {
    auto bytes = files::ReadFile(path, kMaxFileBytes);
    if (!bytes.ok()) {
        OpenResult refused = base::Failure<image::EditorState>(bytes);
        refused.value = current;
        refused.error = "Cannot open file \"" + path + "\". " + bytes.message();
        refused.context.clear();
        return refused;
    }
    return FromText(bytes.value, current).within(path);
}

}  // namespace codeplug
