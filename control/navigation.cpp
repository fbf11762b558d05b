// Stepping back and forward through the positions of the match, and back to the start.
#include "game/form1.h"

namespace {

void restoreHands(Form1& f) {
    for (int i = 1; i <= 8; ++i) {
        if (f.先手持駒[i] != f.先手持駒記録[f.手数][i]) {
            f.先手持駒[i] = f.先手持駒記録[f.手数][i];
            f.描画_先持駒(i);
        }
        if (f.後手持駒[i] != f.後手持駒記録[f.手数][i]) {
            f.後手持駒[i] = f.後手持駒記録[f.手数][i];
            f.描画_後持駒(9 - i);
        }
        f.描画_桝輪郭(Form1::背景色, -1, i);
        f.描画_桝輪郭(Form1::背景色, 11, i + 1);
    }
    // The totals are not recorded; keep them true to the restored slots.
    f.先手持駒数 = f.取得_全持駒数(Form1::手番_先手);
    f.後手持駒数 = f.取得_全持駒数(Form1::手番_後手);
}

} // namespace

void Form1::REPLAY_Click() {
    if (quit_) {
        return;
    }
    if (手数 < 1) {
        ringAndWarn("できません", "戻る");
        return;
    }
    手数 = 手数 - 1;
    手番 = 手番_取得(手数 + 1);
    選択状態 = 0;
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            if (将棋盤[X][Y] == 盤記録[手数][X][Y]) {
                continue;
            }
            if (手番 == COM側) {
                描画_絵(絵_背景, -2, 9);
                描画_絵(絵_背景, -1, 9);
                描画_絵(絵_背景, 0, 9);
                描画_桝輪郭(背景色, -1, 8);
            } else if (手番 == 人間側) {
                描画_絵(絵_背景, 13, 2);
                描画_絵(絵_背景, 14, 2);
            }
            描画_絵(盤記録[手数][X][Y], X, Y);
            描画_桝輪郭(背景色, X, Y);
            将棋盤[X][Y] = 盤記録[手数][X][Y];
        }
    }
    restoreHands(*this);
    描画_手数(手数, 色_白);
    描画_勢力範囲();
    音響("駒打音");
}

void Form1::AFTER_Click() {
    if (quit_) {
        return;
    }
    if (手数 >= 最終手数) {
        ringAndWarn("できません", "進む");
        return;
    }
    選択状態 = 0;
    手数 = 手数 + 1;
    手番 = 手番_取得(手数 + 1);
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            const int recorded = 盤記録[手数][X][Y];
            if (将棋盤[X][Y] == recorded) {
                continue;
            }
            if (recorded != 空桝) {
                if (手番 == 人間側) {
                    描画_移動結果(結果表示X_後手, 結果表示Y_後手, X, Y, recorded, 移動結果色);
                } else if (手番 == COM側) {
                    描画_移動結果(結果表示X_先手, 結果表示Y_先手, X, Y, recorded, 移動結果色);
                }
            }
            描画_絵(recorded, X, Y);
            描画_桝輪郭(背景色, X, Y);
            将棋盤[X][Y] = recorded;
        }
    }
    restoreHands(*this);
    描画_手数(手数, 色_白);
    描画_勢力範囲();
    音響("駒打音");
}

void Form1::CANCEL_Click() {
    if (quit_) {
        return;
    }
    Form_Load();
    音響("駒打音");
    手番 = 手番_無;
}
