#pragma once

#include <QImage>
#include <QString>

#include <array>

#include "platform/platform.h"

// Every picture the game draws, made once at the screen's pixel ratio so that drawing one
// is a plain copy of pixels: the pixels compiled into the program where they fit, else the
// artwork nearest above the ratio (up to 3x) scaled to it, else a placeholder. It loads;
// it does not draw.
class PictureStore {
public:
    // Where the compiled-in artwork is.
    static inline const QString kCompiledPictures = QStringLiteral(":/pictures/");

    // Loads every picture from `prefix` (a resource or file path ending in '/').
    PictureStore(const QString& prefix, qreal ratio);

    const QImage& operator[](Picture picture) const { return pictures_[static_cast<int>(picture)]; }
    // How many pictures could not be loaded (and are placeholders).
    int missing() const { return missing_; }

private:
    std::array<QImage, kPictureCount> pictures_;
    int missing_ = 0;
};
