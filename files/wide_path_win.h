// Windows: text is UTF-8 inside this program and UTF-16 at the system's calls, and the
// system's reason for a failure is its error code's message.
#pragma once

#include <cstdint>
#include <string>

#include "base/outcome.h"

namespace files {

// UTF-8 to UTF-16 and back; invalid input becomes U+FFFD.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// The system's message for a GetLastError() code, in UTF-8, without the closing period and
// line break ("The system cannot find the file specified").
std::string WindowsReason(std::uint32_t error);

// What a caller may act on in a GetLastError() code.
base::ErrorKind WindowsKind(std::uint32_t error);

template <class T = base::Nothing>
base::Outcome<T> WindowsFailure(std::uint32_t error) {
    return base::Failure<T>(WindowsReason(error), WindowsKind(error));
}

}  // namespace files
