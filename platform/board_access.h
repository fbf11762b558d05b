#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <string>

class Canvas;
class Form1;

// What a screen reader finds on the board: a table of the 81 squares, each named by its
// square and what it holds, the two hands as lists with their counts, and the move number,
// the level and each side's last drop. The board cursor is the reader's focus, and every
// change of the position is spoken. It draws nothing and decides nothing in the game.
class BoardAccess : public QObject {
    Q_OBJECT
public:
    BoardAccess(Canvas* canvas, Form1& form);
    ~BoardAccess() override;

    // The cursor is on square (X, Y): the reader hears that square, if the board has the focus.
    void setCursor(int X, int Y);
    // After every event of the game: tells the reader what changed on the board (the drops
    // made since the last call, or the new position after a step or a new match).
    void refresh();
    // Before a box opens: news told less than a second ago gets the rest of that second (input
    // dropped meanwhile), for orca skips a focus it has not presented yet once a newer one
    // (the box's) has come.
    void letReaderHear();

    // What the reader was last told (for tests).
    const QString& news() const { return news_; }

private:
    friend class BoardInterface;
    friend class CellInterface;
    void announce(const QString& text);

    Canvas* canvas_;
    Form1& form_;
    int cursorX_ = 5;
    int cursorY_ = 5;
    QString news_;
    int newsItem_ = 0;
    // When the last news took the reader's focus.
    QElapsedTimer toldAt_;
    // The position last told: its move number and summary.
    int toldMove_ = 0;
    bool toldRunning_ = false;
    std::string toldSummary_;
};
