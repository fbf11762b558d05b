#include "platform/translation.h"

#include <QCoreApplication>
#include <QTranslator>

bool loadQtJapanese(QCoreApplication& app, const QString& directory) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), directory) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
