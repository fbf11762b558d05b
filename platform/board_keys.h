#pragma once

#include <QObject>

#include <functional>

class Canvas;
class Form1;
class QtPlatform;
class QWidget;

// The board without a mouse: a cursor moved by the arrow keys or by two digits (file, then
// rank), piece letters that pick from the hand of the side to move, Return or Space to drop
// (Shift+Return promoted), each a press where the mouse would press, through the canvas's own
// press handler. The cursor's frame is drawn over the canvas, never into the game's picture,
// from the first key until the next mouse press.
class BoardKeys : public QObject {
    Q_OBJECT
public:
    BoardKeys(Canvas* canvas, Form1& form);

    int cursorX() const { return cursorX_; }
    int cursorY() const { return cursorY_; }
    bool cursorShown() const;
    // Told each time the cursor lands on a square.
    std::function<void(int X, int Y)> onCursor;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool key(int key, Qt::KeyboardModifiers modifiers);
    void moveTo(int X, int Y);
    void press(int button, double x, double y);

    Canvas* canvas_;
    Form1& form_;
    QWidget* frame_;
    int cursorX_ = 5;
    int cursorY_ = 5;
    // The file digit typed, waiting for its rank; 0 when none.
    int pendingFile_ = 0;
};

// Puts the keys, the screen reader's board and Ctrl+C (the match as text on the clipboard)
// on the platform's window, for this game.
void installKeyboardAndReader(QtPlatform& platform, Form1& form);
