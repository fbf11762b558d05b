// The 81 board squares and the two hand columns, each slot with its picture and count.
#include "game/form1.h"

void Form1::描画_盤() {
    for (int X = 1; X <= 盤サイズ; ++X) {
        for (int Y = 1; Y <= 盤サイズ; ++Y) {
            描画_絵(絵_空桝, X, Y);
            if (将棋盤[X][Y] != 空桝) {
                描画_絵(将棋盤[X][Y], X, Y);
            }
            描画_桝輪郭(背景色, X, Y);
        }
    }
}

void Form1::描画_将棋盤桝() {
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            描画_桝輪郭(桝輪郭色, X, Y);
        }
    }
}

void Form1::描画_先持盤(int IN_Y) {
    if (IN_Y < 1 || IN_Y > 8) {
        return;
    }
    描画_絵(絵_空桝, 11, IN_Y + 1);
    if (先手持駒[IN_Y] > 0) {
        描画_先持駒(IN_Y);
    }
    描画_桝輪郭(背景色, 11, IN_Y + 1);
}

void Form1::描画_後持盤(int IN_Y) {
    if (IN_Y < 1 || IN_Y > 8) {
        return;
    }
    描画_絵(絵_空桝, -1, IN_Y);
    if (後手持駒[9 - IN_Y] > 0) {
        描画_後持駒(IN_Y);
    }
    描画_桝輪郭(背景色, -1, IN_Y);
}

void Form1::描画_先持駒(int IN_数字) {
    const int s = IN_数字;
    if (s < 1 || s > 8) {
        return;
    }
    const int r = s + 1;
    描画_絵(kSlotKinds[s], 11, r);
    描画_絵(絵_背景, 12, r);
    if (先手持駒[s] == 0) {
        描画_絵(絵_空桝, 11, r);
    } else {
        const int n = 先手持駒[s];
        描画_数値(12.1, r + 0.3, n, 色_黒, 0, 14);
        描画_数値(12, r + 0.2, n, 色_明紫, 0, 14);
    }
    描画_桝輪郭(背景色, 11, r);
}

void Form1::描画_後持駒(int IN_数字) {
    const int r = IN_数字;
    if (r < 1 || r > 8) {
        return;
    }
    const int s = 9 - r;
    描画_絵(kSlotKinds[s], -1, r);
    描画_絵(絵_背景, 0, r);
    if (後手持駒[s] == 0) {
        描画_絵(絵_空桝, -1, r);
    } else {
        const int n = 後手持駒[s];
        描画_数値(0.1, r + 0.3, n, 色_黒, 0, 14);
        描画_数値(0, r + 0.2, n, 色_明紫, 0, 14);
    }
    描画_桝輪郭(背景色, -1, r);
}
