#include "tools/icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/drawing.h"

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

namespace {

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

} // namespace

// The same icon as a scalable picture, drawn with the geometry and colours of icon() at 256 px.
// The kanji goes in as an outline, so the file needs no font.
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
