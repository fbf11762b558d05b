#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>

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

// The game's fonts and the masks of the texts drawn in them, made once per text, size and
// weight at the canvas's pixel ratio and kept. It draws nothing on the canvas itself.
class TextMasks {
public:
    explicit TextMasks(qreal ratio) : ratio_(ratio) {}

    // The font's ascent in logical pixels: a text's baseline lies that far below its top.
    qreal ascent(int pixelSize, bool bold) { return font(pixelSize, bold).ascent; }
    const TextMask& mask(const std::string& text, int pixelSize, bool bold);

private:
    struct FontEntry {
        QFont font;
        qreal ascent;
    };
    const FontEntry& font(int pixelSize, bool bold);

    qreal ratio_;
    std::map<std::pair<int, bool>, FontEntry> fonts_;
    std::map<std::tuple<std::string, int, bool>, TextMask> masks_;
};
