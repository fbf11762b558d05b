#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>

#include <algorithm>
#include <array>
#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// A text's glyph coverage in device pixels, with its baseline origin: what a text leaves on
// the canvas, whatever colour it is drawn in.
struct TextMask {
    QImage coverage; // Format_Alpha8
    QPoint origin;
    // Runs of pixels with some coverage, row by row.
    struct Run {
        int row, x, length;
    };
    std::vector<Run> runs;
};

// A text colour: what it leaves on a pixel at each coverage. Drawing the same text again
// leaves every pixel as it is: a channel only ever moves from what was there towards the ink,
// and never further than the ink reaches at that coverage. How far that is, is worked out once
// per colour.
class TextInk {
public:
    explicit TextInk(QRgb colour);
    QRgb colour() const { return colour_; }
    // Coverage `a` (0..255) of the ink over the pixel `d`.
    QRgb over(QRgb d, int a) const {
        return qRgb(red_.over(qRed(d), a), green_.over(qGreen(d), a), blue_.over(qBlue(d), a));
    }

private:
    struct Channel {
        explicit Channel(int ink);
        int over(int d, int a) const {
            return ink >= d ? std::max<int>(d, up[std::size_t(a)])
                            : std::min<int>(d, down[std::size_t(a)]);
        }
        int ink;
        // At each coverage: where the ink is the brighter, the least it brings a value up to;
        // where it is the darker, the most it leaves.
        std::array<uchar, 256> up, down;
    };
    QRgb colour_;
    Channel red_, green_, blue_;
};

// The game's fonts and the masks of the texts drawn in them, made once per text, size and
// weight at the canvas's pixel ratio and kept, and the colours they are drawn in. It draws
// nothing on the canvas itself.
class TextMasks {
public:
    explicit TextMasks(qreal ratio) : ratio_(ratio) {}

    // The font's ascent in logical pixels: a text's baseline lies that far below its top.
    qreal ascent(int pixelSize, bool bold) { return font(pixelSize, bold).ascent; }
    const TextMask& mask(const std::string& text, int pixelSize, bool bold);
    const TextInk& ink(QRgb colour);

private:
    struct FontEntry {
        QFont font;
        qreal ascent;
    };
    const FontEntry& font(int pixelSize, bool bold);

    qreal ratio_;
    std::map<std::pair<int, bool>, FontEntry> fonts_;
    std::map<std::tuple<std::string, int, bool>, TextMask> masks_;
    std::deque<TextInk> inks_; // one per palette colour at most; found again by reference
};
