// The program exactly as platform/main.cpp starts it (that file is compiled in with this one),
// except that it quits at the first paint event of its window: for start-up measurements and
// for watching what start-up touches. Takes the program's own command line.
#include <QCoreApplication>

#include "platform/first_paint.h"

// Runs when QApplication is created, before main asks for anything after the first paint.
Q_COREAPP_STARTUP_FUNCTION(quitAtFirstPaint)
