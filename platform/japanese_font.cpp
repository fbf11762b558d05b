#include "platform/japanese_font.h"

#include <QFontDatabase>

#include <cstdio>

QStringList japaneseFontFamilies() {
    return {QStringLiteral("IPAPMincho"), QStringLiteral("IPAexMincho"),
            QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP")};
}

bool japaneseFontInstalled() {
    const QStringList installed = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& family : japaneseFontFamilies()) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

void warnIfNoJapaneseFont() {
    if (!japaneseFontInstalled()) {
        std::fputs("kovalt: no Japanese font was found, so the texts show as empty boxes; "
                   "install the package fonts-ipafont-mincho\n",
                   stderr);
    }
}
