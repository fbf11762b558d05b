#include "platform/canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/device_pixels.h"
#include "platform/text_masks.h"

namespace {

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

// One channel of a text pixel: coverage `a` (0..255) of ink value `c` over the value `d`.
// The result only ever moves from `d` towards `c`, and never further than the ink at that
// coverage, so drawing the same text again leaves every pixel as it is.
inline int inkOver(int c, int d, int a) {
    if (c >= d) {
        return std::max(d, (c * a + 127) / 255);
    }
    return std::min(d, c + ((255 - c) * (255 - a) + 127) / 255);
}

} // namespace

Canvas::Canvas(QSize logicalSize, qreal pixelRatio, QRgb ground)
    : image_(deviceSize(logicalSize, pixelRatio), QImage::Format_RGB32), ratio_(pixelRatio),
      tilesAcross_((image_.width() + kTile - 1) / kTile),
      tilesDown_((image_.height() + kTile - 1) / kTile),
      drawn_(std::size_t(tilesAcross_) * tilesDown_, 0) {
    image_.fill(ground);
    setFixedSize(logicalSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::drawPicture(const QImage& picture, QPoint at, QSize size) {
    const int left = toDevice(at.x(), ratio_);
    const int top = toDevice(at.y(), ratio_);
    // The picture's own cell: at fractional ratios it is a pixel narrower than the picture at
    // some places, and the neighbour's pixels must stay.
    const QRect cell(left, top,
                     std::min(toDevice(at.x() + size.width(), ratio_) - left, picture.width()),
                     std::min(toDevice(at.y() + size.height(), ratio_) - top, picture.height()));
    const QRect area = cell & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    const qsizetype stride = rgbStride(image_);
    const qsizetype sourceStride = rgbStride(picture);
    QRgb* to = reinterpret_cast<QRgb*>(image_.bits()) + area.top() * stride + area.left();
    const QRgb* from = reinterpret_cast<const QRgb*>(picture.constBits()) +
                       (area.top() - top) * sourceStride + (area.left() - left);
    for (int row = area.top(); row <= area.bottom(); ++row, from += sourceStride, to += stride) {
        std::memcpy(to, from, std::size_t(area.width()) * sizeof(QRgb));
    }
    markDrawn(area);
}

void Canvas::fill(const QRect& devicePixels, QRgb colour) {
    const QRect area = devicePixels & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    const qsizetype stride = rgbStride(image_);
    QRgb* to = reinterpret_cast<QRgb*>(image_.bits()) + area.top() * stride + area.left();
    for (int row = area.top(); row <= area.bottom(); ++row, to += stride) {
        std::fill_n(to, area.width(), colour);
    }
    markDrawn(area);
}

void Canvas::drawFrame(int left, int top, int right, int bottom, QRgb colour) {
    // One-pixel strips through the corner pixels, as wide as a line is on this screen: the
    // edge two cells share falls on the same device pixels from either side. Only the strips
    // are marked: the square inside is not repainted.
    const int w = lineWidth(ratio_);
    const int x1 = toDevice(left, ratio_), y1 = toDevice(top, ratio_);
    const int x2 = toDevice(right, ratio_), y2 = toDevice(bottom, ratio_);
    fill(QRect(x1, y1, x2 + w - x1, w), colour);
    fill(QRect(x1, y2, x2 + w - x1, w), colour);
    fill(QRect(x1, y1, w, y2 + w - y1), colour);
    fill(QRect(x2, y1, w, y2 + w - y1), colour);
}

void Canvas::drawText(const TextMask& mask, QPoint baseline, QRgb ink) {
    const QPoint at = baseline - mask.origin;
    const QRect area = QRect(at, mask.coverage.size()) & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    const int r = qRed(ink), g = qGreen(ink), b = qBlue(ink);
    const qsizetype stride = rgbStride(image_);
    QRgb* const bits = reinterpret_cast<QRgb*>(image_.bits());
    for (const TextMask::Run& run : mask.runs) {
        const int row = at.y() + run.row;
        const int from = std::max(at.x() + run.x, area.left());
        const int to = std::min(at.x() + run.x + run.length, area.right() + 1);
        if (row < area.top() || row > area.bottom() || from >= to) {
            continue;
        }
        const uchar* cover = mask.coverage.constScanLine(run.row) + (from - at.x());
        QRgb* pixel = bits + row * stride + from;
        for (int i = 0; i < to - from; ++i) {
            const int a = cover[i];
            const QRgb d = pixel[i];
            pixel[i] =
                qRgb(inkOver(r, qRed(d), a), inkOver(g, qGreen(d), a), inkOver(b, qBlue(d), a));
        }
    }
    markDrawn(area);
}

void Canvas::clear(QRgb colour) {
    // As with a window whose background colour changes, the client area is cleared to it.
    image_.fill(colour);
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(colour));
    setPalette(ground);
    markDrawn(image_.rect());
}

void Canvas::markDrawn(const QRect& devicePixels) {
    const QRect area = devicePixels & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &Canvas::flushDrawn, Qt::QueuedConnection);
    }
    const int first = area.left() / kTile, last = area.right() / kTile;
    for (int ty = area.top() / kTile; ty <= area.bottom() / kTile; ++ty) {
        unsigned char* row = drawn_.data() + std::size_t(ty) * tilesAcross_;
        std::fill(row + first, row + last + 1, 1);
    }
}

