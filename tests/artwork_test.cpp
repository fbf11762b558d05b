// The artwork behind the picture table: every picture at every whole scale in the sources and in
// the resources, and each piece code drawn as the piece its artwork shows.
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

#include "game/form1.h"
#include "testkit/recording_platform.h"

namespace {

QString artworkName(Picture picture, int scale) {
    return QString::fromLatin1(pictureName(picture)) +
           (scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale)) + ".png";
}

TEST(Artwork, EveryPictureIsThereAtEveryWholeScaleInItsSizeAndNothingElse) {
    const QDir sources(QStringLiteral(KOVALT_ASSETS_DIR "/pictures"));
    for (int i = 0; i < kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        const PictureSize size = pictureSize(picture);
        for (int scale = 1; scale <= 3; ++scale) {
            const QString name = artworkName(picture, scale);
            const QImage source(sources.filePath(name));
            const QImage resource(QStringLiteral(":/pictures/") + name);
            EXPECT_EQ(source.size(), QSize(size.width, size.height) * scale) << name.toStdString();
            EXPECT_TRUE(!resource.isNull() && resource == source) << name.toStdString();
        }
    }
    // Artwork the table does not name is neither drawn nor compiled in: a forgotten table entry.
    EXPECT_EQ(sources.entryList({QStringLiteral("*.png")}, QDir::Files).size(), 3 * kPictureCount);
}

using InkTest = std::function<bool(QRgb)>;
const InkTest kBlackInk = [](QRgb c) { return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110; };
const InkTest kRedInk = [](QRgb c) { return qRed(c) > 120 && qGreen(c) < 60 && qBlue(c) < 60; };

// The ink within a region as a 32 x 32 mask of its bounding box, so that two drawings of one
// character compare alike whatever their size and place.
QImage inkShape(const QImage& image, QRect region, const InkTest& ink) {
    QImage mask(region.size(), QImage::Format_Grayscale8);
    mask.fill(0);
    QRect box;
    for (int y = 0; y < region.height(); ++y) {
        for (int x = 0; x < region.width(); ++x) {
            if (ink(image.pixel(region.x() + x, region.y() + y))) {
                mask.setPixel(x, y, 0xffffffff);
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box.isEmpty() ? QImage() : mask.copy(box).scaled(32, 32);
}
int difference(const QImage& a, const QImage& b) {
    int sum = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
        }
    }
    return sum;
}

// The first character of a kind's name in notation, written large in the artwork's face.
QImage nameShape(int kind) {
    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(60);
    font.setBold(true);
    QImage image(90, 90, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(QRect(0, 0, 90, 90), Qt::AlignCenter,
                     QString::fromUtf8(Form1::notationText(kind)).left(1));
    painter.end();
    return inkShape(image, image.rect(), kBlackInk);
}

TEST(Artwork, EachKindIsDrawnAsThePieceItsArtworkShows) {
    ASSERT_EQ(QFontInfo(QFont(QStringLiteral("IPAMincho"))).family(), QStringLiteral("IPAMincho"));
    RecordingPlatform screen;
    Form1 game(screen);
    const auto artwork = [&](int code) {
        game.描画_絵(code, 1, 1);
        return QImage(QStringLiteral(":/pictures/") +
                      artworkName(Picture(screen.pictureAt(1, 1)), 3))
            .convertToFormat(QImage::Format_RGB32);
    };
    // Every kind in hand is written in black; the upper of its two characters (at scale 3 in the
    // upper 23 of 41 rows) is nearer to the first character of its notation than any other
    // kind's is. 王's piece is written 玉将, which is still nearer to 王 than to the others.
    std::vector<int> kinds(Form1::kSlotKinds.begin() + 1, Form1::kSlotKinds.end());
    std::vector<QImage> upper;
    for (int kind : kinds) {
        const QImage art = artwork(kind);
        EXPECT_TRUE(inkShape(art, art.rect(), kRedInk).isNull()) << kind;
        upper.push_back(inkShape(art, QRect(0, 0, art.width(), 69), kBlackInk));
        ASSERT_FALSE(upper.back().isNull()) << kind;
    }
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const QImage name = nameShape(kinds[i]);
        for (std::size_t j = 0; j < kinds.size(); ++j) {
            EXPECT_TRUE(j == i || difference(name, upper[i]) < difference(name, upper[j]))
                << Form1::notationText(kinds[i]) << " looks like the piece of "
                << Form1::notationText(kinds[j]);
        }
        // A promoted kind shows its promoted face, written in red only.
        if (game.調査_駒成(kinds[i]) == Form1::判定_有) {
            const QImage art = artwork(game.成駒種類);
            EXPECT_FALSE(inkShape(art, art.rect(), kRedInk).isNull()) << game.成駒種類;
            EXPECT_TRUE(inkShape(art, art.rect(), kBlackInk).isNull()) << game.成駒種類;
        }
    }
}

} // namespace
