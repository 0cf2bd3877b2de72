#include "shell/language.h"

#include <QCoreApplication>
#include <QSettings>

namespace shell {
namespace {

constexpr const char* kLanguageKey = "ui/language";

}  // namespace

std::unique_ptr<QSettings> OpenSettings(const QString& file) {
    if (!file.isEmpty()) return std::make_unique<QSettings>(file, QSettings::IniFormat);
    // Named as the per-user data folder is: $XDG_CONFIG_HOME/radio/radio.ini.
    const QString name = QCoreApplication::applicationName();
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, name, name);
}

std::optional<base::Language> SavedLanguage(const QString& settingsFile) {
    return base::ParseLanguage(OpenSettings(settingsFile)->value(kLanguageKey).toString().toStdString());
}

void SaveLanguage(const QString& settingsFile, base::Language language) {
    OpenSettings(settingsFile)->setValue(kLanguageKey, QString::fromStdString(std::string(base::LanguageCode(language))));
}

base::Language StartLanguage(std::optional<base::Language> commandLine, const QString& settingsFile) {
    if (commandLine) return *commandLine;
    return SavedLanguage(settingsFile).value_or(base::Language::Chinese);
}

QString SayIn(base::Language language, const char* source) { return QString::fromUtf8(base::TrIn(language, source)); }

}  // namespace shell
