#include "platform/text_masks.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

#include "platform/device_pixels.h"
#include "platform/japanese_font.h"

namespace {

// Japanese Mincho faces, best first; the last resort is whatever serif face there is.
QFont gameFontOfPixels(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies(japaneseFontFamilies() << QStringLiteral("serif"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

TextInk::Channel::Channel(int value) : ink(value) {
    for (int a = 0; a < 256; ++a) {
        up[std::size_t(a)] = uchar((ink * a + 127) / 255);
        down[std::size_t(a)] = uchar(ink + ((255 - ink) * (255 - a) + 127) / 255);
    }
}

TextInk::TextInk(QRgb colour)
    : colour_(colour), red_(qRed(colour)), green_(qGreen(colour)), blue_(qBlue(colour)) {}

const TextInk& TextMasks::ink(QRgb colour) {
    for (const TextInk& known : inks_) {
        if (known.colour() == colour) {
            return known;
        }
    }
    return inks_.emplace_back(colour);
}

const TextMasks::FontEntry& TextMasks::font(int pixelSize, bool bold) {
    const auto key = std::pair(pixelSize, bold);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        QFont f = gameFontOfPixels(pixelSize, bold);
        const qreal ascent = QFontMetricsF(f).ascent();
        it = fonts_.emplace(key, FontEntry{f, ascent}).first;
    }
    return it->second;
}

const TextMask& TextMasks::mask(const std::string& text, int pixelSize, bool bold) {
    auto key = std::tuple(text, pixelSize, bold);
    if (const auto it = masks_.find(key); it != masks_.end()) {
        return it->second;
    }
    if (masks_.size() >= 4096) { // the game's texts are few; anything else is not kept long
        masks_.clear();
    }
    const FontEntry& entry = font(pixelSize, bold);
    const QString string = QString::fromStdString(text);
    // The ink box in device pixels, with room for the emboldening and the smoothed edges.
    const int pad = 2 + static_cast<int>(std::ceil(ratio_));
    const QRect box = deviceCover(QFontMetricsF(entry.font).boundingRect(string), ratio_)
                          .adjusted(-pad, -pad, pad, pad);
    QImage glyphs(box.size(), QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    glyphs.setDevicePixelRatio(ratio_);
    {
        QPainter painter(&glyphs);
        scaleBelowOne(painter, ratio_);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(entry.font);
        painter.setPen(Qt::white);
        painter.drawText(QPointF(-box.left() / ratio_, -box.top() / ratio_), string);
    }
    glyphs.setDevicePixelRatio(1);
    TextMask mask{glyphs.convertToFormat(QImage::Format_Alpha8), -box.topLeft(), {}};
    // Most of the box is empty: the runs of ink are found once.
    for (int row = 0; row < mask.coverage.height(); ++row) {
        const uchar* cover = mask.coverage.constScanLine(row);
        for (int x = 0; x < mask.coverage.width();) {
            if (cover[x] == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < mask.coverage.width() && cover[x] != 0) {
                ++x;
            }
            mask.runs.push_back({row, start, x - start});
        }
    }
    return masks_.emplace(std::move(key), std::move(mask)).first->second;
}
