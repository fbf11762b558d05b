// Start-up to the first shown window: `startup_probe bare` shows an empty Qt window,
// `startup_probe kovalt` starts the game as its main does. Both quit once the window is
// exposed, so that /usr/bin/time can compare time and peak memory of the two.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include <cstring>

#include "game/form1.h"
#include "platform/qt_platform.h"
#include "platform/translation.h"

int main(int argc, char** argv) {
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    QApplication app(argc, argv);
    QWidget* shown = nullptr;
    QMainWindow bareWindow;
    std::unique_ptr<QtPlatform> platform;
    std::unique_ptr<Form1> game;
    if (bare) {
        bareWindow.resize(QtPlatform::kClientWidth, QtPlatform::kClientHeight);
        shown = &bareWindow;
    } else {
        loadQtJapanese(app);
        platform = std::make_unique<QtPlatform>();
        game = std::make_unique<Form1>(*platform);
        platform->connect(*game);
        game->Form_Load();
        shown = platform->window();
    }
    shown->show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return QApplication::exec();
}
