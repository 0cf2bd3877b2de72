// The one way this program reads a file: the path must name a regular file no larger than
// what the caller expects it to hold. Anything else (a folder, a FIFO, a device, a file
// growing or too large) is refused at once: the file is opened without blocking, examined
// before a byte is read, and never more than the bound + 1 bytes are read or kept.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace files {

enum class ReadProblem {
    kNone,
    kCannotOpen,   // the system refused (missing, no permission, ...): see `error`
    kDirectory,    // a folder
    kNotRegular,   // a FIFO, socket or device
    kTooLarge,     // more bytes than the bound
    kCannotRead,   // opened but a read failed: see `error`
};

struct ReadResult {
    std::optional<std::string> bytes;  // the whole file when it was read
    ReadProblem problem = ReadProblem::kNone;
    int error = 0;  // errno for kCannotOpen and kCannotRead

    bool ok() const { return bytes.has_value(); }
    // The reason in English, e.g. "Is a directory", "Larger than 1048576 bytes".
    std::string reason(std::size_t maxBytes) const;
};

ReadResult ReadFile(const std::string& path, std::size_t maxBytes);

// The same, with the reason as text: nullopt and `reason` set when the file was refused.
std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes, std::string& reason);

}  // namespace files
