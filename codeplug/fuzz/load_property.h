// What must hold for any memory image decoded as a full read decodes it (radio-cli load):
// whatever the bytes, the decoders never fault, and a state that saves opens back to itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "codeplug/fuzz/open_property.h"
#include "base/hex.h"
#include "image/transfer.h"

namespace codeplug::fuzz {

// The image is the bytes given, cut or padded with 0xFF to 7168 bytes.
inline std::string CheckLoad(std::string_view bytes) {
    std::string memory(bytes.substr(0, image::kImageSize));
    memory.resize(image::kImageSize, '\xFF');
    image::EditorState state;
    for (const image::TransferBlock& b : image::TransferList()) {
        const auto* at = reinterpret_cast<const std::uint8_t*>(memory.data()) + b.address;
        image::ApplyReadBlock(state, b.j, base::BytesToHex(at, b.length));
    }
    const SaveText saved = ToText(state);
    if (!saved.ok()) return {};  // refused with a message: nothing is written
    const std::string problem = CheckOpen(saved.value);
    return problem.empty() ? problem : "a loaded image: " + problem;
}

}  // namespace codeplug::fuzz
