#pragma once

#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/form1.h"
#include "platform/qt_platform.h"

// The centre of grid cell (gx, gy) in logical pixels of the client area.
QPoint cellPixel(double gx, double gy);

// Answers a platform's message boxes as a player would, once each box is up: a Yes/No box with
// the next of `answers` (Yes when none is left), any other with OK. Keeps every box as
// "title|text", and the face it was shown in.
class BoxAnswers {
public:
    void answerBoxesOf(QtPlatform& platform);

    std::vector<std::string> dialogs;
    std::vector<QString> dialogFaces;
    std::deque<bool> answers;
    // Run while a box is shown, before it is answered.
    std::function<void(QMessageBox&)> whileShown;
};

// The real window: the game on a QtPlatform (or a subclass of it), its boxes answering
// themselves.
template <class P = QtPlatform> class GameWindow : public BoxAnswers {
public:
    std::unique_ptr<P> platform = std::make_unique<P>();
    std::unique_ptr<Form1> game = std::make_unique<Form1>(*platform);

    // Wires the window to the game and starts it, without showing it.
    void start() {
        platform->connect(*game);
        answerBoxesOf(*platform);
        game->Form_Load();
    }
    // Starts the game and shows its window; false when the window did not come up in time.
    bool show(int timeoutMs = 5000) {
        start();
        platform->window()->show();
        return QTest::qWaitForWindowExposed(platform->window(), timeoutMs);
    }
    void press(double gx, double gy, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(platform->canvas(), button, Qt::NoModifier, cellPixel(gx, gy));
    }
    // Pawns everywhere but (1, 1) and (1, 2): (1, 1) is the only free square, and a drop
    // there leaves none.
    void leaveOneFreeSquare() {
        for (auto& column : game->将棋盤) {
            column.fill(Form1::駒_歩);
        }
        game->将棋盤[1][1] = Form1::空桝;
        game->将棋盤[1][2] = Form1::空桝;
        game->駒範囲調査();
    }
};
