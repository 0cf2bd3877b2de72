#include "shell/edit_events.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProxyStyle>

#include "base/gbk.h"
#include "base/text.h"

namespace shell {
namespace {

bool isControl(char32_t c) { return c < 32 || c == 127 || (c >= 0x80 && c < 0xA0); }

class EditFilter : public QObject {
public:
    EditFilter(QLineEdit* edit, EditHooks hooks) : QObject(edit), edit_(edit), hooks_(std::move(hooks)) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
            return hooks_.keyPress && key(*static_cast<QKeyEvent*>(event));
        case QEvent::InputMethod:
            return hooks_.keyPress && inputMethod(*static_cast<QInputMethodEvent*>(event));
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // The middle button pastes the selection when it is released.
            return hooks_.keyPress && static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (!hooks_.keyPress || e->button() != Qt::MiddleButton) return false;
            QClipboard* clipboard = QGuiApplication::clipboard();
            if (clipboard->supportsSelection() && !edit_->isReadOnly()) {
                edit_->deselect();
                edit_->setCursorPosition(edit_->cursorPositionAt(e->position().toPoint()));
                insert(clipboard->text(QClipboard::Selection));
            }
            return true;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            if (!hooks_.keyPress) return false;
            auto* e = static_cast<QDropEvent*>(event);
            if (e->mimeData()->hasText() && !edit_->isReadOnly()) {
                e->setDropAction(Qt::CopyAction);
                e->accept();
            } else {
                e->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            if (!hooks_.keyPress) return false;
            auto* e = static_cast<QDropEvent*>(event);
            if (!e->mimeData()->hasText() || edit_->isReadOnly()) return true;
            edit_->deselect();
            edit_->setCursorPosition(edit_->cursorPositionAt(e->position().toPoint()));
            insert(e->mimeData()->text());
            e->setDropAction(Qt::CopyAction);
            e->accept();
            return true;
        }
        case QEvent::FocusOut: {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (hooks_.exit && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) hooks_.exit();
            break;
        }
        case QEvent::MouseMove:
            // Not while the operator types in the edit: leaving it encodes it.
            if (hooks_.mouseMove && !edit_->hasFocus()) hooks_.mouseMove();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A key press; true when the filter took it.
    bool key(const QKeyEvent& e) {
        if (e.matches(QKeySequence::Paste)) {
            insert(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
            return true;
        }
        switch (e.key()) {
        case Qt::Key_Backspace:
            return !offer(kBackspace).accept;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return !offer(kEnter).accept;
        default:
            break;
        }
        // A shortcut (Ctrl+A, Ctrl+Z...) types nothing, whatever text the platform gives it; Ctrl
        // with Alt is AltGr on some keyboards, which types.
        const auto modifiers = e.modifiers();
        if ((modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier)) return false;
        const QString text = e.text();
        const auto chars = text.toUcs4();
        // Keys that type nothing, or only a control character (Delete types 0x7F, Ctrl+A 0x01),
        // are the edit's own editing keys.
        if (chars.isEmpty() || isControl(chars.front())) return false;
        if (chars.size() > 1) {
            insert(text);
            return true;
        }
        const CharacterVerdict v = typed(chars.front());
        tell(v.message);
        return !v.accept;
    }

    bool inputMethod(const QInputMethodEvent& e) {
        if (e.commitString().isEmpty()) return false;
        insert(e.commitString());
        // What the input method is still composing stays its own.
        QInputMethodEvent rest(e.preeditString(), e.attributes());
        QCoreApplication::sendEvent(edit_, &rest);
        return true;
    }

    image::KeyVerdict offer(char key) {
        const image::KeyVerdict v = hooks_.keyPress(key);
        tell(v.message);
        return v;
    }

    // One typed character through the filter; a character without a GBK form never reaches it.
    CharacterVerdict typed(char32_t c) {
        const QString one = QString::fromUcs4(&c, 1);
        if (c >= 0x80 && !base::Utf8ToGbk(one.toStdString()))
            return {false, base::Tr("字符'%1'没有GBK编码,不能输入", one.toStdString()), false};
        if (hooks_.characterPress) return hooks_.characterPress(one.toStdString());
        const image::KeyVerdict v = hooks_.keyPress(c < 0x80 ? static_cast<char>(c) : kNonAscii);
        return {v.accept, v.message, false};
    }

    // Text that came in one piece: each character as if typed at the cursor, in place of the
    // selection, up to one that is cut; one message at most.
    void insert(const QString& text) {
        if (edit_->hasSelectedText()) edit_->del();
        image::Message first;
        for (char32_t c : text.toUcs4()) {
            if (isControl(c)) continue;
            const CharacterVerdict v = typed(c);
            if (first.empty()) first = v.message;
            if (v.cut) break;
            if (v.accept) edit_->insert(QString::fromUcs4(&c, 1));
        }
        tell(first);
    }

    void tell(const image::Message& message) {
        if (!message.empty() && hooks_.tell) hooks_.tell(message);
    }

    QLineEdit* edit_;
    EditHooks hooks_;
};

}  // namespace

void Hook(QLineEdit* control, EditHooks hooks) {
    if (hooks.mouseMove) control->setMouseTracking(true);
    if (hooks.keyPress) {
        // The menu's Paste would pass the filter by: the keys do the same.
        control->setContextMenuPolicy(Qt::NoContextMenu);
        control->setAcceptDrops(true);
    }
    control->installEventFilter(new EditFilter(control, std::move(hooks)));
}

namespace {

class StarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

void ShowAsStars(QLineEdit* edit) {
    auto* style = new StarStyle;
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}

}  // namespace shell
