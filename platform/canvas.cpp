#include "platform/canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "platform/changed_places.h"
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

} // namespace

Canvas::Canvas(QSize logicalSize, qreal pixelRatio, QRgb ground)
    : image_(deviceSize(logicalSize, pixelRatio), QImage::Format_RGB32), ratio_(pixelRatio),
      redraws_(image_.size()) {
    image_.fill(ground);
    shown_ = image_.copy();
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
    writeHeldBack();
    // Held back until the next write: if that is a frame, the two are written together.
    heldBack_ = HeldBack{picture, cell};
    queueFlush(); // which writes it if nothing else does
}

void Canvas::writePicture(const QImage& picture, const QRect& cell) {
    const int left = cell.left(), top = cell.top();
    const QRect area = cell & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    const qsizetype stride = rgbStride(image_);
    const qsizetype sourceStride = rgbStride(picture);
    QRgb* to = reinterpret_cast<QRgb*>(image_.bits()) + area.top() * stride + area.left();
    const QRgb* from = reinterpret_cast<const QRgb*>(picture.constBits()) +
                       (area.top() - top) * sourceStride + (area.left() - left);
    const int width = area.width();
    Changed changed;
    for (int row = area.top(); row <= area.bottom(); ++row, from += sourceStride, to += stride) {
        // Where in the row: a change inside a square leaves its neighbours' frames known.
        const Span span = copyDifferences(to, from, width);
        if (span.first <= span.last) {
            changed.addRow(row, area.left() + span.first, area.left() + span.last);
        }
    }
    markChanged(changed);
}

void Canvas::writeHeldBack() {
    if (heldBack_) {
        const HeldBack held = std::move(*heldBack_);
        heldBack_.reset();
        writePicture(held.picture, held.cell);
    }
}

void Canvas::fill(const QRect& devicePixels, QRgb colour) {
    const QRect area = devicePixels & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    const qsizetype stride = rgbStride(image_);
    QRgb* to = reinterpret_cast<QRgb*>(image_.bits()) + area.top() * stride + area.left();
    const int width = area.width();
    Changed changed;
    if (width <= 4) { // the sides of a frame: a row is a pixel or two
        // Marked as whole rows of the strip: the flush finds what really differs.
        int firstRow = -1, lastRow = -1;
        for (int row = area.top(); row <= area.bottom(); ++row, to += stride) {
            for (int i = 0; i < width; ++i) {
                if (to[i] != colour) {
                    to[i] = colour;
                    firstRow = firstRow < 0 ? row : firstRow;
                    lastRow = row;
                }
            }
        }
        if (firstRow >= 0) {
            changed.addRow(firstRow, area.left(), area.right());
            changed.addRow(lastRow, area.left(), area.right());
        }
        markChanged(changed);
        return;
    }
    // A row of the colour to compare with: one comparison per row, several pixels at a time.
    if (colourRow_.empty() || colourRow_.front() != colour) {
        colourRow_.assign(std::size_t(image_.width()), colour);
    }
    for (int row = area.top(); row <= area.bottom(); ++row, to += stride) {
        if (std::memcmp(to, colourRow_.data(), std::size_t(width) * sizeof(QRgb)) == 0) {
            continue;
        }
        int first = 0;
        while (to[first] == colour) {
            ++first;
        }
        int last = width - 1;
        while (to[last] == colour) {
            --last;
        }
        std::fill(to + first, to + last + 1, colour);
        changed.addRow(row, area.left() + first, area.left() + last);
    }
    markChanged(changed);
}

void Canvas::drawFrame(int left, int top, int right, int bottom, QRgb colour) {
    // One-pixel strips through the corner pixels, as wide as a line is on this screen: the
    // edge two cells share falls on the same device pixels from either side. Each strip is
    // marked on its own: the square inside is not repainted.
    const int w = lineWidth(ratio_);
    const int x1 = toDevice(left, ratio_), y1 = toDevice(top, ratio_);
    const int x2 = toDevice(right, ratio_), y2 = toDevice(bottom, ratio_);
    const QRect frame(QPoint(x1, y1), QPoint(x2 + w - 1, y2 + w - 1));
    if (heldBack_) {
        const HeldBack held = std::move(*heldBack_);
        heldBack_.reset();
        if (!redraws_.pairInPlace(held.picture, held.cell, frame, colour)) {
            const QRect changed =
                redraws_.writePair(image_, held.picture, held.cell, frame, w, colour);
            if (!changed.isEmpty()) {
                markChanged({changed.left(), changed.top(), changed.right(), changed.bottom()});
            }
            redraws_.pairWritten(held.picture, held.cell, frame, colour);
        }
        return;
    }
    if (redraws_.frameInPlace(frame, w, colour)) {
        return;
    }
    fill(QRect(x1, y1, x2 + w - x1, w), colour);
    fill(QRect(x1, y2, x2 + w - x1, w), colour);
    fill(QRect(x1, y1, w, y2 + w - y1), colour);
    fill(QRect(x2, y1, w, y2 + w - y1), colour);
    redraws_.frameWritten(frame, w, colour);
}

