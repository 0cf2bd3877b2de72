// The windows of the program, created once and in order: TForm2 (the main window), then the
// dialogs TForm5 and TForm6, which reach the main window through it. The login window and
// the password and remark dialogs join them with the login.
#pragma once

#include <memory>

#include "shell/main_window.h"
#include "shell/transfer_dialogs.h"

namespace shell {

struct Windows {
    std::unique_ptr<TForm2> Form2;
    TForm5* Form5 = nullptr;  // owned by Form2
    TForm6* Form6 = nullptr;  // owned by Form2
};

Windows CreateWindows(Prompter& prompter, MainWindowOptions options = {});

}  // namespace shell
