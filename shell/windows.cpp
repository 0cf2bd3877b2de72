#include "shell/windows.h"

#include <QCoreApplication>

#include "shell/accessible.h"

namespace shell {

Windows CreateWindows(Prompter& prompter, const std::string& userDir, MainWindowOptions options) {
    if (!options.terminate) options.terminate = [] { QCoreApplication::quit(); };
    Windows w;
    w.Form1 = std::make_unique<TForm1>(prompter, userDir, options.terminate);
    w.Form2 = std::make_unique<TForm2>(prompter, std::move(options));
    w.Form3 = new TForm3(w.Form2.get(), prompter, userDir);
    w.Form4 = new TForm4(w.Form2.get(), prompter, userDir);
    TForm2* form2 = w.Form2.get();
    const auto portName = [form2] { return form2->Comm1().CommName(); };
    w.Form5 = new TForm5(form2, form2->session(), form2->radio(), portName);
    w.Form6 = new TForm6(form2, form2->session(), form2->radio(), portName);
    w.Form1->setMainWindow(w.Form2.get());
    w.Form2->setDialogs(w.Form3, w.Form4, w.Form5, w.Form6);
    for (QWidget* window : std::initializer_list<QWidget*>{w.Form1.get(), w.Form2.get(), w.Form3, w.Form4, w.Form5, w.Form6})
        NameControls(window);
    return w;
}

}  // namespace shell
