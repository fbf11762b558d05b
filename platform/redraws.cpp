#include "platform/redraws.h"

#include <algorithm>
#include <cstring>

#include "platform/device_pixels.h"

QRect Redraws::writePair(QImage& image, const QImage& picture, const QRect& cell,
                         const QRect& frame, int w, QRgb colour) {
    // Row by row, what the two leave is made in a scratch row and compared with the canvas:
    // a picture that covers its frame, with the same frame over it again, changes nothing.
    const QRect all = (cell | frame) & image.rect();
    if (all.isEmpty()) {
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
