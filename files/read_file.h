// The one way this program reads a file: the path must name a regular file no larger than
// what the caller expects it to hold. Anything else (a folder, a FIFO, a device, a file
// growing or too large) is refused at once: the file is opened without blocking, examined
// before a byte is read, and never more than the bound + 1 bytes are read or kept.
#pragma once

#include <cstddef>
#include <string>

#include "base/outcome.h"

namespace files {

// The whole file as its value. Refused: Folder ("Is a directory"), NotRegular ("Not a regular
// file (a device, pipe or socket)"), TooLarge ("Larger than N bytes"); otherwise the system's
// reason and kind (NotFound, Permission, System).
base::Outcome<std::string> ReadFile(const std::string& path, std::size_t maxBytes);

}  // namespace files
