#include "platform/display.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct HeldMessage {
    QtMsgType type;
    const char* file;
    int line;
    const char* function;
    const char* category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
std::vector<HeldMessage> held;
std::string noDisplayLine;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // Qt gives up with this fatal message when no platform plugin could be started.
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        std::fputs(noDisplayLine.c_str(), stderr);
        std::fflush(stderr);
        // Nothing of Qt's half-made state is worth tearing down: leave at once.
        std::_Exit(kExitNoDisplay);
    }
    if (type == QtFatalMsg) {
        // Some other failure: Qt's own handling, after what was held back.
        const QtMessageHandler handler = previousHandler;
        displayOpened();
        handler(type, context, text);
        return;
    }
    held.push_back({type, context.file, context.line, context.function, context.category, text});
}

} // namespace

QString noDisplayMessage(const CommandLine& commandLine, const QString& displayVariable,
                         const QString& waylandVariable) {
    QString where;
    if (!commandLine.platform.isEmpty()) {
        where =
            QStringLiteral("the window system '%1' could not be started").arg(commandLine.platform);
    } else if (!commandLine.display.isEmpty()) {
        where = QStringLiteral("the X display '%1' could not be reached").arg(commandLine.display);
    } else if (displayVariable.isEmpty() && waylandVariable.isEmpty()) {
        where = QStringLiteral("DISPLAY and WAYLAND_DISPLAY are not set");
    } else {
        QStringList names;
        if (!displayVariable.isEmpty()) {
            names << QStringLiteral("DISPLAY=%1").arg(displayVariable);
        }
        if (!waylandVariable.isEmpty()) {
            names << QStringLiteral("WAYLAND_DISPLAY=%1").arg(waylandVariable);
        }
        where = QStringLiteral("no display could be reached at %1")
                    .arg(names.join(QStringLiteral(", ")));
    }
    return QStringLiteral("cannot open a window: %1. Kovalt needs a graphical session (X11 or "
                          "Wayland).")
        .arg(where);
}

void beginOpeningDisplay(const CommandLine& commandLine) {
    const QString line = QStringLiteral("kovalt: ") +
                         noDisplayMessage(commandLine, qEnvironmentVariable("DISPLAY"),
                                          qEnvironmentVariable("WAYLAND_DISPLAY")) +
                         QLatin1Char('\n');
    noDisplayLine = line.toLocal8Bit().toStdString();
    held.clear();
    previousHandler = qInstallMessageHandler(holdMessage);
}

void displayOpened() {
    if (!previousHandler) {
        return;
    }
    const QtMessageHandler handler = previousHandler;
    previousHandler = nullptr;
    qInstallMessageHandler(handler);
    for (const HeldMessage& m : held) {
        handler(m.type, QMessageLogContext(m.file, m.line, m.function, m.category), m.text);
    }
    held.clear();
}
