#include "platform/idle_put_wait.h"

#include <QBackingStore>
#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

IdlePutWait::IdlePutWait(QWidget* widget) : QObject(widget), widget_(widget) {
    // Elsewhere a paint of nothing may cost a buffer and wins nothing.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    quiet_.setSingleShot(true);
    quiet_.setInterval(kQuietMs);
    connect(&quiet_, &QTimer::timeout, this, &IdlePutWait::waitForPuts);
    widget->installEventFilter(this);
}

bool IdlePutWait::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        quiet_.start();
    }
    return false;
}

void IdlePutWait::waitForPuts() {
    QWidget* window = widget_->window();
    QBackingStore* store = window->backingStore();
    // A translucent window's store clears what it is asked to paint.
    if (store == nullptr || !window->isVisible() ||
        window->testAttribute(Qt::WA_TranslucentBackground)) {
        return;
    }
    store->beginPaint(QRect(QPoint(0, 0), store->size()));
    store->endPaint();
}
