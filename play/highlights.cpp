// The marks of a drop: the squares a picked piece may go to, and the last drop in notation.
#include "game/form1.h"

void Form1::描画_移動可能桝色(int 移動元X, int 移動元Y, int 描画色, int 移動駒) {
    描画_将棋盤桝();
    for (int 移動先X = 1; 移動先X <= 9; ++移動先X) {
        for (int 移動先Y = 1; 移動先Y <= 9; ++移動先Y) {
            if (移動チェック(移動元X, 移動元Y, 移動先X, 移動先Y, 移動駒) == 判定_有) {
                描画_桝輪郭(描画色, 移動先X, 移動先Y);
            }
        }
    }
}

void Form1::描画_移動結果(double WK_X, double WK_Y, int 移動先X, int 移動先Y, int 移動駒,
                          int 駒色) {
    描画_絵(絵_背景, WK_X, WK_Y);
    描画_絵(絵_背景, WK_X + 1, WK_Y);
    // Clearing the left-hand area covers the lower edge of the hand square above it.
    描画_桝輪郭(背景色, -1, 8);
    描画_移動駒種類(WK_X + 0.1, WK_Y + 0.6, 10 - 移動先X, 色_黒);
    描画_移動駒種類(WK_X, WK_Y + 0.5, 10 - 移動先X, 駒色);
    描画_移動駒種類(WK_X + 0.5, WK_Y + 0.6, 移動先Y + 1000, 色_黒);
    描画_移動駒種類(WK_X + 0.4, WK_Y + 0.5, 移動先Y + 1000, 駒色);
    描画_移動駒種類(WK_X + 1.1, WK_Y + 0.6, 移動駒, 色_黒);
    描画_移動駒種類(WK_X + 1, WK_Y + 0.5, 移動駒, 駒色);
}
