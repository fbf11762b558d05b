// make_assets: draws every bitmap, the application icon and the sound effects of Kovalt from code.
//
//   make_assets <assets-dir>
//
// writes <assets-dir>/pictures/*.png (each also as NAME@2x.png, drawn natively at double
// resolution), <assets-dir>/icon/kovalt-{32,48,64,128,256}.png, <assets-dir>/icon/kovalt.svg and
// <assets-dir>/sounds/*.wav. The output is deterministic: all "randomness" comes from hashed
// coordinates or a fixed seed, so re-running it only changes files whose drawing code changed.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <span>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

// --- small helpers ------------------------------------------------------------------------------

struct Rgb {
    double r, g, b;
};

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

// Integer hash -> [0,1). Used instead of a random generator so that a pattern can be sampled at
// any resolution and still be the same pattern.
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

// Smooth 1-D value noise in [0,1].
double smoothNoise(double x, std::uint32_t seed) {
    const double fl = std::floor(x);
    const auto i = static_cast<std::int64_t>(fl);
    const double f = x - fl;
    const double s = f * f * (3.0 - 2.0 * f);
    return hash01(i, seed) * (1.0 - s) + hash01(i + 1, seed) * s;
}

bool save(const QImage& image, const QString& path) {
    QImage out = image;
    // Fixed physical resolution: QImage would otherwise take it from the (virtual) screen.
    out.setDotsPerMeterX(3780);
    out.setDotsPerMeterY(3780);
    if (!out.save(path, "PNG")) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(path), out.width(), out.height());
    return true;
}

// Pictures are opaque; store them as plain 24-bit RGB.
bool saveRgb(const QImage& image, const QString& path) {
    return save(image.convertToFormat(QImage::Format_RGB888), path);
}

// Moves every edge of a convex polygon inwards by its own distance. Used to get the lit face of a
// piece: the orange "thickness" shows where the face is pulled in from the outline.
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

// --- text ---------------------------------------------------------------------------------------

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

// Bounding box of the pixels a string really covers when drawn at the origin, hinting and
// emboldening included (outline metrics are off by up to a pixel at these sizes).
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

// Draws text so that its ink is centred on `centre` (device pixels). The pen position is kept on
// whole pixels so that the hinted glyph stays sharp.
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

// --- wood ---------------------------------------------------------------------------------------

constexpr int kSquareW = 33;
constexpr int kSquareH = 41;

struct WoodColours {
    Rgb light, dark;
};

constexpr WoodColours kBoardWood{{240, 222, 168}, {208, 178, 116}};
constexpr WoodColours kCoveredWood{{242, 162, 72}, {214, 124, 42}};

// Vertical grain as a function of position in 1x pixels, so 1x and 2x show the same wood.
double grain(double u, double v) {
    // The rings wander sideways a little with height, or they would look ruled.
    const double drift = 1.8 * smoothNoise(v / 13.0 + 5.0, 11) + 0.5 * std::sin(v / 8.5);
    const double w = u + drift;
    const double rings = 0.5 + 0.5 * std::sin(2.0 * kPi * w / 5.3 + 2.5 * smoothNoise(w / 7.0, 23));
    const double streaks = smoothNoise(w * 1.4, 37);
    return 0.65 * std::pow(rings, 4.0) + 0.35 * streaks * streaks;
}

QImage wood(int scale, const WoodColours& c) {
    QImage img(kSquareW * scale, kSquareH * scale, QImage::Format_RGB32);
    constexpr int kSub = 4; // supersampling, so fine streaks do not alias
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            double g = 0.0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    g += grain((x + (sx + 0.5) / kSub) / scale, (y + (sy + 0.5) / kSub) / scale);
            g /= kSub * kSub;
            line[x] = toQRgb(mix(c.light, c.dark, g));
        }
    }
    return img;
}

// --- pieces -------------------------------------------------------------------------------------

constexpr Rgb kFaceLight{253, 242, 182};
constexpr Rgb kFaceDeep{247, 228, 150};
constexpr Rgb kPieceSide{232, 146, 48};
constexpr Rgb kPieceOutline{140, 80, 24};
constexpr Rgb kInkBlack{0, 0, 0};
constexpr Rgb kInkRed{204, 16, 16};

