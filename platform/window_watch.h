#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

class QWidget;

// Notices when another program destroys our top-level window on X11 (an XDestroyWindow on its
// id, as `xdotool windowclose` does). Qt does not report that to the widget, which would stay
// "visible" with nothing on screen while the program ran on. Not for ordinary closing: that is
// a close event.
class DestroyedWindowWatch : public QAbstractNativeEventFilter {
public:
    // Watches `window` while this object lives; `onDestroyed` runs once when it is destroyed.
    DestroyedWindowWatch(QWidget* window, std::function<void()> onDestroyed);
    ~DestroyedWindowWatch() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget* window_;
    std::function<void()> onDestroyed_;
    bool destroyed_ = false;
};
