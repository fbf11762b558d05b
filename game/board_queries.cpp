// Questions about the position that neither the board nor the influence map change.
#include "game/form1.h"

int Form1::調査_勢力外桝あるか() {
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            if (将棋盤[X][Y] == 空桝 && 勢力盤[X][Y] == 0) {
                return 判定_有;
            }
        }
    }
    return 判定_無;
}

int Form1::調査_駒範囲数() {
    int count = 0;
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            if (勢力盤[X][Y] > 0) {
                ++count;
            }
        }
    }
    return count;
}

int Form1::調査_駒成(int 移動駒種類) {
    if (移動駒種類 == 駒_王 || 移動駒種類 == 駒_金) {
        return 判定_無;
    }
    成駒種類 = 移動駒種類 + 1;
    return 判定_有;
}
