#pragma once

// From the game's units to the canvas's device pixels: twips and points to logical pixels,
// logical to device pixels (each rounded in one place), the palette, and the row stride of
// the canvas's images. Every position is rounded on its own, so that an edge two cells share
// lands on the same device pixel whichever cell draws it.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <algorithm>
#include <cmath>

#include "platform/platform.h"

// The classic 16 colours, 0 black .. 15 white.
inline QRgb paletteRgb(int number) {
    static constexpr QRgb kPalette[16] = {
        0xff000000, 0xff000080, 0xff008000, 0xff008080, 0xff800000, 0xff800080,
        0xff808000, 0xffc0c0c0, 0xff808080, 0xff0000ff, 0xff00ff00, 0xff00ffff,
        0xffff0000, 0xffff00ff, 0xffffff00, 0xffffffff,
    };
    return kPalette[number & 15];
}

inline QColor paletteColour(int number) {
    return QColor(paletteRgb(number));
}

// To the nearest whole number, halves away from zero (std::lround without the call into the
// maths library, on the path of every drawing call).
inline int roundToInt(double v) {
    return v >= 0 ? static_cast<int>(v + 0.5) : -static_cast<int>(0.5 - v);
}

// Twips to whole logical pixels, the way the layout was measured.
inline int logicalPixelsOfTwips(double twips) {
    return roundToInt(twips / kTwipsPerPixel);
}

// A font size in points to pixels at the 96 dpi the layout assumes, whatever the screen's dpi.
inline int pixelsOfPoints(double points) {
    return roundToInt(points * 96.0 / 72.0);
}

// A logical position to its device pixel.
inline int toDevice(double logical, qreal ratio) {
    return roundToInt(logical * ratio);
}

// Frames and grid lines: a whole number of device pixels, the same everywhere.
inline int lineWidth(qreal ratio) {
    return std::max(1, roundToInt(ratio));
}

// The whole pixels that cover `area` once scaled by `scale` (a product that should be whole,
// but is not quite in floating point, counts as whole).
inline QRect coveringPixels(const QRectF& area, qreal scale) {
    constexpr double kSlack = 1e-9;
    const int left = static_cast<int>(std::floor(area.left() * scale + kSlack));
    const int top = static_cast<int>(std::floor(area.top() * scale + kSlack));
    const int right = static_cast<int>(std::ceil(area.right() * scale - kSlack));
    const int bottom = static_cast<int>(std::ceil(area.bottom() * scale - kSlack));
    return QRect(left, top, right - left, bottom - top);
}

// The device pixels under a logical area, and the logical pixels over a device area.
inline QRect deviceCover(const QRectF& logical, qreal ratio) {
    return coveringPixels(logical, ratio);
}
inline QRect logicalCover(const QRect& device, qreal ratio) {
    return coveringPixels(QRectF(device), 1 / ratio);
}

// A logical size in whole device pixels: the last one may be cut.
inline QSize deviceSize(QSize logical, qreal ratio) {
    return deviceCover(QRectF(QPointF(0, 0), QSizeF(logical)), ratio).size();
}

// A painter on an image scales up for the image's pixel ratio but never down: a ratio below
// 1 is given to it here.
inline void scaleBelowOne(QPainter& painter, qreal ratio) {
    if (ratio < 1) {
        painter.scale(ratio, ratio);
    }
}

// Has `painter` (on a widget whose device pixel ratio is `ratio`) paint in device pixels: its
// own scale for the screen's ratio is undone, and the widget's corner put on a whole device
// pixel, so that Qt copies pixels one to one instead of resampling them. Below a ratio of 1
// the painter does not scale at all and its corner is in logical pixels.
inline void paintInDevicePixels(QPainter& painter, qreal ratio) {
    const QTransform device = painter.deviceTransform();
    const QPointF corner = device.map(QPointF(0, 0)) * std::min<qreal>(1, ratio);
    painter.setWorldTransform(
        QTransform::fromTranslate(std::round(corner.x()), std::round(corner.y())) *
            device.inverted(),
        true);
}

// Pixels from one row of an RGB32 image to the next.
inline qsizetype rgbStride(const QImage& image) {
    return image.bytesPerLine() / qsizetype(sizeof(QRgb));
}
