#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <vector>

struct TextMask;

// The client area: a backing image that keeps everything drawn until it is drawn over, every
// write to it, the marks of what was drawn, and the paint that shows it. It reports mouse
// presses and paints nothing of its own. The image is kept in whole device pixels and shown
// one to one, so that nothing is rescaled when it is shown.
class Canvas : public QWidget {
    Q_OBJECT
public:
    // A canvas in one colour, `ground`.
    Canvas(QSize logicalSize, qreal pixelRatio, QRgb ground);
    // The backing image, in device pixels (its own pixel ratio is 1).
    const QImage& image() const { return image_; }
    qreal ratio() const { return ratio_; }

    // Copies a picture made at this ratio with its logical top-left corner at `at`; `size` is
    // its logical size.
    void drawPicture(const QImage& picture, QPoint at, QSize size);
    // A frame through the logical corner pixels (left, top) and (right, bottom), its lines a
    // whole number of device pixels wide; the inside is not touched.
    void drawFrame(int left, int top, int right, int bottom, QRgb colour);
    // A text's mask in `ink` with the mask's origin at device pixel `baseline`.
    void drawText(const TextMask& mask, QPoint baseline, QRgb ink);
    // Everything in one colour, which is also the widget's background.
    void clear(QRgb colour);

    // Shows what was drawn at once, instead of once the current event is handled.
    void repaintDrawn();
    std::function<void(int button, double xTwips, double yTwips)> onPress;
    // Logical pixels repainted so far, summed over paint events: for tests and measurements.
    qint64 paintedArea = 0;

    // What is drawn is marked in square tiles of this many device pixels: a few hundred small
    // drawings in one event cost a few bits each, and what is shown is at most a tile's edge
    // more than what was drawn.
    static constexpr int kTile = 16;
    // Rows copied to the screen by one call.
    static constexpr int kBandRows = 64;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Marks these device pixels as drawn: they are shown once the current event is handled.
    void markDrawn(const QRect& devicePixels);
    void flushDrawn();
    void fill(const QRect& devicePixels, QRgb colour);

    QImage image_;
    qreal ratio_;
    int tilesAcross_;
    int tilesDown_;
    // One per tile: drawn into since the last flush.
    std::vector<unsigned char> drawn_;
    bool flushQueued_ = false;
    // Handed to Qt, not yet painted.
    QRegion unpainted_;
};
