// What a screen reader says of the controls: names made of the texts the windows already show
// (the label beside a control, a button's caption), so that a control is spoken as it is seen.
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace shell {

// A caption as it is spoken: without its mnemonic ("开始(&S)" says "开始"), the blanks that
// place it, and the colon that ties it to its control.
QString SpokenName(const QString& caption);

// The label stands for the control: its buddy (its Alt key and a click reach the control),
// and its name; the text after a colon inside the label ("电台列表: 每行一台...") describes
// the control.
void NameAfter(QLabel* label, QWidget* control);

// Names every control of a window made so far that has none: after the label whose buddy it
// is, a button after its caption. A control named already keeps its name.
void NameControls(QWidget* window);

}  // namespace shell
