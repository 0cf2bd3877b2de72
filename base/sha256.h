// SHA-256 (FIPS 180-4) of a byte string, for the fleet log's fingerprint of each image
// written. Our own few lines rather than libsodium: radio-cli links no libsodium on Windows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace base {

std::array<std::uint8_t, 32> Sha256(std::string_view bytes);
// The digest as 64 lowercase hex digits, as sha256sum prints it.
std::string Sha256Hex(std::string_view bytes);

}  // namespace base
