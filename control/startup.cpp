// Start-up and reset: the first screen, an empty board and full hands, no match running.
#include "game/form1.h"

void Form1::Form_Load() {
    if (quit_) {
        return;
    }
    選択状態 = 0;
    platform_.setMenuChecked("LEVEL3", true);
    platform_.setMenuChecked("LEVEL1", false);
    platform_.setMenuChecked("LEVEL2", false);
    レベル = 3;
    手数 = 0;
    platform_.setBackgroundColour(背景色);
    for (int X = -2; X <= 20; ++X) {
        for (int Y = -2; Y <= 15; ++Y) {
            描画_絵(絵_背景, X, Y);
        }
    }
    初期画面設定();
    描画_絵(絵_ロゴ, 11.5, 0);
    if (platform_.windowTop() != kWindowTop) {
        platform_.placeWindow(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight);
    }
}

void Form1::初期画面設定() {
    手数 = 0;
    最終手数 = 手数;
    手番 = 手番_無;
    for (Form1::持駒表* hand : {&先手持駒, &後手持駒}) {
        (*hand)[1] = 9;
        for (int slot = 2; slot <= 5; ++slot) {
            (*hand)[slot] = 2;
        }
        for (int slot = 6; slot <= 8; ++slot) {
            (*hand)[slot] = 1;
        }
    }
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            将棋盤[X][Y] = 空桝;
            勢力盤[X][Y] = 0;
        }
    }
    保存_現将棋盤(手数);
    描画_桝_数値();
    先手持駒数 = 0;
    後手持駒数 = 0;
    for (int slot = 1; slot <= 8; ++slot) {
        if (先手持駒[slot] > 0) {
            先手持駒数 += 先手持駒[slot];
        }
        if (後手持駒[slot] > 0) {
            後手持駒数 += 後手持駒[slot];
        }
    }
    for (int k = 1; k <= 8; ++k) {
        描画_先持盤(k);
        描画_後持盤(k);
    }
    描画_盤();
}