// The five-sided piece in 1x coordinates of a 33x41 square: narrow pointed top, wider base.
QPolygonF pieceOutline() {
    return QPolygonF{{16.5, 2.0}, {27.0, 9.0}, {29.5, 39.0}, {3.5, 39.0}, {6.0, 9.0}};
}

// Thickness showing along each edge (same order as the outline's edges): the light comes from
// the upper right, so the left and lower sides show the orange edge of the wood.
constexpr std::array<double, 5> kPieceSides{0.0, 0.0, 2.0, 2.2, 1.0};

void drawPieceBody(QPainter& p, const QPolygonF& outline, std::span<const double> sides,
                   double outlineWidth, double faceTop, double faceBottom) {
    p.setPen(Qt::NoPen);
    p.setBrush(toQColor(kPieceSide));
    p.drawPolygon(outline);

    QLinearGradient face(0, faceTop, 0, faceBottom);
    face.setColorAt(0.0, toQColor(kFaceLight));
    face.setColorAt(1.0, toQColor(kFaceDeep));
    p.setBrush(face);
    p.drawPolygon(insetPolygon(outline, sides));

    p.setBrush(Qt::NoBrush);
    QPen pen(toQColor(kPieceOutline), outlineWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.drawPolygon(outline);
}

struct PieceDef {
    const char* file;
    const char* name; // UTF-8; one or two characters
    Rgb ink;
};

QImage piecePicture(int scale, const PieceDef& def) {
    QImage img = wood(scale, kBoardWood);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    drawPieceBody(p, pieceOutline(), kPieceSides, 1.0, 9.0, 37.0);

    // Centre of the lit face, which sits right of the geometric centre because of the left edge.
    const double cx = 17.0 * scale;
    const QString name = QString::fromUtf8(def.name);
    if (name.size() == 1) {
        drawCentred(p, kanjiFont(20 * scale), name, QPointF(cx, 23.5 * scale), toQColor(def.ink));
    } else {
        const QFont f = kanjiFont(13 * scale);
        drawCentred(p, f, name.mid(0, 1), QPointF(cx, 16.5 * scale), toQColor(def.ink));
        drawCentred(p, f, name.mid(1, 1), QPointF(cx, 29.5 * scale), toQColor(def.ink));
    }
    return img;
}

// --- background tile and logo -------------------------------------------------------------------

// Tiles at a 33x41 pitch with one column of overlap, so only rows may vary; the stripe count is
// a whole number per 41 rows, so the tile repeats seamlessly downwards too.
QImage backgroundTile(int scale) {
    constexpr Rgb base{14, 124, 92};
    constexpr Rgb stripe{0, 96, 68};
    constexpr int kStripes = 3;
    constexpr int kSub = 8;
    QImage img(34 * scale, kSquareH * scale, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        double t = 0.0;
        for (int s = 0; s < kSub; ++s) {
            const double v = (y + (s + 0.5) / kSub) / scale;
            const double c = 0.5 + 0.5 * std::cos(2.0 * kPi * kStripes * v / kSquareH);
            t += std::pow(c, 6.0);
        }
        const QRgb colour = toQRgb(mix(base, stripe, t / kSub));
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line, line + img.width(), colour);
    }
    return img;
}