void Canvas::flushDrawn() {
    flushQueued_ = false;
    // Runs of drawn tiles along each row of tiles; QRegion joins the same runs of neighbouring
    // rows into one rectangle.
    QRegion region;
    for (int ty = 0; ty < tilesDown_; ++ty) {
        unsigned char* row = drawn_.data() + std::size_t(ty) * tilesAcross_;
        for (int tx = 0; tx < tilesAcross_; ++tx) {
            if (!row[tx]) {
                continue;
            }
            const int first = tx;
            while (tx < tilesAcross_ && row[tx]) {
                row[tx++] = 0;
            }
            const QRect tiles =
                QRect(first * kTile, ty * kTile, (tx - first) * kTile, kTile) & image_.rect();
            region += logicalCover(tiles, ratio_) & rect();
        }
    }
    if (!region.isEmpty()) {
        unpainted_ += region;
        update(region);
    }
}

void Canvas::repaintDrawn() {
    flushDrawn();
    if (isVisible() && !unpainted_.isEmpty()) {
        repaint(unpainted_);
    }
}

void Canvas::paintEvent(QPaintEvent* event) {
    unpainted_ -= event->region();
    QPainter painter(this);
    // Paint in device pixels: the painter's own scale for the screen's ratio is undone, and
    // the canvas's corner put on a whole device pixel, so that Qt copies pixels one to one
    // instead of resampling them.
    const QTransform device = painter.deviceTransform();
    const QPointF corner = device.map(QPointF(0, 0));
    painter.setWorldTransform(
        QTransform::fromTranslate(std::round(corner.x()), std::round(corner.y())) *
            device.inverted(),
        true);
    for (const QRect& r : event->region()) {
        paintedArea += qint64(r.width()) * r.height();
        const QRect source = deviceCover(QRectF(r), ratio_) & image_.rect();
        // In bands: Qt hands the copy of a taller rectangle to its worker threads, and waking
        // them costs more than copying what one event draws.
        for (int y = source.top(); y <= source.bottom(); y += kBandRows) {
            const QRect band(source.left(), y, source.width(),
                             std::min(kBandRows, source.bottom() + 1 - y));
            painter.drawImage(band.topLeft(), image_, band);
        }
    }
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (onPress) {
        const QPointF pos = event->position();
        onPress(buttonCode(event->button()), pos.x() * kTwipsPerPixel, pos.y() * kTwipsPerPixel);
    }
}
