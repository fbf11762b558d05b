// The position in words, for screen readers: what the board area shows, without the pictures.
#include <string>

#include "game/form1.h"

namespace {

// The full-width file digits the game writes beside the board.
std::string fileText(int x) {
    const char* text = Form1::notationText(10 - x);
    return text != nullptr ? text : "";
}

} // namespace

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
    if (手数 >= 1 && 手数 < 記録数) {
        const 盤表& before = 盤記録[手数 - 1];
        bool found = false;
        for (int X = 1; X <= 盤サイズ && !found; ++X) {
            for (int Y = 1; Y <= 盤サイズ && !found; ++Y) {
                const int kind = 将棋盤[X][Y];
                const char* name = notationText(kind);
                if (kind == before[X][Y] || kind == 空桝 || name == nullptr) {
                    continue;
                }
                found = true;
                // Odd moves are 先手's, even ones 後手's.
                const int mover = 手数 % 2 != 0 ? 手番_先手 : 手番_後手;
                text += " " + sideName(mover) + fileText(X) + kKanjiNumerals[Y] + name;
            }
        }
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
