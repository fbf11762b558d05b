#include "platform/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>

#include <initializer_list>

namespace {

// An option that QApplication or its platform plugin reads from the command line itself.
struct QtOption {
    const char* name;
    const char* valueName; // nullptr for a switch
    const char* description;
    bool valueAfterEquals; // Qt also takes "-name=value"
};

// Qt 6's own options, as QCoreApplication, QGuiApplication, QApplication and the xcb plugin
// take them (single or double dash). They must be known here, or they would be refused as
// unknown; Qt reads and removes them when QApplication is created.
constexpr QtOption kQtOptions[] = {
    {"platform", "platformName[:options]",
     "QPA plugin. See QGuiApplication documentation for available options for each plugin.", false},
    {"platformpluginpath", "path", "Path to the platform plugins.", false},
    {"platformtheme", "theme", "Platform theme.", false},
    {"plugin", "plugin", "Additional plugins to load, can be specified multiple times.", false},
    {"qwindowgeometry", "geometry",
     "Window geometry for the main window, using the X11-syntax, like 100x100+50+50.", false},
    {"qwindowicon", "icon", "Default window icon.", false},
    {"qwindowtitle", "title", "Title of the first window.", false},
    {"reverse", nullptr,
     "Sets the application's layout direction to Qt::RightToLeft (debugging helper).", false},
    {"session", "session", "Restores the application from an earlier session.", false},
    {"style", "style", "Widget style (fusion, windows, ...).", true},
    {"stylesheet", "file", "Style sheet to apply to the application.", true},
    {"widgetcount", nullptr, "Prints the number of widgets left undestroyed at the end.", false},
    {"testability", nullptr, "Loads the testability library.", false},
    {"qmljsdebugger", "value", "Activates the QML/JS debugger (port:1234[,block]).", true},
    {"display", "display", "X11: the X server to use, like :0.", false},
    {"geometry", "geometry", "X11: same as -qwindowgeometry.", false},
    {"title", "title", "X11: same as -qwindowtitle.", false},
    {"icon", "icon", "X11: same as -qwindowicon.", false},
    {"name", "name", "X11: the application's instance name.", false},
    {"visual", "id", "X11: the X visual to use.", false},
    {"nograb", nullptr, "X11: never grab the mouse or the keyboard.", false},
    {"dograb", nullptr, "X11: grab even when run under a debugger.", false},
};

const QtOption* qtOption(const QString& name) {
    for (const QtOption& option : kQtOptions) {
        if (name == QLatin1String(option.name)) {
            return &option;
        }
    }
    return nullptr;
}

struct OwnOptions {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Displays help on commandline options.")};
    QCommandLineOption helpAll{QStringLiteral("help-all"),
                               QStringLiteral("Displays help including Qt specific options.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Displays version information.")};
};

void setUp(QCommandLineParser& parser, const OwnOptions& own, bool showQtOptions) {
    // Qt's options are single-dash words (-platform, -style), so single-dash words are long
    // options here too; -h and -v still work as one-letter names.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Kovalt: drop shogi pieces on a 9 x 9 board until no free square is left,\n"
                       "for two persons or against the computer. It needs a graphical session\n"
                       "(X11 or Wayland). Qt's own options (-platform, -display, -style,\n"
                       "-reverse, ...) are accepted too; --help-all lists them."));
    parser.addOptions({own.help, own.helpAll, own.version});
    for (const QtOption& q : kQtOptions) {
        QCommandLineOption option(QLatin1String(q.name), QLatin1String(q.description));
        if (q.valueName) {
            option.setValueName(QLatin1String(q.valueName));
        }
        if (!showQtOptions) {
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        }
        parser.addOption(option);
    }
}

QString programName(const QStringList& arguments) {
    const QString name = arguments.isEmpty() ? QString() : QFileInfo(arguments[0]).fileName();
    return name.isEmpty() ? QStringLiteral("kovalt") : name;
}

QString usageLine(const QString& program) {
    return QStringLiteral("Usage: %1 [options]\n").arg(program);
}

// The parser's help, with our usage line: without an application object it cannot know the
// program's name.
QString helpText(const QString& program, bool showQtOptions) {
    QCommandLineParser parser;
    OwnOptions own;
    setUp(parser, own, showQtOptions);
    QString text = parser.helpText();
    const qsizetype endOfFirstLine = text.indexOf(QLatin1Char('\n'));
    return usageLine(program) + text.mid(endOfFirstLine + 1);
}

// Qt takes "-name=value" for a few of its options only and silently ignores it for the
// others; refuse it there instead of starting with the option lost.
QString misplacedValue(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--")) {
            break;
        }
        if (!arg.startsWith(QLatin1Char('-'))) {
            continue;
        }
        QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype equals = name.indexOf(QLatin1Char('='));
        if (equals < 0) {
            const QtOption* option = qtOption(name);
            if (option && option->valueName) {
                ++i; // its value, whatever it looks like
            }
            continue;
        }
        name.truncate(equals);
        const QtOption* option = qtOption(name);
        if (option && option->valueName && !option->valueAfterEquals) {
            return QStringLiteral("Option '-%1' takes its value as the next argument: -%1 <%2>.")
                .arg(name, QLatin1String(option->valueName));
        }
    }
    return {};
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine result;
    const QString program = programName(arguments);
    auto fail = [&](const QString& error) {
        result.action = CommandLine::Action::Fail;
        result.exitStatus = kExitBadCommandLine;
        result.output = QStringLiteral("%1: %2\n%3Try '%1 --help' for more information.\n")
                            .arg(program, error, usageLine(program));
        return result;
    };

    QCommandLineParser parser;
    OwnOptions own;
    setUp(parser, own, false);
    if (!parser.parse(arguments)) {
        return fail(parser.errorText());
    }
    if (const QString error = misplacedValue(arguments); !error.isEmpty()) {
        return fail(error);
    }
    if (!parser.positionalArguments().isEmpty()) {
        return fail(QStringLiteral("Unexpected argument '%1'.")
                        .arg(parser.positionalArguments().constFirst()));
    }
    if (parser.isSet(own.help) || parser.isSet(own.helpAll)) {
        result.action = CommandLine::Action::Print;
        result.output = helpText(program, parser.isSet(own.helpAll));
        return result;
    }
    if (parser.isSet(own.version)) {
        result.action = CommandLine::Action::Print;
        result.output = QStringLiteral("Kovalt %1\n").arg(QLatin1String(KOVALT_VERSION));
        return result;
    }
    result.platform = parser.value(QStringLiteral("platform"));
    result.display = parser.value(QStringLiteral("display"));
    result.platformPluginPath = parser.value(QStringLiteral("platformpluginpath"));
    return result;
}
