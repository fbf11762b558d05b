// Which squares every piece on the board covers, counted per covering step.
#include "game/form1.h"

void Form1::駒範囲調査() {
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            勢力盤[X][Y] = 0;
        }
    }
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            駒範囲調査_移動駒(X, Y);
        }
    }
}

namespace {

// One covering step; steps off the board cover nothing.
void step(Form1::盤表& 勢力盤, int x, int y) {
    if (x >= 1 && x <= 9 && y >= 1 && y <= 9) {
        勢力盤[x][y] += 1;
    }
}

} // namespace

void Form1::駒範囲調査_移動駒(int IN_X, int IN_Y) {
    const int X = IN_X;
    const int Y = IN_Y;
    const int 駒種類 = 将棋盤[X][Y];
    // Forward is always towards row 1, whoever dropped the piece.
    if (駒種類 == 駒_歩) {
        step(勢力盤, X, Y - 1);
    } else if (駒種類 == 駒_香) {
        勢力確定上直進(駒種類, X, Y);
    } else if (駒種類 == 駒_桂) {
        // Both knight squares lie two rows up.
        if (Y > 2) {
            step(勢力盤, X - 1, Y - 2);
            step(勢力盤, X + 1, Y - 2);
        }
    } else if (駒種類 == 駒_銀) {
        step(勢力盤, X, Y - 1);
        step(勢力盤, X - 1, Y - 1);
        step(勢力盤, X + 1, Y - 1);
        step(勢力盤, X - 1, Y + 1);
        step(勢力盤, X + 1, Y + 1);
    } else if (駒種類 == 駒_と || 駒種類 == 駒_香成 || 駒種類 == 駒_桂成 || 駒種類 == 駒_銀成 ||
               駒種類 == 駒_金) {
        勢力確定金(駒種類, X, Y);
    } else if (駒種類 == 駒_角) {
        勢力確定角(X, Y);
    } else if (駒種類 == 駒_角成) {
        step(勢力盤, X, Y - 1);
        step(勢力盤, X, Y + 1);
        step(勢力盤, X - 1, Y);
        step(勢力盤, X + 1, Y);
        勢力確定角(X, Y);
    } else if (駒種類 == 駒_飛 || 駒種類 == 駒_飛成) {
        勢力確定下直進(駒種類, X, Y);
        勢力確定上直進(駒種類, X, Y);
        勢力確定右直進(駒種類, X, Y);
        勢力確定左直進(駒種類, X, Y);
        if (駒種類 == 駒_飛成) {
            step(勢力盤, X - 1, Y - 1);
            step(勢力盤, X + 1, Y - 1);
            step(勢力盤, X - 1, Y + 1);
            step(勢力盤, X + 1, Y + 1);
        }
    } else if (駒種類 == 駒_王) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (dx != 0 || dy != 0) {
                    step(勢力盤, X + dx, Y + dy);
                }
            }
        }
    }
}

namespace {

// A ray covers every empty square up to and including the first occupied one.
void ray(const Form1::盤表& 将棋盤, Form1::盤表& 勢力盤, int X, int Y, int dx, int dy) {
    int x = X + dx;
    int y = Y + dy;
    while (x >= 1 && x <= 9 && y >= 1 && y <= 9) {
        勢力盤[x][y] += 1;
        if (将棋盤[x][y] != Form1::空桝) {
            return;
        }
        x += dx;
        y += dy;
    }
}

} // namespace

void Form1::勢力確定上直進(int /*駒種類*/, int 入力X, int 入力Y) {
    ray(将棋盤, 勢力盤, 入力X, 入力Y, 0, -1);
}

void Form1::勢力確定下直進(int /*駒種類*/, int 入力X, int 入力Y) {
    ray(将棋盤, 勢力盤, 入力X, 入力Y, 0, 1);
}

void Form1::勢力確定右直進(int /*駒種類*/, int 入力X, int 入力Y) {
    ray(将棋盤, 勢力盤, 入力X, 入力Y, 1, 0);
}

void Form1::勢力確定左直進(int /*駒種類*/, int 入力X, int 入力Y) {
    ray(将棋盤, 勢力盤, 入力X, 入力Y, -1, 0);
}

void Form1::勢力確定金(int /*駒種類*/, int 入力X, int 入力Y) {
    const int X = 入力X;
    const int Y = 入力Y;
    step(勢力盤, X, Y - 1);
    step(勢力盤, X - 1, Y - 1);
    step(勢力盤, X + 1, Y - 1);
    step(勢力盤, X, Y + 1);
    step(勢力盤, X - 1, Y);
    step(勢力盤, X + 1, Y);
}

void Form1::勢力確定角(int 入力X, int 入力Y) {
    const int X = 入力X;
    const int Y = 入力Y;
    if (Y > 1 && X > 1) {
        ray(将棋盤, 勢力盤, X, Y, -1, -1);
    }
    if (Y > 1 && X < 9) {
        ray(将棋盤, 勢力盤, X, Y, 1, -1);
    }
    if (Y < 9 && X > 1) {
        ray(将棋盤, 勢力盤, X, Y, -1, 1);
    }
    if (Y < 9 && X < 9) {
        ray(将棋盤, 勢力盤, X, Y, 1, 1);
    }
}