QImage logo(int scale) {
    constexpr int kW = 115, kH = 57, kEdge = 5;
    QImage img(kW * scale, kH * scale, QImage::Format_RGB32);
    img.fill(toQColor(Rgb{253, 242, 182}));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);

    // Orange frame on the right and lower edges, mitred at the corners like a raised plate.
    const QPolygonF frame{{kW, 0},
                          {kW, kH},
                          {0, kH},
                          {kEdge, kH - kEdge},
                          {kW - kEdge, kH - kEdge},
                          {kW - kEdge, kEdge}};
    QLinearGradient g(kW - kEdge, kH - kEdge, kW, kH);
    g.setColorAt(0.0, toQColor(Rgb{238, 156, 56}));
    g.setColorAt(1.0, toQColor(Rgb{206, 116, 30}));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPolygon(frame);
    QPen edge(toQColor(kPieceOutline), 1.0);
    p.setPen(edge);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, kW - 1, kH - 1));
    p.setPen(QPen(toQColor(Rgb{200, 120, 40}), 0.6));
    p.drawLine(QPointF(kEdge, kH - kEdge), QPointF(kW - kEdge, kH - kEdge));
    p.drawLine(QPointF(kW - kEdge, kEdge), QPointF(kW - kEdge, kH - kEdge));

    // Largest serif lettering that leaves a comfortable margin on the plate.
    const QString text = QStringLiteral("Kovalt");
    const QRectF plate(0, 0, kW - kEdge, kH - kEdge);
    const double maxW = (plate.width() - 12) * scale, maxH = (plate.height() - 14) * scale;
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setBold(true);
    f.setHintingPreference(QFont::PreferVerticalHinting);
    int size = 8 * scale;
    for (int s = size; s < 200 * scale; ++s) {
        f.setPixelSize(s);
        const QRect ink = inkBounds(f, text);
        if (ink.width() > maxW || ink.height() > maxH)
            break;
        size = s;
    }
    f.setPixelSize(size);
    const QPointF centre = plate.center() * scale;
    drawCentred(p, f, text, centre + QPointF(1.0 * scale, 1.0 * scale),
                toQColor(Rgb{236, 170, 80}));
    drawCentred(p, f, text, centre, toQColor(Rgb{52, 30, 16}));
    return img;
}

// --- icon ---------------------------------------------------------------------------------------

QImage icon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double s = size;

    const QRectF ground(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    QRadialGradient blue(ground.center() - QPointF(s * 0.15, s * 0.2), s * 0.8);
    blue.setColorAt(0.0, QColor(64, 120, 224));
    blue.setColorAt(1.0, QColor(18, 48, 140));
    p.setPen(QPen(QColor(10, 28, 90), std::max(1.0, s / 64.0)));
    p.setBrush(blue);
    p.drawRoundedRect(ground, s * 0.18, s * 0.18);

    const QPolygonF piece{{s * 0.50, s * 0.10},
                          {s * 0.76, s * 0.25},
                          {s * 0.82, s * 0.90},
                          {s * 0.18, s * 0.90},
                          {s * 0.24, s * 0.25}};
    const double t = s / 33.0; // thickness unit, as on the 33 px board pieces
    const std::array<double, 5> sides{0.0, 0.0, 2.0 * t, 2.0 * t, 1.0 * t};
    // Piece colours are warmer and more saturated than on the board so they hold against blue.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 150, 40));
    p.drawPolygon(piece);
    QLinearGradient face(0, s * 0.25, 0, s * 0.9);
    face.setColorAt(0.0, QColor(255, 236, 120));
    face.setColorAt(1.0, QColor(250, 212, 70));
    p.setBrush(face);
    p.drawPolygon(insetPolygon(piece, sides));
    QPen outline(QColor(110, 60, 10), std::max(1.0, s / 48.0));
    outline.setJoinStyle(Qt::MiterJoin);
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(piece);

    const QString king = QString::fromUtf8("王");
    const QPointF centre(s * 0.515, s * 0.57);
    QFont f = kanjiFont(static_cast<int>(std::lround(s * 0.5)));
    if (size <= 32) {
        // Too small for outlines: let the hinter put every stroke on whole pixels.
        f.setHintingPreference(QFont::PreferFullHinting);
        drawCentred(p, f, king, centre, Qt::black);
    } else {
        // Large Mincho strokes look spindly on an icon; thicken the outline itself.
        QPainterPath glyph;
        glyph.addText(0, 0, f, king);
        glyph.translate(centre - glyph.boundingRect().center());
        QPen pen(Qt::black, s * 0.014);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::black);
        p.drawPath(glyph);
    }
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// The same icon as a scalable picture, drawn with the geometry and colours of icon() at 256 px.
// The kanji goes in as an outline, so the file needs no font.
QString svgNumber(double v) {
    QString n = QString::number(v, 'f', 2);
    while (n.endsWith('0'))
        n.chop(1);
    if (n.endsWith('.'))
        n.chop(1);
    return n == QLatin1String("-0") ? QStringLiteral("0") : n;
}

QString svgPoints(const QPolygonF& poly) {
    QStringList points;
    for (const QPointF& pt : poly)
        points << svgNumber(pt.x()) + ',' + svgNumber(pt.y());
    return points.join(' ');
}

