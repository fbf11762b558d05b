// The eighteen pictures of the game, each drawn natively at every scale: wood for the squares,
// the pieces on that wood, the background tile and the logo.
#include "tools/pictures.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/drawing.h"

namespace {

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

QImage wood(int scale, PictureSize size, const WoodColours& c) {
    QImage img(size.width * scale, size.height * scale, QImage::Format_RGB32);
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

// A piece on the wood of an empty square, with its name (UTF-8, one or two characters) in ink.
QImage piecePicture(int scale, PictureSize size, const char* written, Rgb ink) {
    QImage img = wood(scale, size, kBoardWood);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(scale, scale);
    drawPieceBody(p, pieceOutline(), kPieceSides, 1.0, 9.0, 37.0);

    // Centre of the lit face, which sits right of the geometric centre because of the left edge.
    const double cx = 17.0 * scale;
    const QString name = QString::fromUtf8(written);
    if (name.size() == 1) {
        drawCentred(p, kanjiFont(20 * scale), name, QPointF(cx, 23.5 * scale), toQColor(ink));
    } else {
        const QFont f = kanjiFont(13 * scale);
        drawCentred(p, f, name.mid(0, 1), QPointF(cx, 16.5 * scale), toQColor(ink));
        drawCentred(p, f, name.mid(1, 1), QPointF(cx, 29.5 * scale), toQColor(ink));
    }
    return img;
}

// --- background tile and logo -------------------------------------------------------------------

// Tiles at a 33x41 pitch with one column of overlap, so only rows may vary; the stripe count is
// a whole number per 41 rows, so the tile repeats seamlessly downwards too.
QImage backgroundTile(int scale, PictureSize size) {
    constexpr Rgb base{14, 124, 92};
    constexpr Rgb stripe{0, 96, 68};
    constexpr int kStripes = 3;
    constexpr int kSub = 8;
    QImage img(size.width * scale, size.height * scale, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        double t = 0.0;
        for (int s = 0; s < kSub; ++s) {
            const double v = (y + (s + 0.5) / kSub) / scale;
            const double c = 0.5 + 0.5 * std::cos(2.0 * kPi * kStripes * v / size.height);
            t += std::pow(c, 6.0);
        }
        const QRgb colour = toQRgb(mix(base, stripe, t / kSub));
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line, line + img.width(), colour);
    }
    return img;
}

QImage logo(int scale, PictureSize picture) {
    const double kW = picture.width, kH = picture.height;
    constexpr double kEdge = 5;
    QImage img(picture.width * scale, picture.height * scale, QImage::Format_RGB32);
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

} // namespace

QImage drawPicture(Picture picture, int scale) {
    const PictureSize size = pictureSize(picture);
    switch (picture) {
    case Picture::SitaHu0:
        return piecePicture(scale, size, "歩兵", kInkBlack);
    case Picture::SitaHu1:
        return piecePicture(scale, size, "と", kInkRed);
    case Picture::SitaKyou0:
        return piecePicture(scale, size, "香車", kInkBlack);
    case Picture::SitaKyou1:
        return piecePicture(scale, size, "杏", kInkRed);
    case Picture::SitaKei0:
        return piecePicture(scale, size, "桂馬", kInkBlack);
    case Picture::SitaKei1:
        return piecePicture(scale, size, "圭", kInkRed);
    case Picture::SitaGin0:
        return piecePicture(scale, size, "銀将", kInkBlack);
    case Picture::SitaGin1:
        return piecePicture(scale, size, "全", kInkRed);
    case Picture::SitaKin:
        return piecePicture(scale, size, "金将", kInkBlack);
    case Picture::SitaKaku0:
        return piecePicture(scale, size, "角行", kInkBlack);
    case Picture::SitaKaku1:
        return piecePicture(scale, size, "龍馬", kInkRed);
    case Picture::SitaSya0:
        return piecePicture(scale, size, "飛車", kInkBlack);
    case Picture::SitaSya1:
        return piecePicture(scale, size, "龍王", kInkRed);
    case Picture::SitaOu:
        return piecePicture(scale, size, "玉将", kInkBlack);
    case Picture::KaraMasu:
        return wood(scale, size, kBoardWood);
    case Picture::KaraMasu2:
        return wood(scale, size, kCoveredWood);
    case Picture::Kovalt:
        return logo(scale, size);
    case Picture::Haikei:
        return backgroundTile(scale, size);
    }
    return {};
}
