#include "tools/drawing.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <vector>

Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

QRgb toQRgb(Rgb c) {
    auto q = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); };
    return qRgb(q(c.r), q(c.g), q(c.b));
}

QColor toQColor(Rgb c) {
    return QColor(toQRgb(c));
}

double hash01(std::int64_t i, std::uint32_t seed) {
    std::uint64_t x =
        static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15ull + seed * 0xBF58476D1CE4E5B9ull;
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    x ^= x >> 31;
    return static_cast<double>(x >> 11) / static_cast<double>(1ull << 53);
}

double smoothNoise(double x, std::uint32_t seed) {
    const double fl = std::floor(x);
    const auto i = static_cast<std::int64_t>(fl);
    const double f = x - fl;
    const double s = f * f * (3.0 - 2.0 * f);
    return hash01(i, seed) * (1.0 - s) + hash01(i + 1, seed) * s;
}

QPolygonF insetPolygon(const QPolygonF& poly, std::span<const double> inset) {
    const auto n = poly.size();
    Q_ASSERT(static_cast<qsizetype>(inset.size()) == n);
    struct Line {
        QPointF p, d;
    };
    std::vector<Line> lines;
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF a = poly[i];
        const QPointF b = poly[(i + 1) % n];
        const QPointF d = b - a;
        const double len = std::hypot(d.x(), d.y());
        // Vertices run clockwise on screen (y down), so (-dy, dx) points into the polygon.
        const QPointF normal(-d.y() / len, d.x() / len);
        lines.push_back({a + normal * inset[static_cast<std::size_t>(i)], d});
    }
    QPolygonF out;
    for (qsizetype i = 0; i < n; ++i) {
        const Line& l1 = lines[static_cast<std::size_t>((i + n - 1) % n)];
        const Line& l2 = lines[static_cast<std::size_t>(i)];
        const double den = l1.d.x() * l2.d.y() - l1.d.y() * l2.d.x();
        const QPointF w = l2.p - l1.p;
        const double t = (w.x() * l2.d.y() - w.y() * l2.d.x()) / den;
        out << l1.p + l1.d * t;
    }
    return out;
}

QFont kanjiFont(int pixelSize) {
    QFont f(QStringLiteral("IPAMincho"));
    f.setPixelSize(pixelSize);
    // Synthetic emboldening keeps the thin Mincho strokes from fading out at 11-12 px;
    // vertical-only hinting snaps the many horizontal strokes to whole pixels without distorting
    // the shapes.
    f.setBold(true);
    f.setHintingPreference(QFont::PreferVerticalHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QRect inkBounds(const QFont& font, const QString& text) {
    const int pad = font.pixelSize() * 2;
    QImage scratch(pad * 2 + font.pixelSize() * text.size() * 2, pad * 2, QImage::Format_ARGB32);
    scratch.fill(Qt::transparent);
    {
        QPainter p(&scratch);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(pad, pad), text);
    }
    int x0 = scratch.width(), y0 = scratch.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < scratch.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x) {
            // Ignore the faintest antialiasing fringe: it does not read as part of the glyph.
            if (qAlpha(line[x]) > 48) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0)
        return {};
    return QRect(QPoint(x0 - pad, y0 - pad), QPoint(x1 - pad, y1 - pad));
}

void drawCentred(QPainter& p, const QFont& font, const QString& text, QPointF centre,
                 const QColor& colour) {
    const QRect ink = inkBounds(font, text);
    const double inkCx = ink.left() + ink.width() / 2.0;
    const double inkCy = ink.top() + ink.height() / 2.0;
    const QPoint origin(static_cast<int>(std::lround(centre.x() - inkCx)),
                        static_cast<int>(std::lround(centre.y() - inkCy)));
    p.save();
    p.resetTransform();
    p.setFont(font);
    p.setPen(colour);
    p.drawText(origin, text);
    p.restore();
}
