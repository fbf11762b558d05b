#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

#include "game/form1.h"
#include "platform/command_line.h"
#include "platform/display.h"
#include "platform/first_paint.h"
#include "platform/japanese_font.h"
#include "platform/qt_platform.h"
#include "platform/translation.h"

int main(int argc, char* argv[]) {
    // Read before any window system is touched: --help and --version need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const CommandLine commandLine = parseCommandLine(arguments);
    if (commandLine.action != CommandLine::Action::Run) {
        const bool ok = commandLine.action == CommandLine::Action::Print;
        std::fputs(commandLine.output.toLocal8Bit().constData(), ok ? stdout : stderr);
        return ok ? 0 : commandLine.exitStatus;
    }

    beginOpeningDisplay(commandLine);
    QApplication app(argc, argv);
    displayOpened();
    QApplication::setApplicationName(QStringLiteral("Kovalt"));
    QApplication::setApplicationVersion(QStringLiteral(KOVALT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(KOVALT_APP_ID));
    loadQtJapanese(app);
    warnIfNoJapaneseFont();

    QtPlatform platform;
    Form1 form(platform);
    platform.connect(form);
    // The first screen is drawn before the window is first shown.
    form.Form_Load();
    if (form.hasQuit()) {
        return 0;
    }
    platform.window()->show();
    // Qt decodes an icon's pictures as they are added, and the icon is no part of the first
    // picture: it is set once that is on screen. Only a window icon's sizes (at scales 1 and 2);
    // launchers take the large ones from the installed icon theme.
    afterFirstPaint(platform.window(), [] {
        QIcon icon;
        for (int size : {32, 64}) {
            icon.addFile(QStringLiteral(":/icon/kovalt-%1.png").arg(size), QSize(size, size));
        }
        QApplication::setWindowIcon(icon);
    });
    const int status = QApplication::exec();
    // An audio thread held inside the sound library by a silent sound server is not waited
    // for: leave without the exit handlers that would wait for it.
    if (!platform.stopSound()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
