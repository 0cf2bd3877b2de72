// The language the windows speak: chosen once at the start, before any window is made, from
// `radio --lang`, else from the choice saved in the settings file, else Chinese. The 帮助
// menu saves a new choice, which takes effect at the next start.
#pragma once

#include <memory>
#include <optional>

#include <QString>

#include "base/text.h"

class QSettings;

namespace shell {

// The settings file: `file` when given (the tests', a run's own), else the per-user one,
// $XDG_CONFIG_HOME/radio/radio.ini.
std::unique_ptr<QSettings> OpenSettings(const QString& file);

// The language saved in the settings file; nothing when none is, or what is there is no
// language.
std::optional<base::Language> SavedLanguage(const QString& settingsFile);
// Unwritable settings cost only the choice at the next start.
void SaveLanguage(const QString& settingsFile, base::Language language);

// The command line's choice wins over the saved one; without either, Chinese.
base::Language StartLanguage(std::optional<base::Language> commandLine, const QString& settingsFile);

// A text in the given language, whatever the process speaks: what the operator is told right
// after choosing a language is in that language.
QString SayIn(base::Language language, const char* source);

}  // namespace shell
