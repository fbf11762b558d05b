// The main of the Qt tests: the application as the program sets it up, offscreen unless told
// otherwise.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform/sound.h"
#include "platform/translation.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        // As the program does: Qt's own texts in Japanese.
        if (!loadQtJapanese(app)) {
            std::fprintf(stderr, "Qt's Japanese translation is missing (qt6-translations-l10n)\n");
        }
        status = RUN_ALL_TESTS();
    }
    // As the program does: a thread stuck in the sound library is not waited for.
    if (SoundPlayer::leftRunning()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
