#include "platform/display.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QPluginLoader>
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
CommandLine opening;

// Platform names Qt knows on this kind of system, whether or not their plugin is installed.
constexpr const char* kKnownPlatforms[] = {
    "xcb",
    "wayland",
    "wayland-egl",
    "wayland-brcm",
    "wayland-xcomposite-egl",
    "wayland-xcomposite-glx",
    "offscreen",
    "minimal",
    "minimalegl",
    "eglfs",
    "linuxfb",
    "vnc",
    "vkkhrdisplay",
    "directfb",
    "bsdfb",
};

bool isKnownPlatform(const QString& name) {
    for (const char* known : kKnownPlatforms) {
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// "wayland;xcb" and "xcb:option" as Qt reads them: the names it tries, in order.
QStringList platformNames(const QString& setting) {
    QStringList names;
    for (const QString& part : setting.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = part.section(QLatin1Char(':'), 0, 0).trimmed();
        if (!name.isEmpty()) {
            names << name;
        }
    }
    return names;
}

QString startFailureLine() {
    QString message = missingPlatformMessage(opening, WindowSystemEnvironment::fromProcess(),
                                             installedPlatforms(opening.platformPluginPath));
    if (message.isEmpty()) {
        message = noDisplayMessage(opening, qEnvironmentVariable("DISPLAY"),
                                   qEnvironmentVariable("WAYLAND_DISPLAY"));
    }
    return QStringLiteral("kovalt: ") + message + QLatin1Char('\n');
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // Qt gives up with this fatal message when no platform plugin could be started.
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        std::fputs(startFailureLine().toLocal8Bit().constData(), stderr);
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

WindowSystemEnvironment WindowSystemEnvironment::fromProcess() {
    return {qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("WAYLAND_DISPLAY"),
            qEnvironmentVariable("XDG_SESSION_TYPE")};
}

QStringList installedPlatforms(const QString& platformPluginPath) {
    QStringList folders;
    if (!platformPluginPath.isEmpty()) {
        folders << platformPluginPath;
    }
    for (const QString& path :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        folders << path + QStringLiteral("/platforms");
    }
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms");
    if (const QString path = qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH"); !path.isEmpty()) {
        folders << path;
    }
    QStringList names;
    for (const QString& folder : folders) {
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
            // Only the plugin's metadata is read; the library is not loaded.
            const QJsonArray keys = QPluginLoader(file.absoluteFilePath())
                                        .metaData()
                                        .value(QLatin1String("MetaData"))
                                        .toObject()
                                        .value(QLatin1String("Keys"))
                                        .toArray();
            for (const QJsonValue& key : keys) {
                if (!names.contains(key.toString(), Qt::CaseInsensitive)) {
                    names << key.toString();
                }
            }
        }
    }
    return names;
}

QString missingPlatformMessage(const CommandLine& commandLine,
                               const WindowSystemEnvironment& environment,
                               const QStringList& installed) {
    QString setting = QStringLiteral("-platform");
    QStringList wanted = platformNames(commandLine.platform);
    if (wanted.isEmpty()) {
        setting = QStringLiteral("QT_QPA_PLATFORM");
        wanted = platformNames(environment.platform);
    }
    if (wanted.isEmpty() &&
        (!environment.wayland.isEmpty() || environment.sessionType == QLatin1String("wayland"))) {
        // A Wayland session: its compositor may well be there without Qt's plugin for it.
        wanted << QStringLiteral("wayland");
    }
    for (const QString& name : wanted) {
        if (installed.contains(name, Qt::CaseInsensitive)) {
            return {}; // the plugin is there: what failed is the display
        }
    }
    if (wanted.isEmpty()) {
        return {};
    }
    const QString& name = wanted.constFirst();
    if (!isKnownPlatform(name)) {
        return QStringLiteral("cannot open a window: %1 '%2' names no window system that Qt "
                              "knows; the installed ones are: %3.")
            .arg(setting, name, installed.join(QStringLiteral(", ")));
    }
    QString line = QStringLiteral("cannot open a window: Qt's platform plugin for '%1' is not "
                                  "installed")
                       .arg(name);
    if (name.startsWith(QLatin1String("wayland"), Qt::CaseInsensitive)) {
        line += QStringLiteral(" (Debian package qt6-wayland)");
    }
    return line + QLatin1Char('.');
}

void beginOpeningDisplay(const CommandLine& commandLine) {
    opening = commandLine;
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
