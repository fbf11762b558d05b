#pragma once

// Start-up measurements end a program at the first paint event of its window: a zero-delay
// timer would fire before anything is painted. Header only, so that the bare-window anchor
// links nothing but Qt.
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMetaObject>
#include <QObject>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

class QuitAtFirstPaint : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (!quitting_ && event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->window()->isVisible()) {
            quitting_ = true;
            // Queued, so that this paint is finished and handed to the window system first.
            // The process then ends at once: work the program schedules for after its first
            // paint (the audio thread) and its teardown are not part of start-up.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [] {
                    QGuiApplication::sync();
                    std::fflush(nullptr);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

    // Installs one filter on the application object.
    static void install() {
        static QuitAtFirstPaint filter;
        QCoreApplication::instance()->installEventFilter(&filter);
    }

private:
    bool quitting_ = false;
};
