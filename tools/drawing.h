// Drawing helpers the artwork tool shares: colours, a hash noise that looks the same at every
// scale, a polygon inset, and kanji and text placed by their ink.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <QRect>
#include <QString>

#include <cstdint>
#include <numbers>
#include <span>

inline constexpr double kPi = std::numbers::pi;

struct Rgb {
    double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t);
QRgb toQRgb(Rgb c);
QColor toQColor(Rgb c);

// Integer hash -> [0,1). Used instead of a random generator so that a pattern can be sampled at
// any resolution and still be the same pattern.
double hash01(std::int64_t i, std::uint32_t seed);
// Smooth 1-D value noise in [0,1].
double smoothNoise(double x, std::uint32_t seed);

// Moves every edge of a convex polygon inwards by its own distance. Used to get the lit face of a
// piece: the orange "thickness" shows where the face is pulled in from the outline.
QPolygonF insetPolygon(const QPolygonF& poly, std::span<const double> inset);

// The Mincho face the pieces and the icon are written in, at a size in device pixels.
QFont kanjiFont(int pixelSize);
// Bounding box of the pixels a string really covers when drawn at the origin, hinting and
// emboldening included (outline metrics are off by up to a pixel at these sizes).
QRect inkBounds(const QFont& font, const QString& text);
// Draws text so that its ink is centred on `centre` (device pixels). The pen position is kept on
// whole pixels so that the hinted glyph stays sharp.
void drawCentred(QPainter& p, const QFont& font, const QString& text, QPointF centre,
                 const QColor& colour);
