#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// Qt's X11 backing store hands what it painted to the X server through shared memory, and
// before it paints over any of that again it waits until the server has read it: a round trip
// to the server. Left alone, that wait falls at the start of the next press, on its way to the
// screen. Shortly after the watched widget paints, when nothing else is going on, this asks the
// backing store for a paint of nothing, which takes the wait there and then. On other window
// systems it does nothing.
class IdlePutWait : public QObject {
public:
    // Watches `widget`, and is deleted with it.
    explicit IdlePutWait(QWidget* widget);
    // Quiet after a paint before the wait is taken: a press draws and paints twice within a
    // millisecond or two, and waiting between those would only move the wait.
    static constexpr int kQuietMs = 10;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void waitForPuts();

    QWidget* widget_;
    QTimer quiet_;
};
