#include "shell/accessible.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>

namespace shell {

QString SpokenName(const QString& caption) {
    QString name = caption;
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    name.remove(mnemonic);
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A)))  // ":" or "："
        name.chop(1);
    return name.trimmed();
}

void NameAfter(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    const QString name = SpokenName(label->text());
    // A colon inside the text, not at its end nor in brackets: a name, then what the control
    // takes.
    qsizetype colon = -1;
    int depth = 0;
    for (qsizetype i = 0; i < name.size() && colon < 0; ++i) {
        const QChar c = name[i];
        if (c == QLatin1Char('(') || c == QChar(0xFF08)) ++depth;
        if (c == QLatin1Char(')') || c == QChar(0xFF09)) --depth;
        if (depth == 0 && (c == QLatin1Char(':') || c == QChar(0xFF1A))) colon = i;
    }
    if (colon < 0) {
        control->setAccessibleName(name);
        return;
    }
    control->setAccessibleName(name.left(colon).trimmed());
    if (control->accessibleDescription().isEmpty()) control->setAccessibleDescription(name.mid(colon + 1).trimmed());
}

void NameControls(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>())
        if (QWidget* control = label->buddy(); control && control->accessibleName().isEmpty()) NameAfter(label, control);
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if (button->accessibleName().isEmpty() && !button->text().isEmpty())
            button->setAccessibleName(SpokenName(button->text()));
}

}  // namespace shell
