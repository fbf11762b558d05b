// The person's mouse: pick a piece from a hand, drop it on the board.
#include <cmath>

#include "game/form1.h"

void Form1::ringAndWarn(const std::string& text, const std::string& title) {
    音響("禁止");
    platform_.showMessage(text, title);
}

int Form1::piecesInHandOfSideToMove() {
    // Against the computer the person always holds the right-hand pieces and the computer
    // the left-hand ones, whichever side each plays.
    if (対局モード == モード_COM) {
        return 取得_全持駒数(手番 == COM側 ? 手番_後手 : 手番_先手);
    }
    return 取得_全持駒数(手番);
}

void Form1::Form_MouseDown(int Button, int /*Shift*/, double X, double Y) {
    if (quit_) {
        return;
    }
    if (手番 == 手番_無) {
        ringAndWarn("「対局」で始めて下さい", "開始");
        return;
    }
    if (対局モード == モード_COM && 手番 == COM側) {
        com_ban();
        return;
    }

    // Presses left of or above the grid origin belong to column or row -1, not 0.
    const double column = std::floor((X - 盤X) / 桝幅);
    const double row = std::floor((Y - 盤Y) / 桝高);
    // Far-off presses are clamped before the conversion so that no value overflows an int.
    const int 列 = static_cast<int>(std::fmax(-100.0, std::fmin(100.0, column)));
    const int 行 = static_cast<int>(std::fmax(-100.0, std::fmin(100.0, row)));

    if (列 >= 1 && 列 <= 盤サイズ && 行 >= 1 && 行 <= 盤サイズ) {
        if (選択状態 == 0) {
            if (将棋盤[列][行] != 空桝) {
                ringAndWarn("駒の移動はできません", "注意");
            }
            return;
        }
        移動情報[3] = 列;
        移動情報[4] = 行;
        if (勢力盤[列][行] != 0) {
            ringAndWarn("利き筋に打つ事はできません", "注意");
            return;
        }
        if (移動チェック(移動情報[1], 移動情報[2], 移動情報[3], 移動情報[4], 移動情報[6]) !=
            判定_有) {
            音響("禁止");
            return;
        }
        if (調査_駒成(移動情報[6]) == 判定_有 && Button == ボタン_右) {
            移動情報[6] = 成駒種類;
        }
        選択状態 = 0;
        描画_桝輪郭(桝輪郭色, 移動情報[1], 移動情報[2]);
        描画_桝輪郭(桝輪郭色, 移動情報[3], 移動情報[4]);
        描画_移動可能桝色(移動情報[1], 移動情報[2], 桝輪郭色, 移動情報[6]);
        駒移動(移動情報[1], 移動情報[2], 移動情報[3], 移動情報[4], 移動情報[6]);
        if (移動情報[1] == -1) {
            描画_移動結果(結果表示X_後手, 結果表示Y_後手, 移動情報[3], 移動情報[4], 移動情報[6],
                          移動結果色);
        } else if (移動情報[1] == 11) {
            描画_移動結果(結果表示X_先手, 結果表示Y_先手, 移動情報[3], 移動情報[4], 移動情報[6],
                          移動結果色);
        }
        描画_勢力範囲();
        音響("駒打音");
        手順保存();
        描画_手数(手数, 色_白);
        駒範囲調査();

        if (対局モード == モード_COM) {
            if (調査_勢力外桝あるか() == 判定_無) {
                終了("あなた");
                return;
            }
            手番 = -手番;
            if (piecesInHandOfSideToMove() == 0) {
                announceEnd("引き分けです");
                return;
            }
            com_ban();
        } else {
            if (調査_勢力外桝あるか() == 判定_無) {
                if (手番 == 手番_先手) {
                    終了("先手");
                } else if (手番 == 手番_後手) {
                    終了("後手");
                }
                if (quit_) {
                    return;
                }
                手番 = -手番;
                return;
            }
            手番 = -手番;
            if (piecesInHandOfSideToMove() == 0) {
                announceEnd("引き分けです");
            }
        }
        return;
    }

    if (選択状態 == 1) {
        描画_移動可能桝色(移動情報[1], 移動情報[2], 桝輪郭色, 移動情報[6]);
        描画_桝輪郭(桝輪郭色, 移動情報[1], 移動情報[2]);
    }

    if (列 == 11 && 行 >= 2 && 行 <= 盤サイズ) {
        if (対局モード == モード_人間 && 手番 == 手番_後手) {
            ringAndWarn("後手の持駒ではありません", "Ｋｏｖａｌｔ");
            return;
        }
        if (先手持駒[行 - 1] <= 0) {
            音響("禁止");
            return;
        }
        移動情報[1] = 11;
        移動情報[2] = 行;
        移動情報[6] = kSlotKinds[行 - 1];
        選択状態 = 1;
        描画_桝輪郭(色_明紫, 11, 行);
    } else if (列 == -1 && 行 >= 1 && 行 <= 8) {
        if (後手持駒[9 - 行] <= 0) {
            return;
        }
        if (対局モード == モード_人間 && 手番 == 手番_先手) {
            ringAndWarn("先手の持駒ではありません", "Ｋｏｖａｌｔ");
            return;
        }
        if (対局モード == モード_COM) {
            ringAndWarn("あなたの持駒ではありません", "Ｋｏｖａｌｔ");
            return;
        }
        選択状態 = 1;
        移動情報[1] = -1;
        移動情報[2] = 行;
        移動情報[6] = kSlotKinds[9 - 行];
        描画_桝輪郭(色_明紫, -1, 行);
    }
}
