// The computer's turn: try every legal drop from its hand one ply deep, keep the best.
#include "game/form1.h"

namespace {

// Hand row R of the left column holds slot 9 - R; rows are searched from the king down.
constexpr int kindOfRow(int R) {
    return Form1::kSlotKinds[9 - R];
}

} // namespace

void Form1::com_ban() {
    if (quit_) {
        return;
    }
    描画_絵(絵_背景, -2, 9);
    描画_絵(絵_背景, -1, 9);
    描画_絵(絵_背景, 0, 9);
    描画_桝輪郭(背景色, -1, 8);
    描画_数値(結果表示X_後手 + 0.1, 結果表示Y_後手 + 0.6, "思考中", 色_黒, 0, 12);
    描画_数値(結果表示X_後手, 結果表示Y_後手 + 0.5, "思考中", 移動結果色, 0, 12);

    // The notice must be on the screen before the search blocks the window.
    platform_.repaintNow();

    ComDrop drop;
    const bool chosen = chooseDrop(drop);
    if (!chosen) {
        // Nothing to drop: take the notice away and leave the position as it is.
        描画_絵(絵_背景, -2, 9);
        描画_絵(絵_背景, -1, 9);
        描画_絵(絵_背景, 0, 9);
        描画_桝輪郭(背景色, -1, 8);
        return;
    }

    描画_手数(手数, 色_白);
    駒移動(-1, drop.row, drop.x, drop.y, drop.kind);
    描画_勢力範囲();
    描画_桝輪郭(色_白, drop.x, drop.y);
    音響("駒打音");
    手順保存();
    描画_手数(手数, 色_白);
    描画_移動結果(結果表示X_後手, 結果表示Y_後手, drop.x, drop.y, drop.kind, 色_白);
    手番 = 手番 * (-1);
    駒範囲調査();
    if (調査_勢力外桝あるか() == 判定_無) {
        終了("ＣＯＭ");
        return;
    }
    if (piecesInHandOfSideToMove() == 0) {
        announceEnd("引き分けです");
    }
}

bool Form1::chooseDrop(ComDrop& drop) {
    移動情報[0] = -99999;
    駒範囲調査();
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            勢力盤_保存[X][Y] = 勢力盤[X][Y];
        }
    }
    COM持駒数 = 0;
    for (int slot = 1; slot <= 8; ++slot) {
        if (後手持駒[slot] > 0) {
            COM持駒数 += 後手持駒[slot];
        }
    }
    基準_駒範囲数 = 調査_駒範囲数();
    if (COM持駒数 <= 0) {
        return false;
    }
    bool chosen = false;
    for (int R = 1; R <= 8; ++R) {
        if (後手持駒[9 - R] <= 0) {
            continue;
        }
        候補駒 = kindOfRow(R);
        for (int X = 1; X <= 9; ++X) {
            for (int Y = 1; Y <= 9; ++Y) {
                if (移動チェック(-1, R, X, Y, 候補駒) != 判定_有) {
                    continue;
                }
                // Try the drop on the board itself, score it, undo it.
                将棋盤[X][Y] = 候補駒;
                駒範囲調査_移動駒(X, Y);
                const int v = 盤評価(空桝, 候補駒, X, Y);
                for (int x = 1; x <= 9; ++x) {
                    for (int y = 1; y <= 9; ++y) {
                        勢力盤[x][y] = 勢力盤_保存[x][y];
                    }
                }
                将棋盤[X][Y] = 空桝;
                // Strictly greater: of equal drops the first in search order stays.
                if (v > 移動情報[0]) {
                    移動情報[0] = v;
                    chosen = true;
                    drop = {R, X, Y, 候補駒};
                }
            }
        }
    }
    return chosen;
}

int Form1::盤評価(int /*取得駒*/, int 移動駒, int /*移動先X*/, int /*移動先Y*/) {
    if (調査_勢力外桝あるか() == 判定_無) {
        return 1000;
    }
    const int n = 調査_駒範囲数();
    const int gain = 基準_駒範囲数 > n ? 基準_駒範囲数 - n : n - 基準_駒範囲数;
    int score = 1 + gain;
    if (移動駒 == 駒_角 || 移動駒 == 駒_飛 || 移動駒 == 駒_香) {
        if (手数 < 15) {
            score -= 100;
        } else if (gain == 0) {
            score -= 100;
        }
    }
    return score;
}
