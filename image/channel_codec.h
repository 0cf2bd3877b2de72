// A channel: 24 bytes in the radio, 48 hex digits in a block text, one grid row in the editor.
#pragma once

#include <string>
#include <string_view>

#include "image/editor_state.h"
#include "base/outcome.h"

namespace image {

constexpr int kRecordDigits = 48;
constexpr const char* kEmptyRecord = "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFFFFFFFFFF";

// Fills cells 1..12 of `row` from a 48-digit record. Cells are set in column order; a tone,
// mode or signalling cell looks at the frequency cell already set in the row.
void DecodeChannel(std::string_view record, Grid& grid, int row);

// Encodes cells 1..12 of `row` into exactly 48 digits. A frequency or tone cell that does not
// convert is an error naming the band, the channel and the column.
base::Outcome<std::string> EncodeChannel(const Grid& grid, int row, Band band);

// "上段信道" or "下段信道": the page a band's channels are shown on.
const char* ChannelPageCaption(Band band);

}  // namespace image
