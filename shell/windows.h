// The windows of the program, created once and in order: the login window TForm1, the main
// window TForm2 (whose creation opens the port), the password and remark dialogs TForm3 and
// TForm4, the read and write dialogs TForm5 and TForm6. The dialogs reach the main window
// through it. Only the login window is shown at first; showing it is the caller's.
#pragma once

#include <memory>
#include <string>

#include "shell/login_window.h"
#include "shell/main_window.h"
#include "shell/transfer_dialogs.h"
#include "shell/user_dialogs.h"

namespace shell {

struct Windows {
    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;
    TForm3* Form3 = nullptr;  // the dialogs are owned by Form2
    TForm4* Form4 = nullptr;
    TForm5* Form5 = nullptr;
    TForm6* Form6 = nullptr;
};

// `userDir` is the folder of the user files (UserFolder). Closing the login window ends the
// program as the main window's options.terminate says.
Windows CreateWindows(Prompter& prompter, const std::string& userDir, MainWindowOptions options = {});

}  // namespace shell
