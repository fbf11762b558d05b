#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>
#include <vector>

#include "platform/redraws.h"

struct TextMask;
class TextInk;

// The client area: a backing image that keeps everything drawn until it is drawn over, every
// write to it, the marks of what changed, and the paint that shows it. Each write compares as
// it goes, row by row: one that leaves every pixel as it was marks nothing for the screen.
// It reports mouse presses and paints nothing of its own. The image is kept in whole device
// pixels and shown one to one, so that nothing is rescaled when it is shown.
class Canvas : public QWidget {
    Q_OBJECT
public:
    // A canvas in one colour, `ground`.
    Canvas(QSize logicalSize, qreal pixelRatio, QRgb ground);
    // The backing image, in device pixels (its own pixel ratio is 1), with everything drawn
    // so far (a picture held back is written first).
    const QImage& image() const {
        const_cast<Canvas*>(this)->writeHeldBack();
        return image_;
    }
    qreal ratio() const { return ratio_; }

    // Copies a picture made at this ratio with its logical top-left corner at `at`; `size` is
    // its logical size.
    void drawPicture(const QImage& picture, QPoint at, QSize size);
    // A frame through the logical corner pixels (left, top) and (right, bottom), its lines a
    // whole number of device pixels wide; the inside is not touched.
    void drawFrame(int left, int top, int right, int bottom, QRgb colour);
    // A text's mask in `ink` with the mask's origin at device pixel `baseline`.
    void drawText(const TextMask& mask, QPoint baseline, const TextInk& ink);
    // Everything in one colour, which is also the widget's background.
    void clear(QRgb colour);

    // Shows what changed at once, instead of once the current event is handled.
    void repaintChanged();
    std::function<void(int button, double xTwips, double yTwips)> onPress;
    // Logical pixels repainted so far, summed over paint events: for tests and measurements.
    qint64 paintedArea = 0;

    // Beyond this many changed places in one event the marks become their bounding
    // rectangle: a redraw of that many places changes most of the canvas anyway.
    static constexpr int kMostPlaces = 128;
    // Rows copied to the screen by one call.
    static constexpr int kBandRows = 64;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // The device pixels one write changed: rows are added as they are written.
    struct Changed {
        int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
        void addRow(int row, int first, int last) {
            left = std::min(left, first);
            right = std::max(right, last);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    };
    // Writes a picture, comparing row by row.
    void writePicture(const QImage& picture, const QRect& cell);
    // Writes the picture held back, if any: something other than a frame comes next.
    void writeHeldBack();
    // Marks what a write changed: it is shown once the current event is handled.
    void markChanged(const Changed& changed);
    // Copies into `was` the pixels of `r` in which `now` differs from it, and says where.
    static Changed copyWhatDiffers(const QImage& now, QImage& was, const QRect& r);
    // Once the current event is handled: what changed goes to the screen.
    void queueFlush();
    void flushChanged();
    // Sets the device pixels of `area` to `colour` and marks those that were another colour.
    void fill(const QRect& area, QRgb colour);

    QImage image_;
    // What the screen was last given, to compare the changes of one event with.
    QImage shown_;
    qreal ratio_;
    // A picture is held back until the next write: when that is a frame, the two are written
    // together, or not at all when they are still as they were last written.
    Redraws redraws_;
    struct HeldBack {
        QImage picture;
        QRect cell;
    };
    std::optional<HeldBack> heldBack_;
    // A row of the colour last filled with, to compare strips with.
    std::vector<QRgb> colourRow_;
    // Changed since the last flush, in device pixels.
    std::vector<QRect> changed_;
    bool flushQueued_ = false;
    // Handed to Qt, not yet painted.
    QRegion unpainted_;
};
