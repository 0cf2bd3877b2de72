// The memory of a virtual radio as it leaves our own programming bench: a dozen named
// channels in each band with sub-audio tones and signalling, both band settings, the general
// settings, DTMF and identity codes, a power-on message and band limits. Every byte outside
// these is 0xFF, as in a radio that was never written there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

inline constexpr std::size_t kMemorySize = 0x1C00;  // 0x0000 .. 0x1BFF

std::vector<std::uint8_t> sampleImage();

}  // namespace sim
