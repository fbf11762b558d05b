#pragma once

#include <QByteArray>
#include <QImage>

// The application icon, a piece written 王 on a blue rounded square, as a size x size picture
// with transparent corners.
QImage icon(int size);
// The same icon as a scalable picture that needs no font.
QByteArray iconSvg();
