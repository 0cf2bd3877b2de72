// The one way this program writes a file: the bytes go to a new temporary file in the
// target's folder, are synced, and the temporary file is renamed over the target, so a
// reader, a crash or a full disk never sees half a file. The temporary file is created
// exclusively and never through a link, so nothing planted at a temporary name is followed.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/outcome.h"

namespace files {

struct WriteOptions {
    // Permissions of the file written: nullopt keeps those of an existing target and gives a
    // new one 0666 less the umask; a value sets exactly these bits whatever was found.
    std::optional<mode_t> mode;
};

// Writes `bytes` as the whole content of `path`. A symbolic link at `path` is followed (the
// file it names is replaced) unless it may have been planted by another user (LinkRefusal in
// files/folders.h: then nothing is written and the reason says so). A target without any
// write permission is left alone. Temporary files that a killed writer left in the folder
// are removed first (RemoveStaleTemporaries). A failure gives the reason: the system's text and
// kind, kReadOnly (ReadOnly) or kPlantedLink (Refused).
base::Outcome<> WriteAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options = {});

// The reason given for a target marked read-only.
inline constexpr const char* kReadOnly = "the file is marked read-only";

}  // namespace files
