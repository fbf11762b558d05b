#pragma once

// The one hook for work that waits for a window's first paint: the audio thread, the window
// icon, and the measurements that end a program at that moment. A zero-delay timer would run
// before anything is painted; this runs from the event loop once the first paint has been
// handed to the window system, so the work cannot delay the first picture. Header only, so
// that the bare-window anchor of the benchmarks uses it linking nothing but Qt.
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

class FirstPaint : public QObject {
public:
    // Runs `action` once after the first paint of `window` (or of any widget in it); with
    // nullptr, after the first paint of any visible window. Actions waiting for the same
    // paint run in the order they were asked for. Nothing runs for a window that is gone.
    static void then(QWidget* window, std::function<void()> action) {
        static QPointer<FirstPaint> hook;
        if (!hook) {
            // Owned by the application: it goes with it if nothing is ever painted.
            hook = new FirstPaint;
            hook->setParent(QCoreApplication::instance());
        }
        if (hook->waiting_.empty()) {
            QCoreApplication::instance()->installEventFilter(hook);
        }
        hook->waiting_.push_back({window, window == nullptr, std::move(action)});
    }

    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() != QEvent::Paint || !object->isWidgetType()) {
            return false;
        }
        QWidget* painted = static_cast<QWidget*>(object)->window();
        std::vector<Waiting> left;
        for (Waiting& w : waiting_) {
            if (w.anyWindow ? painted->isVisible() : w.window == painted) {
                // Queued: the paint going on now is finished and flushed first. A window
                // closed meanwhile takes its action with it.
                QObject* context = w.anyWindow ? static_cast<QObject*>(QCoreApplication::instance())
                                               : w.window.data();
                QMetaObject::invokeMethod(context, std::move(w.action), Qt::QueuedConnection);
            } else if (w.anyWindow || w.window) {
                left.push_back(std::move(w));
            }
        }
        waiting_ = std::move(left);
        if (waiting_.empty()) {
            QCoreApplication::instance()->removeEventFilter(this);
        }
        return false;
    }

private:
    struct Waiting {
        QPointer<QWidget> window;
        bool anyWindow;
        std::function<void()> action;
    };
    std::vector<Waiting> waiting_;
};

inline void afterFirstPaint(QWidget* window, std::function<void()> action) {
    FirstPaint::then(window, std::move(action));
}

// Ends the process right after the first paint of any window, for start-up measurements: the
// work a program puts off until then (the audio thread) and its teardown are no part of
// start-up. Ask for it before anything else waits for that paint, so that it runs first.
inline void quitAtFirstPaint() {
    FirstPaint::then(nullptr, [] {
        QGuiApplication::sync();
        std::fflush(nullptr);
        std::_Exit(0);
    });
}
