// The legality and the execution of a drop, and the queries on the hands.
#include "game/form1.h"

int Form1::移動チェック(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int /*移動駒種類*/) {
    // The board test comes before the influence test so that a destination off the board
    // never reads outside the table.
    if (移動先X < 1 || 移動先X > 9 || 移動先Y < 1 || 移動先Y > 9) {
        return 判定_無;
    }
    if (勢力盤[移動先X][移動先Y] > 0) {
        return 判定_無;
    }
    if (移動元X == 移動先X && 移動元Y == 移動先Y) {
        return 判定_無;
    }
    if (将棋盤[移動先X][移動先Y] != 空桝) {
        return 判定_無;
    }
    return 判定_有;
}

void Form1::駒移動(int 移動元X, int 移動元Y, int 移動先X, int 移動先Y, int 移動駒) {
    描画_絵(絵_空桝, 移動元X, 移動元Y);
    将棋盤[移動先X][移動先Y] = 移動駒;
    if (移動元X == -1) {
        後手持駒数 -= 1;
        後手持駒[9 - 移動元Y] -= 1;
        描画_絵(絵_背景, 0, 移動元Y);
        描画_後持盤(移動元Y);
    } else if (移動元X == 11) {
        先手持駒数 -= 1;
        先手持駒[移動元Y - 1] -= 1;
        描画_絵(絵_背景, 12, 移動元Y);
        描画_先持盤(移動元Y - 1);
    }
    描画_絵(移動駒, 移動先X, 移動先Y);
    描画_桝輪郭(背景色, 移動元X, 移動元Y);
    描画_桝輪郭(背景色, 移動先X, 移動先Y);
}

int Form1::取得_持駒数(int IN_手番, int IN_Y) {
    if (IN_Y < 0 || IN_Y > 8) {
        return 0;
    }
    if (IN_手番 == 手番_先手) {
        return 先手持駒[IN_Y];
    }
    if (IN_手番 == 手番_後手) {
        return 後手持駒[IN_Y];
    }
    return 0;
}

int Form1::取得_全持駒数(int IN_手番) {
    int total = 0;
    for (int slot = 1; slot <= 8; ++slot) {
        total += 取得_持駒数(IN_手番, slot);
    }
    return total;
}

int Form1::手番_取得(int IN_手数) {
    return (IN_手数 % 2 != 0) ? 手番_先手 : 手番_後手;
}
