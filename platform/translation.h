#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;

// Qt's own Japanese texts (the standard buttons of message boxes, はい and いいえ), whatever the
// user's locale: the game's texts are all Japanese, so its boxes must not read Yes and No.
// The game's own texts are not translated. Returns whether the texts were loaded; without the
// translation file Qt keeps its English texts and nothing is reported.
bool loadQtJapanese(QCoreApplication& app,
                    const QString& directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath));