QString svgPathData(const QPainterPath& path) {
    QStringList d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString xy = svgNumber(e.x) + ' ' + svgNumber(e.y);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            d << 'M' + xy;
            break;
        case QPainterPath::LineToElement:
            d << 'L' + xy;
            break;
        case QPainterPath::CurveToElement:
            d << 'C' + xy;
            break;
        case QPainterPath::CurveToDataElement:
            d << xy;
            break;
        }
    }
    return d.join(' ');
}

QByteArray iconSvg() {
    const double s = 256;
    const QRectF ground(s * 0.03, s * 0.03, s * 0.94, s * 0.94);
    const QPointF focus = ground.center() - QPointF(s * 0.15, s * 0.2);
    const QPolygonF piece{{s * 0.50, s * 0.10},
                          {s * 0.76, s * 0.25},
                          {s * 0.82, s * 0.90},
                          {s * 0.18, s * 0.90},
                          {s * 0.24, s * 0.25}};
    const double t = s / 33.0;
    const std::array<double, 5> sides{0.0, 0.0, 2.0 * t, 2.0 * t, 1.0 * t};
    QPainterPath glyph;
    glyph.addText(0, 0, kanjiFont(static_cast<int>(std::lround(s * 0.5))), QString::fromUtf8("王"));
    glyph.translate(QPointF(s * 0.515, s * 0.57) - glyph.boundingRect().center());
    const char* fillRule = glyph.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero";

    const QString n = QStringLiteral("%1");
    QString svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 256 256\">\n";
    svg += "  <defs>\n";
    svg += n.arg("    <radialGradient id=\"ground\" gradientUnits=\"userSpaceOnUse\" cx=\"%1\" "
                 "cy=\"%2\" r=\"%3\">\n")
               .arg(svgNumber(focus.x()), svgNumber(focus.y()), svgNumber(s * 0.8));
    svg += "      <stop offset=\"0\" stop-color=\"#4078e0\"/>\n";
    svg += "      <stop offset=\"1\" stop-color=\"#12308c\"/>\n";
    svg += "    </radialGradient>\n";
    svg += n.arg("    <linearGradient id=\"face\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" "
                 "y1=\"%1\" x2=\"0\" y2=\"%2\">\n")
               .arg(svgNumber(s * 0.25), svgNumber(s * 0.9));
    svg += "      <stop offset=\"0\" stop-color=\"#ffec78\"/>\n";
    svg += "      <stop offset=\"1\" stop-color=\"#fad446\"/>\n";
    svg += "    </linearGradient>\n";
    svg += "  </defs>\n";
    svg += n.arg("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                 "fill=\"url(#ground)\" stroke=\"#0a1c5a\" stroke-width=\"%6\"/>\n")
               .arg(svgNumber(ground.x()), svgNumber(ground.y()), svgNumber(ground.width()),
                    svgNumber(ground.height()), svgNumber(s * 0.18), svgNumber(s / 64.0));
    svg += n.arg("  <polygon points=\"%1\" fill=\"#ec9628\"/>\n").arg(svgPoints(piece));
    svg += n.arg("  <polygon points=\"%1\" fill=\"url(#face)\"/>\n")
               .arg(svgPoints(insetPolygon(piece, sides)));
    svg += n.arg("  <polygon points=\"%1\" fill=\"none\" stroke=\"#6e3c0a\" stroke-width=\"%2\" "
                 "stroke-linejoin=\"miter\"/>\n")
               .arg(svgPoints(piece), svgNumber(s / 48.0));
    svg += n.arg("  <path fill=\"#000\" fill-rule=\"%1\" stroke=\"#000\" stroke-width=\"%2\" "
                 "stroke-linejoin=\"round\" d=\"%3\"/>\n")
               .arg(QLatin1String(fillRule), svgNumber(s * 0.014), svgPathData(glyph));
    svg += "</svg>\n";
    return svg.toUtf8();
}

bool writeText(const QByteArray& text, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// --- sounds -------------------------------------------------------------------------------------

constexpr int kRate = 44100;

// Fixed-seed generator for the noise in the click, so the file is the same on every run.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    double next() { // uniform in [-1, 1)
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
    }

private:
    std::uint32_t state_;
};

