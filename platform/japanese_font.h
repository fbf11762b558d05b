#pragma once

#include <QStringList>

// The faces that draw the game's Japanese texts, the preferred first. The package depends on
// the font packages that bring them, in the same order.
QStringList japaneseFontFamilies();

// Whether any of them is installed; needs the application object.
bool japaneseFontInstalled();

// Without any of them every Japanese text is drawn as empty boxes: says so, and which package
// brings one, in one line on standard error.
void warnIfNoJapaneseFont();
