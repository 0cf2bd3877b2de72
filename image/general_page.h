// The general settings page "综合设置": 18 bytes at 0x0200, held in k5.
#pragma once

#include <string_view>

#include "image/editor_state.h"
#include "image/message.h"

namespace image {

// Fills gn1..gn15 from the block text (at least 36 digits). Does not touch k5.
void DecodeGeneralBlock(EditorState& state, std::string_view block);

// gn1Click, gn2Click, gn4Click .. gn15Click: the new selection is already in the state.
Message GeneralListClick(EditorState& state, int control);

// gn3MouseMove and gn3Exit: the broadcast radio frequency into digits 5..8 of k5.
Message GeneralRadioCommit(EditorState& state);

}  // namespace image