// Two-pole resonant band-pass (RBJ cookbook, constant 0 dB peak gain).
class BandPass {
public:
    BandPass(double freq, double q) {
        const double w = 2.0 * kPi * freq / kRate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        b0_ = alpha / a0;
        b2_ = -alpha / a0;
        a1_ = -2.0 * std::cos(w) / a0;
        a2_ = (1.0 - alpha) / a0;
    }
    double operator()(double x) {
        const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

std::vector<double> samples(double seconds) {
    return std::vector<double>(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0);
}

double timeOf(std::size_t i) {
    return static_cast<double>(i) / kRate;
}

// Raised-cosine fades so the sound starts and stops without a click, then scale to -6 dBFS.
void finish(std::vector<double>& s, double fadeIn, double fadeOut) {
    const auto n = s.size();
    const auto in = static_cast<std::size_t>(fadeIn * kRate);
    const auto out = static_cast<std::size_t>(fadeOut * kRate);
    for (std::size_t i = 0; i < in && i < n; ++i)
        s[i] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(in));
    for (std::size_t i = 0; i < out && i < n; ++i)
        s[n - 1 - i] *=
            0.5 - 0.5 * std::cos(kPi * static_cast<double>(i) / static_cast<double>(out));
    double peak = 0.0;
    for (double v : s)
        peak = std::max(peak, std::abs(v));
    if (peak > 0.0) {
        const double gain = std::pow(10.0, -6.0 / 20.0) / peak;
        for (double& v : s)
            v *= gain;
    }
}

bool writeWav(const QString& path, const std::vector<double>& s) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    QByteArray data;
    auto put16 = [&data](std::uint16_t v) {
        data.append(static_cast<char>(v & 0xff));
        data.append(static_cast<char>(v >> 8));
    };
    auto put32 = [&data](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.append(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    const auto bytes = static_cast<std::uint32_t>(s.size() * 2);
    data.append("RIFF");
    put32(36 + bytes);
    data.append("WAVEfmt ");
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    data.append("data");
    put32(bytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(q)));
    }
    if (file.write(data) != data.size()) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%.3f s)\n", qPrintable(path), static_cast<double>(s.size()) / kRate);
    return true;
}

// A piece put down: a short knock of filtered noise and the ring of the wood itself.
std::vector<double> komaSound() {
    auto s = samples(0.10);
    Lcg noise(0x4b6f6d61u);
    BandPass knock(2600.0, 1.2);
    BandPass body(1150.0, 6.0);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        const double burst = noise.next() * std::exp(-t / 0.004);
        const double n = knock(burst);
        const double ring = body(burst) * 3.0;
        const double tone = 0.55 * std::sin(2.0 * kPi * 1180.0 * t) * std::exp(-t / 0.016) +
                            0.30 * std::sin(2.0 * kPi * 760.0 * t) * std::exp(-t / 0.024) +
                            0.12 * std::sin(2.0 * kPi * 2950.0 * t) * std::exp(-t / 0.007);
        s[i] = 0.9 * n + 0.6 * ring + tone;
    }
    finish(s, 0.0008, 0.02);
    return s;
}

// A refused move: a low, soft-edged buzz.
std::vector<double> kinshiSound() {
    auto s = samples(0.22);
    const double f = 130.0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        // tanh of a sine: square-ish but without the harsh upper harmonics of a true square.
        const double ph = 2.0 * kPi * f * t;
        const double v =
            std::tanh(2.0 * std::sin(ph)) + 0.25 * std::tanh(2.0 * std::sin(2.0 * ph + 0.3));
        s[i] = v * (1.0 - 0.4 * t / 0.22);
    }
    finish(s, 0.008, 0.05);
    return s;
}

// End of a match: two bell strikes a major third apart.
std::vector<double> shuukyokuSound() {
    auto s = samples(1.1);
    struct Strike {
        double start, freq;
    };
    constexpr std::array<Strike, 2> strikes{{{0.0, 659.26}, {0.16, 830.61}}}; // E5, G#5
    // Partial ratio, level and decay time of a small, bright bell.
    constexpr std::array<std::array<double, 3>, 3> partials{
        {{1.0, 1.0, 0.42}, {2.0, 0.32, 0.22}, {3.01, 0.14, 0.10}}};
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        double v = 0.0;
        for (const Strike& st : strikes) {
            const double u = t - st.start;
            if (u < 0.0)
                continue;
            const double attack = std::min(1.0, u / 0.004);
            for (const auto& pt : partials)
                v += attack * pt[1] * std::sin(2.0 * kPi * st.freq * pt[0] * u) *
                     std::exp(-u / pt[2]);
        }
        s[i] = v;
    }
    finish(s, 0.001, 0.08);
    return s;
}

