// Qt's own texts (the OK, Cancel, Yes and No buttons, the file dialogs, the edits' context
// menus) in the program's language, Chinese, from the translations Qt ships with the system.
#pragma once

class QCoreApplication;

namespace shell {

// Installs Qt's Chinese translation on the application. False when the system has none (the
// package qt6-translations-l10n missing): Qt's texts then stay English.
bool TranslateQtTexts(QCoreApplication& app);

}  // namespace shell
