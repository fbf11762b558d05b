// The game's window for the press-to-screen measurement: prints its window id, where to press
// and its logical size, and on the key R sets up a match against the computer with the king picked
// from the hand, so that the next press on the board drops it and the computer answers.
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "game/form1.h"
#include "platform/qt_platform.h"

namespace {

double cellTwipsX(double gx) {
    return Form1::盤X + (gx + 0.5) * Form1::桝幅;
}
double cellTwipsY(double gy) {
    return Form1::盤Y + (gy + 0.5) * Form1::桝高;
}

struct Reset : QObject {
    Form1* game = nullptr;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_R) {
            game->CANCEL_Click();
            game->SENTE_Click();
            game->Form_MouseDown(1, 0, cellTwipsX(11), cellTwipsY(9)); // the king
            return true;
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtPlatform platform;
    Form1 game(platform);
    platform.connect(game);
    platform.beforeDialog = [](QMessageBox& box) {
        QTimer::singleShot(0, &box, &QMessageBox::accept);
    };
    game.Form_Load();
    Reset reset;
    reset.game = &game;
    app.installEventFilter(&reset);
    platform.window()->show();
    QTimer::singleShot(200, [&] {
        // Square (5, 5) in device pixels of the window.
        const qreal ratio = platform.window()->devicePixelRatio();
        const QPoint at = platform.canvas()->mapTo(
            platform.window(),
            QPoint(qRound(cellTwipsX(5) / kTwipsPerPixel), qRound(cellTwipsY(5) / kTwipsPerPixel)));
        std::printf("%llu %d %d %d %d\n",
                    static_cast<unsigned long long>(platform.window()->winId()),
                    qRound(at.x() * ratio), qRound(at.y() * ratio), platform.window()->width(),
                    platform.window()->height());
        std::fflush(stdout);
    });
    return QApplication::exec();
}
