// The memory image's types, as the editor's rules name them: the rules work on the state the
// codecs fill.
#pragma once

#include "image/editor_state.h"
#include "image/message.h"

namespace editor {

using image::Band;
using image::EditorState;
using image::Grid;
using image::Message;

}  // namespace editor
