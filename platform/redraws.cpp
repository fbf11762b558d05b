#include "platform/redraws.h"

#include <algorithm>
#include <cstring>

#include "platform/device_pixels.h"

namespace {

// Whether `image` already holds what `picture` in `cell` with the frame's lines over it leave:
// checked without writing, as most pairs drawn again are.
bool inPlace(const QImage& image, const QImage& picture, const QRect& cell, const QRect& f, int w,
             QRgb colour, const QRect& all) {
    for (int y = all.top(); y <= all.bottom(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const bool inCell = y >= cell.top() && y <= cell.bottom();
        const QRgb* source =
            inCell
                ? reinterpret_cast<const QRgb*>(picture.constScanLine(y - cell.top())) - cell.left()
                : nullptr;
        const auto samePicture = [&](int from, int last) { // columns of the canvas
            from = std::max({from, cell.left(), all.left()});
            last = std::min({last, cell.right(), all.right()});
            return !inCell || from > last ||
                   std::memcmp(row + from, source + from,
                               std::size_t(last - from + 1) * sizeof(QRgb)) == 0;
        };
        const auto sameColour = [&](int from, int last) {
            from = std::max(from, all.left());
            last = std::min(last, all.right());
            return from > last || std::all_of(row + from, row + last + 1,
                                              [colour](QRgb p) { return p == colour; });
        };
        bool same;
        if (y < f.top() || y > f.bottom()) {
            same = samePicture(cell.left(), cell.right());
        } else if (y < f.top() + w || y > f.bottom() - w) { // a line across
            same = sameColour(f.left(), f.right()) && samePicture(cell.left(), f.left() - 1) &&
                   samePicture(f.right() + 1, cell.right());
        } else { // the two side lines
            same = sameColour(f.left(), f.left() + w - 1) &&
                   sameColour(f.right() - w + 1, f.right()) &&
                   samePicture(cell.left(), f.left() - 1) &&
                   samePicture(f.left() + w, f.right() - w) &&
                   samePicture(f.right() + 1, cell.right());
        }
        if (!same) {
            return false;
        }
    }
    return true;
}

} // namespace

QRect Redraws::writePair(QImage& image, const QImage& picture, const QRect& cell,
                         const QRect& frame, int w, QRgb colour) {
    // Row by row, what the two leave is made in a scratch row and compared with the canvas:
    // a picture that covers its frame, with the same frame over it again, changes nothing.
    const QRect all = (cell | frame) & image.rect();
    if (all.isEmpty() || inPlace(image, picture, cell, frame, w, colour, all)) {
        return {};
    }
    const qsizetype stride = rgbStride(image);
    QRgb* to = reinterpret_cast<QRgb*>(image.bits()) + all.top() * stride + all.left();
    scratch_.resize(std::size_t(all.width()));
    QRgb* const row = scratch_.data();
    const auto paint = [&](int from, int last, QRgb c) { // columns of the canvas
        from = std::max(from, all.left());
        last = std::min(last, all.right());
        if (from <= last) {
            std::fill(row + from - all.left(), row + last - all.left() + 1, c);
        }
    };
    const std::size_t bytes = std::size_t(all.width()) * sizeof(QRgb);
    int firstRow = -1, lastRow = -1;
    for (int y = all.top(); y <= all.bottom(); ++y, to += stride) {
        std::memcpy(row, to, bytes);
        if (y >= cell.top() && y <= cell.bottom()) {
            const int from = std::max(cell.left(), all.left());
            const int last = std::min(cell.right(), all.right());
            if (from <= last) {
                const QRgb* source =
                    reinterpret_cast<const QRgb*>(picture.constScanLine(y - cell.top()));
                std::memcpy(row + from - all.left(), source + from - cell.left(),
                            std::size_t(last - from + 1) * sizeof(QRgb));
            }
        }
        if (y >= frame.top() && y <= frame.bottom()) {
            if (y < frame.top() + w || y > frame.bottom() - w) {
                paint(frame.left(), frame.right(), colour);
            } else {
                paint(frame.left(), frame.left() + w - 1, colour);
                paint(frame.right() - w + 1, frame.right(), colour);
            }
        }
        if (std::memcmp(row, to, bytes) != 0) {
            std::memcpy(to, row, bytes);
            firstRow = firstRow < 0 ? y : firstRow;
            lastRow = y;
        }
    }
    return firstRow < 0 ? QRect()
                        : QRect(all.left(), firstRow, all.width(), lastRow - firstRow + 1);
}
