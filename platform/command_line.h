#pragma once

#include <QString>
#include <QStringList>

// Exit statuses of the program besides 0 (a normal end).
constexpr int kExitNoDisplay = 1;      // no window system could be reached
constexpr int kExitBadCommandLine = 2; // an unknown option, a missing value, an argument

// What the command line asks for. It is read before QApplication exists, so that --help and
// --version need no display, and it accepts Qt's own options, which QApplication then reads
// from the same arguments.
struct CommandLine {
    enum class Action {
        Run,   // open the window and play
        Print, // print `output` on standard output and end with status 0
        Fail,  // print `output` on standard error and end with `exitStatus`
    };
    Action action = Action::Run;
    QString output;
    int exitStatus = 0;
    // The window system asked for with -platform and -display, empty when not given; they
    // name what could not be opened when the window cannot be.
    QString platform;
    QString display;
    QString platformPluginPath; // -platformpluginpath: where Qt looks for them first
};

// Reads the program's arguments; the first is the program's own path.
CommandLine parseCommandLine(const QStringList& arguments);
