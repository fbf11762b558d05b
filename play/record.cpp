// Every position of the match, kept by move number for stepping back and forward.
#include "game/form1.h"

void Form1::手順保存() {
    // The rules end a match long before the record is full (each side holds 20 pieces);
    // a full record keeps its last position rather than write past its end.
    if (手数 >= 記録数 - 1) {
        return;
    }
    手数 = 手数 + 1;
    最終手数 = 手数;
    保存_現将棋盤(手数);
}

void Form1::保存_現将棋盤(int IN_手数) {
    if (IN_手数 < 0 || IN_手数 >= 記録数) {
        return;
    }
    for (int slot = 1; slot <= 8; ++slot) {
        先手持駒記録[IN_手数][slot] = 先手持駒[slot];
        後手持駒記録[IN_手数][slot] = 後手持駒[slot];
    }
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            盤記録[IN_手数][X][Y] = 将棋盤[X][Y];
        }
    }
}
