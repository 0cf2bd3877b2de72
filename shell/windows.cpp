#include "shell/windows.h"

namespace shell {

Windows CreateWindows(Prompter& prompter, MainWindowOptions options) {
    Windows w;
    w.Form2 = std::make_unique<TForm2>(prompter, std::move(options));
    w.Form5 = new TForm5(*w.Form2);
    w.Form6 = new TForm6(*w.Form2);
    w.Form2->setDialogs(nullptr, nullptr, w.Form5, w.Form6);
    return w;
}

}  // namespace shell
