// The events a page forwards from an edit: KeyPress (a typed character, which the handler
// may refuse), Exit (the edit lost the input focus to another control) and MouseMove.
#pragma once

#include <functional>

class QWidget;

namespace shell {

constexpr char kBackspace = 8;
constexpr char kEnter = 13;
constexpr char kNonAscii = 127;  // any character outside ASCII: no filter lets it through

struct EditHooks {
    // A key that types a character: backspace as 8, Enter as 13, ASCII as itself, anything
    // else as kNonAscii. Keys that type nothing (arrows, Delete, Tab) never come here.
    // Returns false to drop the key.
    std::function<bool(char key)> keyPress;
    // The focus went to another control of the window; not when a box or another window
    // takes it for a while, nor when a menu opens.
    std::function<void()> exit;
    // The mouse pointer moved over the control.
    std::function<void()> mouseMove;
};

void Hook(QWidget* control, EditHooks hooks);

}  // namespace shell
