// The command line is read before QApplication exists: these tests run without one.
#include <gtest/gtest.h>

#include <QStringList>

#include <initializer_list>
#include <vector>

#include "platform/command_line.h"
#include "platform/display.h"

namespace {

CommandLine parse(std::initializer_list<const char*> args) {
    QStringList arguments{QStringLiteral("/usr/games/kovalt")};
    for (const char* a : args) {
        arguments << QString::fromUtf8(a);
    }
    return parseCommandLine(arguments);
}

TEST(CommandLine, HelpAndVersionPrintAndEndWell) {
    for (const char* option : {"-h", "--help", "-help"}) {
        const CommandLine c = parse({option});
        EXPECT_EQ(c.action, CommandLine::Action::Print) << option;
        EXPECT_TRUE(c.output.startsWith(QStringLiteral("Usage: kovalt [options]\n"))) << option;
        EXPECT_TRUE(c.output.contains(QStringLiteral("--help-all"))) << option;
        // Qt's options are only in the long help.
        EXPECT_FALSE(c.output.contains(QStringLiteral("--platform"))) << option;
    }
    const CommandLine all = parse({"--help-all"});
    EXPECT_EQ(all.action, CommandLine::Action::Print);
    for (const char* qt : {"--platform <", "--display <", "--style <", "--reverse",
                           "--stylesheet <", "--qwindowgeometry <"}) {
        EXPECT_TRUE(all.output.contains(QString::fromLatin1(qt))) << qt;
    }
    for (const char* option : {"-v", "--version"}) {
        const CommandLine c = parse({option});
        EXPECT_EQ(c.action, CommandLine::Action::Print) << option;
        EXPECT_EQ(c.output, QStringLiteral("Kovalt %1\n").arg(QLatin1String(KOVALT_VERSION)));
    }
    // Help wins over the rest of a valid command line, Qt's options included.
    EXPECT_EQ(parse({"-platform", "offscreen", "--help"}).action, CommandLine::Action::Print);
}

TEST(CommandLine, QtOptionsAreLeftForQt) {
    const std::initializer_list<std::initializer_list<const char*>> accepted = {
        {},
        {"-platform", "offscreen"},
        {"--platform", "offscreen"},
        {"-display", ":3"},
        {"--display", ":3"},
        {"-style", "fusion"},
        {"-style=fusion"},
        {"--style=fusion"},
        {"-stylesheet", "game.qss"},
        {"-stylesheet=game.qss"},
        {"-reverse"},
        {"--reverse"},
        {"-qwindowgeometry", "100x100+50+50"},
        {"-geometry", "+5+5"},
        {"-qwindowtitle", "-looks-like-an-option"},
        {"-qwindowtitle", "a=b"},
        {"-name", "x", "-nograb", "-plugin", "evdevmouse", "-platformtheme", "gtk3"},
    };
    for (const auto& args : accepted) {
        const CommandLine c = parse(args);
        EXPECT_EQ(c.action, CommandLine::Action::Run)
            << (args.size() ? *args.begin() : "(none)") << ": " << c.output.toStdString();
    }
    const CommandLine c = parse({"-platform", "offscreen", "--display", ":7"});
    EXPECT_EQ(c.platform, QStringLiteral("offscreen"));
    EXPECT_EQ(c.display, QStringLiteral(":7"));
    EXPECT_EQ(parse({"-platformpluginpath", "/opt/p"}).platformPluginPath,
              QStringLiteral("/opt/p"));
}

TEST(CommandLine, MistakesEndWithStatusTwoAndTheUsage) {
    const std::initializer_list<std::initializer_list<const char*>> refused = {
        {"--bogus"},      {"-x"},
        {"game.kif"},     {"--", "game.kif"},
        {"-platform"},    {"--help", "extra"},
        {"--version=2"},  {"-platform=offscreen"}, // Qt would ignore the option silently
        {"--display=:3"}, {"-qwindowtitle=T"},
        {"-reverse=yes"},
    };
    for (const auto& args : refused) {
        const CommandLine c = parse(args);
        EXPECT_EQ(c.action, CommandLine::Action::Fail) << *args.begin();
        EXPECT_EQ(c.exitStatus, kExitBadCommandLine) << *args.begin();
        EXPECT_TRUE(c.output.startsWith(QStringLiteral("kovalt: "))) << c.output.toStdString();
        EXPECT_TRUE(c.output.contains(QStringLiteral("\nUsage: kovalt [options]\n")))
            << c.output.toStdString();
    }
    EXPECT_TRUE(parse({"--bogus"}).output.contains(QStringLiteral("'bogus'")));
    EXPECT_TRUE(parse({"game.kif"}).output.contains(QStringLiteral("'game.kif'")));
}

TEST(NoDisplay, TheLineSaysWhatIsMissing) {
    const CommandLine plain = parse({});
    const QString none = noDisplayMessage(plain, QString(), QString());
    EXPECT_TRUE(none.contains(QStringLiteral("DISPLAY and WAYLAND_DISPLAY")));
    const QString unreachable = noDisplayMessage(plain, QStringLiteral(":9"), QString());
    EXPECT_TRUE(unreachable.contains(QStringLiteral("DISPLAY=:9")));
    const QString asked = noDisplayMessage(parse({"-display", ":4"}), QStringLiteral(":9"), {});
    EXPECT_TRUE(asked.contains(QStringLiteral("':4'")));
    const QString plugin = noDisplayMessage(parse({"-platform", "wayland"}), {}, {});
    EXPECT_TRUE(plugin.contains(QStringLiteral("'wayland'")));
    for (const QString& line : {none, unreachable, asked, plugin}) {
        EXPECT_FALSE(line.contains(QLatin1Char('\n')));
        EXPECT_TRUE(line.contains(QStringLiteral("X11 or Wayland")));
    }
}

TEST(NoDisplay, AMissingOrUnknownPlatformPluginIsNamed) {
    const QStringList installed{QStringLiteral("xcb"), QStringLiteral("offscreen")};
    const WindowSystemEnvironment x11{};
    const WindowSystemEnvironment wayland{{}, QStringLiteral("wayland-0"), {}};
    const WindowSystemEnvironment asked{QStringLiteral("wayland-egl:x;wayland"), {}, {}};
    for (const QString& line :
         {missingPlatformMessage(parse({}), wayland, installed),
          missingPlatformMessage(parse({}), asked, installed),
          missingPlatformMessage(parse({"-platform", "wayland"}), x11, installed)}) {
        EXPECT_TRUE(line.contains(QStringLiteral("'wayland")) &&
                    line.contains(QStringLiteral("qt6-wayland")) && !line.contains('\n'))
            << line.toStdString();
    }
    const QString unknown =
        missingPlatformMessage(parse({}), {QStringLiteral("xbc"), {}, {}}, installed);
    EXPECT_TRUE(unknown.contains(QStringLiteral("QT_QPA_PLATFORM 'xbc'")) &&
                unknown.contains(QStringLiteral("xcb, offscreen")))
        << unknown.toStdString();
    EXPECT_TRUE(missingPlatformMessage(parse({"-platform", "vnc"}), x11, installed)
                    .contains(QStringLiteral("'vnc' is not installed")));
    // An installed plugin, one among several asked for, or Qt's own choice: the display failed.
    EXPECT_EQ(missingPlatformMessage(parse({}), x11, installed), QString());
    EXPECT_EQ(missingPlatformMessage(parse({}), {QStringLiteral("wayland;xcb"), {}, {}}, installed),
              QString());
    EXPECT_EQ(missingPlatformMessage(parse({"-platform", "xcb"}), wayland, installed), QString());
    // The plugins of this machine are found by their metadata.
    EXPECT_TRUE(installedPlatforms().contains(QStringLiteral("offscreen")));
}

std::vector<QString> recorded;
void record(QtMsgType, const QMessageLogContext&, const QString& text) {
    recorded.push_back(text);
}

TEST(NoDisplay, MessagesAreHeldUntilTheDisplayIsOpenThenPassedOn) {
    const QtMessageHandler original = qInstallMessageHandler(record);
    recorded.clear();
    beginOpeningDisplay(parse({}));
    qWarning("while opening");
    EXPECT_TRUE(recorded.empty());
    displayOpened();
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], QStringLiteral("while opening"));
    qWarning("afterwards");
    ASSERT_EQ(recorded.size(), 2u);
    qInstallMessageHandler(original);
}

TEST(NoDisplayDeathTest, NoPlatformPluginIsOneLineAndStatusOne) {
    EXPECT_EXIT(
        {
            beginOpeningDisplay(parse({"-display", ":77"}));
            qWarning("qt.qpa.xcb: could not connect to display :77");
            qFatal("This application failed to start because no Qt platform plugin could be "
                   "initialized. Reinstalling the application may fix this problem.");
        },
        testing::ExitedWithCode(kExitNoDisplay),
        "^kovalt: cannot open a window: the X display ':77' could not be reached[^\n]*\n$");
}

TEST(NoDisplayDeathTest, OtherFatalErrorsStillReachQt) {
    EXPECT_DEATH(
        {
            beginOpeningDisplay(parse({}));
            qWarning("held back first");
            qFatal("something else broke");
        },
        "held back first(.|\n)*something else broke");
}

} // namespace
