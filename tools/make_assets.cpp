// make_assets: draws every bitmap, the application icon and the sound effects of Kovalt from code.
//
//   make_assets <assets-dir>
//
// writes <assets-dir>/pictures/NAME.png for every picture of platform/picture_table.def, each
// also as NAME@2x.png and NAME@3x.png, drawn natively at double and triple resolution;
// <assets-dir>/icon/kovalt-{32,48,64,128,256}.png, <assets-dir>/icon/kovalt.svg and
// <assets-dir>/sounds/*.wav. The output is deterministic: all "randomness" comes from hashed
// coordinates or a fixed seed, so re-running it only changes files whose drawing code changed.

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

#include "platform/platform.h"
#include "tools/icon.h"
#include "tools/pictures.h"
#include "tools/sounds.h"

namespace {

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

bool writeText(const QByteArray& text, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size()) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
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

    for (int i = 0; i < kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        const QString name = pictures + '/' + QString::fromLatin1(pictureName(picture));
        for (int scale = 1; scale <= 3; ++scale) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            ok = saveRgb(drawPicture(picture, scale), name + suffix + ".png") && ok;
        }
    }

    for (int size : {32, 48, 64, 128, 256})
        ok = save(icon(size), icons + QStringLiteral("/kovalt-%1.png").arg(size)) && ok;
    ok = writeText(iconSvg(), icons + QStringLiteral("/kovalt.svg")) && ok;

    ok = writeWav(sounds + "/koma.wav", komaSound()) && ok;
    ok = writeWav(sounds + "/kinshi.wav", kinshiSound()) && ok;
    ok = writeWav(sounds + "/shuukyoku.wav", shuukyokuSound()) && ok;
    ok = writeWav(sounds + "/sonota.wav", sonotaSound()) && ok;
    return ok ? 0 : 1;
}
