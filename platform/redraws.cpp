#include "platform/redraws.h"

#include <algorithm>
#include <cstring>

#include "platform/changed_places.h"
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

Redraws::Redraws(QSize devicePixels)
    : columns_((devicePixels.width() + kTile - 1) / kTile),
      rows_((devicePixels.height() + kTile - 1) / kTile), tiles_(std::size_t(columns_) * rows_),
      starts_(tiles_.size()) {}

bool Redraws::Record::touchedBy(const QRect& r) const {
    if (!area.intersects(r)) {
        return false;
    }
    if (line == 0) {
        return true;
    }
    // A frame's inside is not its own.
    const QRect inside = area.adjusted(line, line, -line, -line);
    return !inside.contains(r);
}

void Redraws::changed(const QRect& r) {
    const int x1 = std::max(0, r.left() / kTile), x2 = std::min(columns_ - 1, r.right() / kTile);
    const int y1 = std::max(0, r.top() / kTile), y2 = std::min(rows_ - 1, r.bottom() / kTile);
    for (int y = y1; y <= y2; ++y) {
        for (int x = x1; x <= x2; ++x) {
            for (const int i : tiles_[tile(x, y)]) {
                Record& record = records_[std::size_t(i)];
                if (record.inPlace && record.touchedBy(r)) {
                    record.inPlace = false;
                }
            }
        }
    }
}

int Redraws::indexOf(const QRect& area, int line) const {
    const QRect in = area & QRect(0, 0, columns_ * kTile, rows_ * kTile);
    if (in.isEmpty()) {
        return -1;
    }
    for (const int i : starts_[tile(in.left() / kTile, in.top() / kTile)]) {
        const Record& record = records_[std::size_t(i)];
        if (record.area == area && record.line == line) {
            return i;
        }
    }
    return -1;
}

const Redraws::Record* Redraws::find(const QRect& area, int line) const {
    const int i = indexOf(area, line);
    return i < 0 ? nullptr : &records_[std::size_t(i)];
}

Redraws::Record& Redraws::at(const QRect& area, int line) {
    const QRect in = area & QRect(0, 0, columns_ * kTile, rows_ * kTile);
    if (in.isEmpty()) {
        // Nothing is drawn there, and nothing is remembered.
        outside_ = Record{};
        return outside_;
    }
    if (const int known = indexOf(area, line); known >= 0) {
        return records_[std::size_t(known)];
    }
    const int index = int(records_.size());
    records_.push_back(Record{area, line, {}, {}, 0, 0, false});
    starts_[tile(in.left() / kTile, in.top() / kTile)].push_back(index);
    for (int y = in.top() / kTile; y <= in.bottom() / kTile; ++y) {
        for (int x = in.left() / kTile; x <= in.right() / kTile; ++x) {
            tiles_[tile(x, y)].push_back(index);
        }
    }
    return records_.back();
}

bool Redraws::pairInPlace(const QImage& picture, const QRect& cell, const QRect& frame,
                          QRgb colour) const {
    const Record* r = find(cell | frame, 0);
    return r != nullptr && r->inPlace && r->picture == picture.cacheKey() && r->cell == cell &&
           r->frame == frame && r->colour == colour;
}

void Redraws::pairWritten(const QImage& picture, const QRect& cell, const QRect& frame,
                          QRgb colour) {
    Record& r = at(cell | frame, 0);
    r.cell = cell;
    r.frame = frame;
    r.picture = picture.cacheKey();
    r.colour = colour;
    r.inPlace = true;
}

bool Redraws::frameInPlace(const QRect& frame, int w, QRgb colour) const {
    const Record* r = find(frame, w);
    return r != nullptr && r->inPlace && r->colour == colour;
}

void Redraws::frameWritten(const QRect& frame, int w, QRgb colour) {
    Record& r = at(frame, w);
    r.colour = colour;
    r.inPlace = true;
}

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
    int firstRow = -1, lastRow = -1, firstColumn = all.width(), lastColumn = -1;
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
        // Where in the row: a change inside a square leaves its neighbours' frames known.
        const Span span = copyDifferences(to, row, all.width());
        if (span.first <= span.last) {
            firstRow = firstRow < 0 ? y : firstRow;
            lastRow = y;
            firstColumn = std::min(firstColumn, span.first);
            lastColumn = std::max(lastColumn, span.last);
        }
    }
    return firstRow < 0 ? QRect()
                        : QRect(QPoint(all.left() + firstColumn, firstRow),
                                QPoint(all.left() + lastColumn, lastRow));
}
