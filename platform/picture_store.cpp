#include "platform/picture_store.h"

#include <QPainter>

#include <cstdio>

#include "platform/device_pixels.h"
#include "platform/embedded_pictures.h"

namespace {

// A grey box crossed in red, of the picture's size: something is missing, and the game goes on.
QImage placeholder(PictureSize size, qreal ratio) {
    QImage image(deviceSize(QSize(size.width, size.height), ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(128, 128, 128));
    {
        QPainter p(&image);
        scaleBelowOne(p, ratio);
        p.setPen(QPen(QColor(255, 0, 0), 1));
        p.drawRect(0, 0, size.width - 1, size.height - 1);
        p.drawLine(0, 0, size.width - 1, size.height - 1);
        p.drawLine(size.width - 1, 0, 0, size.height - 1);
    }
    image.setDevicePixelRatio(1);
    return image;
}

// The artwork nearest above `ratio`, or a null image; `imageRatio` says which was found.
QImage loadArtwork(const QString& stem, qreal ratio, int& imageRatio) {
    QImage image;
    imageRatio = 1;
    if (ratio > 2 && image.load(stem + QStringLiteral("@3x.png"))) {
        imageRatio = 3;
    } else if (ratio > 1 && image.load(stem + QStringLiteral("@2x.png"))) {
        imageRatio = 2;
    } else {
        image.load(stem + QStringLiteral(".png"));
    }
    return image;
}

} // namespace

PictureStore::PictureStore(const QString& prefix, qreal ratio) {
    for (int i = 0; i < kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        const QString name = QString::fromLatin1(pictureName(picture));
        const PictureSize size = pictureSize(picture);
        const QSize wanted = deviceSize(QSize(size.width, size.height), ratio);
        const EmbeddedPicture* embedded = ratio == 1 && prefix == kCompiledPictures
                                              ? embeddedPicture(pictureName(picture))
                                              : nullptr;
        if (embedded != nullptr && QSize(embedded->width, embedded->height) == wanted) {
            // The pixels in the program itself, shown as they are: nothing to decode or copy.
            pictures_[i] = QImage(reinterpret_cast<const uchar*>(embedded->pixels), embedded->width,
                                  embedded->height, embedded->width * qsizetype(sizeof(QRgb)),
                                  QImage::Format_RGB32);
            continue;
        }
        int imageRatio = 1;
        QImage image = loadArtwork(prefix + name, ratio, imageRatio);
        if (image.isNull() || image.size() != QSize(size.width, size.height) * imageRatio) {
            std::fprintf(stderr, "kovalt: picture %s could not be loaded; a placeholder is shown\n",
                         qPrintable(name));
            ++missing_;
            pictures_[i] = placeholder(size, ratio);
            continue;
        }
        if (image.size() != wanted) {
            image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        image.setDevicePixelRatio(1);
        pictures_[i] = image.convertToFormat(QImage::Format_RGB32);
    }
}