// Anything else worth a notice: a soft ding.
std::vector<double> sonotaSound() {
    auto s = samples(0.35);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = timeOf(i);
        s[i] = std::sin(2.0 * kPi * 1318.5 * t) * std::exp(-t / 0.09) +
               0.08 * std::sin(2.0 * kPi * 2637.0 * t) * std::exp(-t / 0.04);
    }
    finish(s, 0.003, 0.04);
    return s;
}

bool requireFont(const QString& family) {
    QFont f(family);
    if (QFontInfo(f).family() == family)
        return true;
    std::fprintf(stderr, "make_assets: font \"%s\" not found (got \"%s\")\n", qPrintable(family),
                 qPrintable(QFontInfo(f).family()));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <assets-dir>\n", argv[0]);
        return 2;
    }
    // A substitute font would silently change every picture.
    if (!requireFont(QStringLiteral("IPAMincho")) || !requireFont(QStringLiteral("DejaVu Serif")))
        return 1;

    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (const char* sub : {"pictures", "icon", "sounds"}) {
        if (!root.mkpath(QString::fromLatin1(sub))) {
            std::fprintf(stderr, "make_assets: cannot create %s/%s\n", argv[1], sub);
            return 1;
        }
    }
    const QString pictures = root.filePath(QStringLiteral("pictures"));
    const QString icons = root.filePath(QStringLiteral("icon"));
    const QString sounds = root.filePath(QStringLiteral("sounds"));
    bool ok = true;

    auto picture = [&](const QString& name, auto draw) {
        ok = saveRgb(draw(1), pictures + '/' + name + ".png") && ok;
        ok = saveRgb(draw(2), pictures + '/' + name + "@2x.png") && ok;
        ok = saveRgb(draw(3), pictures + '/' + name + "@3x.png") && ok;
    };

    const std::array<PieceDef, 14> pieces{{
        {"SITA_HU_0", "歩兵", kInkBlack},
        {"SITA_HU_1", "と", kInkRed},
        {"SITA_KYOU_0", "香車", kInkBlack},
        {"SITA_KYOU_1", "杏", kInkRed},
        {"SITA_KEI_0", "桂馬", kInkBlack},
        {"SITA_KEI_1", "圭", kInkRed},
        {"SITA_GIN_0", "銀将", kInkBlack},
        {"SITA_GIN_1", "全", kInkRed},
        {"SITA_KIN", "金将", kInkBlack},
        {"SITA_KAKU_0", "角行", kInkBlack},
        {"SITA_KAKU_1", "龍馬", kInkRed},
        {"SITA_SYA_0", "飛車", kInkBlack},
        {"SITA_SYA_1", "龍王", kInkRed},
        {"SITA_OU", "玉将", kInkBlack},
    }};
    for (const PieceDef& def : pieces)
        picture(QString::fromLatin1(def.file),
                [&def](int scale) { return piecePicture(scale, def); });
    picture(QStringLiteral("KARA_MASU"), [](int scale) { return wood(scale, kBoardWood); });
    picture(QStringLiteral("KARA_MASU2"), [](int scale) { return wood(scale, kCoveredWood); });
    picture(QStringLiteral("HAIKEI"), backgroundTile);
    picture(QStringLiteral("KOVALT"), logo);

    for (int size : {32, 48, 64, 128, 256})
        ok = save(icon(size), icons + QStringLiteral("/kovalt-%1.png").arg(size)) && ok;
    ok = writeText(iconSvg(), icons + QStringLiteral("/kovalt.svg")) && ok;

    ok = writeWav(sounds + "/koma.wav", komaSound()) && ok;
    ok = writeWav(sounds + "/kinshi.wav", kinshiSound()) && ok;
    ok = writeWav(sounds + "/shuukyoku.wav", shuukyokuSound()) && ok;
    ok = writeWav(sounds + "/sonota.wav", sonotaSound()) && ok;
    return ok ? 0 : 1;
}
