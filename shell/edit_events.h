// The events a page forwards from an edit: KeyPress (a typed character, which the handler
// may refuse), Exit (the edit lost the input focus to another control) and MouseMove.
//
// An edit with a key filter takes text only through it, whichever way the text comes: typed,
// pasted with Ctrl+V or Shift+Insert, pasted with the middle mouse button (the X11 selection),
// dropped, or committed by an input method. Text that arrives in one piece is offered to the
// filter character by character, as if typed; line breaks and other control characters in it
// are left out, a character without a GBK form is refused with a message, and a character the
// filter cuts (it does not fit) ends the piece there. Keys that type nothing (Delete, arrows,
// Home, End, Ctrl+A, Ctrl+C...) go to the edit unfiltered.
#pragma once

#include <functional>
#include <string>

#include "image/message.h"

class QLineEdit;

namespace shell {

using image::kBackspace;
using image::kEnter;
using image::kNonAscii;

// What a filter that sees whole characters says of one: let it in or not, what to tell, and
// whether it is cut (it does not fit: the text that came with it in one piece ends before it).
struct CharacterVerdict {
    bool accept;
    image::Message message;
    bool cut;
};

struct EditHooks {
    // A typed character: backspace as 8, Enter as 13, ASCII as itself, anything else as
    // kNonAscii. Says whether it goes in, and what to tell the operator (once per paste).
    std::function<image::KeyVerdict(char key)> keyPress;
    // The focus went to another control of the window; not when a box or another window
    // takes it for a while, nor when a menu opens.
    std::function<void()> exit;
    // The mouse pointer moved over the control while the operator is not typing in it (it
    // does not have the focus).
    std::function<void()> mouseMove;
    // Shows a message of the filter.
    std::function<void(const image::Message&)> tell;
    // Optional: each printable character as UTF-8 (one with a GBK form, ASCII or not), in place
    // of keyPress, which then sees Backspace and Enter only.
    std::function<CharacterVerdict(const std::string& character)> characterPress = {};
};

void Hook(QLineEdit* control, EditHooks hooks);

// A password edit: what is typed is shown as "*", one for each character.
void ShowAsStars(QLineEdit* edit);

}  // namespace shell
