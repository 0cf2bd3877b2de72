// Qt's own texts (the OK, Cancel, Yes and No buttons, the file dialogs, the edits' context
// menus) in the program's language, from the translations Qt ships with the system.
#pragma once

class QCoreApplication;

namespace shell {

// In Chinese, installs Qt's Chinese translation on the application; false when the system has
// none (the package qt6-translations-l10n missing): Qt's texts then stay English. In English,
// Qt's own texts are already English and nothing is installed.
bool TranslateQtTexts(QCoreApplication& app);

}  // namespace shell
