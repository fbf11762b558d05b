#include "testkit/game_fixture.h"

#include <algorithm>

void GameTest::press(int gx, int gy, int button) {
    game->Form_MouseDown(button, 0, Form1::盤X + (gx + 0.5) * Form1::桝幅,
                         Form1::盤Y + (gy + 0.5) * Form1::桝高);
}

void GameTest::dropRight(int slot, int x, int y, int button) {
    press(11, slot + 1);
    press(x, y, button);
}

void GameTest::dropLeft(int slot, int x, int y, int button) {
    press(-1, 9 - slot);
    press(x, y, button);
}

void GameTest::place(std::initializer_list<std::tuple<int, int, int>> pieces) {
    for (auto& column : game->将棋盤) {
        column.fill(Form1::空桝);
    }
    for (const auto& [kind, x, y] : pieces) {
        game->将棋盤[x][y] = kind;
    }
    game->駒範囲調査();
}

void GameTest::clearLog() {
    screen.sounds.clear();
    screen.boxes.clear();
}

int GameTest::count(const std::string& sound) const {
    return static_cast<int>(std::count(screen.sounds.begin(), screen.sounds.end(), sound));
}

bool GameTest::lastBoxIs(const std::string& text, const std::string& title) const {
    return !screen.boxes.empty() && screen.boxes.back().text == text &&
           screen.boxes.back().title == title;
}

int GameTest::piecesInPlay() const {
    int n = 0;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            n += game->将棋盤[x][y] != Form1::空桝 ? 1 : 0;
        }
    }
    for (int s = 1; s <= 8; ++s) {
        n += game->先手持駒[s] + game->後手持駒[s];
    }
    return n;
}
