// The radio's two bands, in whole megahertz: the edges every frequency field is held to.
#pragma once

#include <cstdint>
#include <string>

namespace image {

constexpr int kVhfLowMHz = 136, kVhfHighMHz = 176, kUhfLowMHz = 400, kUhfHighMHz = 490;

// A frequency in 10 Hz units inside the band [lowMHz, highMHz], edges included.
constexpr bool InBand(std::int64_t units, int lowMHz, int highMHz) {
    return units >= lowMHz * 100000LL && units <= highMHz * 100000LL;
}

// "136~176MHZ 400~490MHZ", as the range messages name the bands.
inline std::string BandsText() {
    return std::to_string(kVhfLowMHz) + "~" + std::to_string(kVhfHighMHz) + "MHZ " + std::to_string(kUhfLowMHz) + "~" +
           std::to_string(kUhfHighMHz) + "MHZ";
}

}  // namespace image
