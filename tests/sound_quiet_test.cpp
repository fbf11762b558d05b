// No sound server at all is a normal case for this game: the sound library must not say so on
// the terminal. Its own process, since the library connects once per process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include "platform/sound.h"

namespace {

QStringList said;
void record(QtMsgType, const QMessageLogContext&, const QString& text) {
    said << text;
}

TEST(SoundWithoutServer, TheTerminalStaysQuietAndAnotherFaultIsToldOnce) {
    qInstallMessageHandler(record);
    SoundPlayer player;
    player.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return player.loaded(); }, 10000));
    EXPECT_FALSE(player.available());
    EXPECT_TRUE(player.stop(5000));
    EXPECT_TRUE(said.filter(QStringLiteral("PulseAudioService")).isEmpty())
        << said.join('\n').toStdString();

    said.clear();
    qWarning("PulseAudioService: failed to get server info");
    qWarning("PulseAudioService: failed to get server info");
    qWarning("something else");
    EXPECT_EQ(said.join('|').toStdString(),
              "PulseAudioService: failed to get server info|something else");
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // An empty runtime folder and home: no server to find and none started.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("HOME", runtime.path().toLocal8Bit());
    qunsetenv("PULSE_SERVER");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(kovalt); // the sounds
    return RUN_ALL_TESTS();
}
