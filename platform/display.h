#pragma once

#include "platform/command_line.h"

// Opening the window system. Without a reachable display Qt ends the program with an abort
// (and a core file) after several lines of its own; around the creation of QApplication these
// calls turn that into one plain line and exit status kExitNoDisplay.
//
// Call beginOpeningDisplay() right before QApplication is created and displayOpened() right
// after: in between, Qt's messages are held back; once the display is open they are passed on
// unchanged, so nothing is lost when start-up succeeds.
void beginOpeningDisplay(const CommandLine& commandLine);
void displayOpened();

// The line printed when no display can be opened (without the program's name).
QString noDisplayMessage(const CommandLine& commandLine, const QString& displayVariable,
                         const QString& waylandVariable);
