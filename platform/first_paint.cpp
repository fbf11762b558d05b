#include "platform/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace {

class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget* window, std::function<void()> action)
        : window_(window), action_(std::move(action)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && object->isWidgetType() && window_ &&
            static_cast<QWidget*>(object)->window() == window_) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued: the paint going on now is finished and flushed first.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    action_();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
    std::function<void()> action_;
};

} // namespace

void afterFirstPaint(QWidget* window, std::function<void()> action) {
    // Owned by the application: it goes with it if the window is never painted.
    auto* watch = new FirstPaintWatch(window, std::move(action));
    watch->setParent(QCoreApplication::instance());
}
