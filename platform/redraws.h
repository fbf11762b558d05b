#pragma once

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

// What the canvas needs to know to skip a picture and its frame drawn again over themselves
// (the game draws every empty square and its frame after each drop): for each cell, the
// picture and the frame last written there together, and whether any pixel near them has
// changed since. Changes are counted per tile of kTile x kTile device pixels; a cell's stamp
// is the sum of its tiles' counts, which only grows, so an equal stamp means that none of its
// pixels changed.
class Redraws {
public:
    static constexpr int kTile = 16;

    explicit Redraws(QSize devicePixels)
        : columns_((devicePixels.width() + kTile - 1) / kTile),
          rows_((devicePixels.height() + kTile - 1) / kTile),
          changes_(std::size_t(columns_) * rows_) {}

    // Counts a change of these pixels.
    void changed(const QRect& r) {
        const Tiles t = tiles(r);
        for (int y = t.y1; y <= t.y2; ++y) {
            for (int x = t.x1; x <= t.x2; ++x) {
                ++changes_[std::size_t(y) * columns_ + x];
            }
        }
    }
    // `picture` in `cell` and then the frame through the corners of `frame` in `colour`, just
    // written.
    void pairWritten(const QImage& picture, const QRect& cell, const QRect& frame, QRgb colour) {
        cells_[key(cell)] = {picture.cacheKey(), cell, frame, colour, stamp(cell | frame)};
    }
    // Whether `cell` still shows `picture` with `frame` over it, as last written.
    bool unchanged(const QImage& picture, const QRect& cell, const QRect& frame,
                   QRgb colour) const {
        const auto found = cells_.find(key(cell));
        if (found == cells_.end()) {
            return false;
        }
        const Cell& c = found->second;
        return c.picture == picture.cacheKey() && c.cell == cell && c.frame == frame &&
               c.colour == colour && c.stamp == stamp(cell | frame);
    }

    // Writes `picture` into `cell` and then a frame of lines `w` wide through the corners of
    // `frame`, comparing what the two leave with what `image` holds; returns the rows changed.
    QRect writePair(QImage& image, const QImage& picture, const QRect& cell, const QRect& frame,
                    int w, QRgb colour);

private:
    struct Cell {
        qint64 picture = 0;
        QRect cell, frame;
        QRgb colour = 0;
        std::uint64_t stamp = 0;
    };
    static std::uint64_t key(const QRect& cell) {
        return (std::uint64_t(std::uint32_t(cell.x())) << 32) | std::uint32_t(cell.y());
    }
    // The tiles `r` touches: columns x1..x2, rows y1..y2.
    struct Tiles {
        int x1, x2, y1, y2;
    };
    Tiles tiles(const QRect& r) const {
        return {std::max(0, r.left() / kTile), std::min(columns_ - 1, r.right() / kTile),
                std::max(0, r.top() / kTile), std::min(rows_ - 1, r.bottom() / kTile)};
    }
    std::uint64_t stamp(const QRect& r) const {
        const Tiles t = tiles(r);
        std::uint64_t sum = 0;
        for (int y = t.y1; y <= t.y2; ++y) {
            for (int x = t.x1; x <= t.x2; ++x) {
                sum += changes_[std::size_t(y) * columns_ + x];
            }
        }
        return sum;
    }

    int columns_, rows_;
    std::vector<std::uint64_t> changes_;
    std::unordered_map<std::uint64_t, Cell> cells_;
    // One row of what a picture and its frame leave.
    std::vector<QRgb> scratch_;
};
