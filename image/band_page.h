// The band settings pages "上段设置" and "下段设置": a 32-byte block per band, held in
// k1/k2 (upper) or k3/k4 (lower). The controls only show the block: the decoder fills them
// from a block read from the radio, and each handler splices its one value into the hidden
// field, leaving every other digit as it was.
#pragma once

#include <string_view>

#include "image/editor_state.h"
#include "image/message.h"

namespace image {

// Fills left1..left16 (right1..right16) from a block text (at least 50 digits). Does not
// touch the hidden fields.
void DecodeBandBlock(EditorState& state, Band band, std::string_view block);

// leftNClick / rightNClick: the list's new selection is already in the state.
Message BandListClick(EditorState& state, Band band, int control);

// How an edit's handler was reached; the band pages word their range message by it.
enum class Trigger { Exit, MouseMove };

// Whether pointer movement over the page's frequency edits runs their handler (MouseMove):
// only the upper band page has those handlers; the lower one encodes when the edit is left.
constexpr bool EncodesOnPointerMove(Band band) { return band == Band::Upper; }

// left3Exit, left3MouseMove, right3Exit (control 3), left15Exit, left15MouseMove,
// right15Exit (control 15).
Message BandEditCommit(EditorState& state, Band band, int control, Trigger trigger);

}  // namespace image
