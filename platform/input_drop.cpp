#include "platform/input_drop.h"

#include <QCoreApplication>
#include <QEvent>

namespace {

// Swallows presses and keys. A key bound to a menu command comes as a shortcut event, not as
// a key press, so those go as well.
class InputSwallow : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void dropPendingInput() {
    InputSwallow swallow;
    QCoreApplication::instance()->installEventFilter(&swallow);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(&swallow);
}
