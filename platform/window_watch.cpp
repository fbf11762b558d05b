#include "platform/window_watch.h"

#include <QCoreApplication>
#include <QWidget>

#include <xcb/xproto.h>

DestroyedWindowWatch::DestroyedWindowWatch(QWidget* window, std::function<void()> onDestroyed)
    : window_(window), onDestroyed_(std::move(onDestroyed)) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DestroyedWindowWatch::~DestroyedWindowWatch() {
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool DestroyedWindowWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (destroyed_ || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) {
        return false;
    }
    // Qt selects structure notifications on its windows, so our own window's destruction
    // reaches us whoever caused it; internalWinId() is 0 until the window exists.
    const auto* destroy = static_cast<const xcb_destroy_notify_event_t*>(message);
    const WId id = window_->internalWinId();
    if (id != 0 && destroy->window == id) {
        destroyed_ = true;
        onDestroyed_();
    }
    return false;
}
