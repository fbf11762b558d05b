// The position in words, for screen readers: what the board area shows, without the pictures.
#include <string>

#include "game/form1.h"

std::string Form1::sideName(int side) const {
    if (対局モード == モード_COM) {
        return side == 人間側 ? "あなた" : "ＣＯＭ";
    }
    return side == 手番_先手 ? "先手" : "後手";
}

std::string Form1::boardSummary() const {
    std::string text;
    const bool running = 手番 != 手番_無;
    if (running) {
        text = sideName(手番) + "の番。" + std::to_string(手数) + "手目";
    } else {
        text = "対局していません";
    }
    // The last drop is the one square that differs from the position before it.
    int X = 0;
    int Y = 0;
    if (手数 >= 1 && 手数 < 記録数 && dropBetween(盤記録[手数 - 1], 将棋盤, X, Y)) {
        text += " " + moverOf(手数) + squareName(X, Y) + notationText(将棋盤[X][Y]);
    }
    int free = 0;
    for (int X = 1; X <= 盤サイズ; ++X) {
        for (int Y = 1; Y <= 盤サイズ; ++Y) {
            if (将棋盤[X][Y] == 空桝 && 勢力盤[X][Y] == 0) {
                ++free;
            }
        }
    }
    return text + "。空き桝" + std::to_string(free) + "。";
}
