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

// What decides which window system Qt starts, as the environment gives it.
struct WindowSystemEnvironment {
    QString platform;    // QT_QPA_PLATFORM
    QString wayland;     // WAYLAND_DISPLAY
    QString sessionType; // XDG_SESSION_TYPE
    static WindowSystemEnvironment fromProcess();
};

// The names of the window systems whose Qt platform plugin is installed, in Qt's folders and
// in the one given on the command line.
QStringList installedPlatforms(const QString& platformPluginPath = {});

// The line printed when the window system asked for (on the command line, in QT_QPA_PLATFORM
// or by a Wayland session) has no installed plugin or is no window system at all; empty when
// its plugin is installed, and the display itself is what could not be opened.
QString missingPlatformMessage(const CommandLine& commandLine,
                               const WindowSystemEnvironment& environment,
                               const QStringList& installed);