void Canvas::drawText(const TextMask& mask, QPoint baseline, const TextInk& ink) {
    writeHeldBack();
    const QPoint at = baseline - mask.origin;
    const QRect area = QRect(at, mask.coverage.size()) & image_.rect();
    if (area.isEmpty()) {
        return;
    }
    const qsizetype stride = rgbStride(image_);
    QRgb* const bits = reinterpret_cast<QRgb*>(image_.bits());
    Changed changed;
    for (const TextMask::Run& run : mask.runs) {
        const int row = at.y() + run.row;
        const int from = std::max(at.x() + run.x, area.left());
        const int to = std::min(at.x() + run.x + run.length, area.right() + 1);
        if (row < area.top() || row > area.bottom() || from >= to) {
            continue;
        }
        const uchar* cover = mask.coverage.constScanLine(run.row) + (from - at.x());
        QRgb* pixel = bits + row * stride + from;
        int first = -1, last = -1;
        for (int i = 0; i < to - from; ++i) {
            const int a = cover[i];
            const QRgb d = pixel[i];
            const QRgb inked = ink.over(d, a);
            if (inked != d) {
                pixel[i] = inked;
                first = first < 0 ? i : first;
                last = i;
            }
        }
        if (first >= 0) {
            changed.addRow(row, from + first, from + last);
        }
    }
    markChanged(changed);
}

void Canvas::clear(QRgb colour) {
    // As with a window whose background colour changes, the client area is cleared to it.
    heldBack_.reset();
    image_.fill(colour);
    markChanged({0, 0, image_.width() - 1, image_.height() - 1});
    QPalette ground = palette();
    ground.setColor(QPalette::Window, QColor(colour));
    setPalette(ground);
}

void Canvas::markChanged(const Changed& changed) {
    if (changed.right < 0) {
        return;
    }
    queueFlush();
    changed_.push_back(
        QRect(QPoint(changed.left, changed.top), QPoint(changed.right, changed.bottom)));
    redraws_.changed(changed_.back());
}

void Canvas::queueFlush() {
    if (!flushQueued_) {
        flushQueued_ = true;
        QMetaObject::invokeMethod(this, &Canvas::flushChanged, Qt::QueuedConnection);
    }
}

void Canvas::flushChanged() {
    flushQueued_ = true; // what the held picture marks is flushed now, not queued again
    writeHeldBack();
    flushQueued_ = false;
    // A place drawn over twice in one event may end up as it was (a square's picture covers
    // its frame, and the frame is drawn again): what reaches the screen is what differs from
    // what the screen was last given.
    std::vector<QRect> shown;
    for (const QRect& r : changed_) {
        const Changed changed = copyWhatDiffers(image_, shown_, r);
        if (changed.right >= 0) {
            shown.push_back(
                QRect(QPoint(changed.left, changed.top), QPoint(changed.right, changed.bottom)));
        }
    }
    changed_.clear();
    joinPlaces(shown);
    QRegion region;
    if (shown.size() > kMostPlaces) {
        QRect all;
        for (const QRect& r : shown) {
            all |= r;
        }
        region = logicalCover(all, ratio_) & rect();
    } else {
        // Joined pairwise: adding rectangles one by one to a region costs the square of
        // their number.
        std::vector<QRegion> parts;
        for (const QRect& r : shown) {
            parts.emplace_back(logicalCover(r, ratio_) & rect());
        }
        for (std::size_t step = 1; step < parts.size(); step *= 2) {
            for (std::size_t i = 0; i + step < parts.size(); i += 2 * step) {
                parts[i] += parts[i + step];
            }
        }
        if (!parts.empty()) {
            region = parts.front();
        }
    }
    if (!region.isEmpty()) {
        unpainted_ += region;
        update(region);
    }
}

Canvas::Changed Canvas::copyWhatDiffers(const QImage& now, QImage& was, const QRect& r) {
    const qsizetype stride = rgbStride(now);
    const QRgb* from = reinterpret_cast<const QRgb*>(now.constBits()) + r.top() * stride;
    QRgb* to = reinterpret_cast<QRgb*>(was.bits()) + r.top() * stride;
    const int width = r.width();
    Changed changed;
    if (width <= 4) { // the side of a frame: a pixel or two a row
        for (int row = r.top(); row <= r.bottom(); ++row, from += stride, to += stride) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (to[x] != from[x]) {
                    to[x] = from[x];
                    changed.addRow(row, x, x);
                }
            }
        }
        return changed;
    }
    for (int row = r.top(); row <= r.bottom(); ++row, from += stride, to += stride) {
        const Span span = copyDifferences(to + r.left(), from + r.left(), width);
        if (span.first <= span.last) {
            changed.addRow(row, r.left() + span.first, r.left() + span.last);
        }
    }
    return changed;
}

void Canvas::repaintChanged() {
    flushChanged();
    if (isVisible() && !unpainted_.isEmpty()) {
        repaint(unpainted_);
    }
}

void Canvas::paintEvent(QPaintEvent* event) {
    writeHeldBack();
    unpainted_ -= event->region();
    QPainter painter(this);
    paintInDevicePixels(painter, devicePixelRatioF());
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
