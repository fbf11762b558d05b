#pragma once

#include <QImage>

#include "platform/platform.h"

// The artwork of a picture at a whole scale (1, 2 or 3): pictureSize(picture) times the scale in
// pixels, opaque. Each scale is drawn natively, not resampled from another.
QImage drawPicture(Picture picture, int scale);
