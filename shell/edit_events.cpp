#include "shell/edit_events.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QWidget>

namespace shell {
namespace {

int typedChar(const QKeyEvent& e) {
    switch (e.key()) {
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return -1;
    default:
        break;
    }
    const QString text = e.text();
    if (text.isEmpty()) return -1;
    if (text.size() == 1 && text[0].unicode() < 128) return text[0].unicode();
    return kNonAscii;
}

class EditFilter : public QObject {
public:
    EditFilter(QWidget* control, EditHooks hooks) : QObject(control), hooks_(std::move(hooks)) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (hooks_.keyPress) {
                const int c = typedChar(*static_cast<QKeyEvent*>(event));
                if (c >= 0 && !hooks_.keyPress(static_cast<char>(c))) return true;
            }
            break;
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (hooks_.exit && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) hooks_.exit();
            break;
        }
        case QEvent::MouseMove:
            if (hooks_.mouseMove) hooks_.mouseMove();
            break;
        default:
            break;
        }
        return false;
    }

private:
    EditHooks hooks_;
};

}  // namespace

void Hook(QWidget* control, EditHooks hooks) {
    if (hooks.mouseMove) control->setMouseTracking(true);
    control->installEventFilter(new EditFilter(control, std::move(hooks)));
}

}  // namespace shell
