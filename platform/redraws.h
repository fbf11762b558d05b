#pragma once

#include <QImage>
#include <QRect>

#include <vector>

// What the canvas needs to know to skip drawing that would leave every pixel as it is (the
// game draws every empty square and its frame after each drop, and every frame of the board
// when a pick is put down): the picture and frame last written together in each cell, and each
// frame last drawn on its own, for as long as none of the pixels they cover has changed since.
// Every change the canvas marks is told here, and makes stale exactly the records whose pixels
// it touches: a change inside one square leaves its neighbours known.
class Redraws {
public:
    explicit Redraws(QSize devicePixels);

    // These pixels changed.
    void changed(const QRect& r);

    // Whether `cell` still shows `picture` with the frame through the corners of `frame` in
    // `colour` over it, as last written together.
    bool pairInPlace(const QImage& picture, const QRect& cell, const QRect& frame,
                     QRgb colour) const;
    // They are now in place, just written (or found there).
    void pairWritten(const QImage& picture, const QRect& cell, const QRect& frame, QRgb colour);
    // The same for a frame drawn on its own, its lines `w` wide: only its lines count.
    bool frameInPlace(const QRect& frame, int w, QRgb colour) const;
    void frameWritten(const QRect& frame, int w, QRgb colour);

    // Writes `picture` into `cell` and then a frame of lines `w` wide through the corners of
    // `frame`, comparing what the two leave with what `image` holds; returns the bounding
    // rectangle of the pixels changed.
    QRect writePair(QImage& image, const QImage& picture, const QRect& cell, const QRect& frame,
                    int w, QRgb colour);

private:
    static constexpr int kTile = 32;

    struct Record {
        QRect area;        // every pixel that counts
        int line = 0;      // a frame alone: the width of its lines, of which only the pixels count
        QRect cell, frame; // a pair: where the picture and the frame went
        qint64 picture = 0;
        QRgb colour = 0;
        bool inPlace = false;
        bool touchedBy(const QRect& r) const;
    };
    // The record of these pixels, if any (its index: -1 if none).
    int indexOf(const QRect& area, int line) const;
    const Record* find(const QRect& area, int line) const;
    // The record of these pixels, made and filed under its tiles the first time.
    Record& at(const QRect& area, int line);
    std::size_t tile(int x, int y) const { return std::size_t(y) * columns_ + x; }

    int columns_, rows_;
    // Side by side, so that looking one up touches little memory: a press looks up a few
    // hundred of them.
    std::vector<Record> records_;
    // For each tile, the records whose pixels lie in it, and those whose first pixel on the
    // canvas does, by index.
    std::vector<std::vector<int>> tiles_, starts_;
    Record outside_; // for what lies wholly outside the canvas
    // One row of what a picture and its frame leave.
    std::vector<QRgb> scratch_;
};
