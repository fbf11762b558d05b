// Everything around the board that is not a piece: square numbers, move number, level,
// the text of a drop, and which empty squares are covered.
#include "game/form1.h"

void Form1::描画_桝_数値() {
    fontBold_ = true;
    for (int i = 1; i <= 9; ++i) {
        const int n = 10 - i;
        描画_数値(i + 0.2, 0.5, n, 色_黒, 0, 16);
        描画_数値(10.2, i + 0.4, i, 色_黒, 1, 12);
        描画_数値(i + 0.1, 0.4, n, 色_白, 0, 16);
        描画_数値(10.1, i + 0.3, i, 色_白, 1, 12);
    }
}

void Form1::描画_勢力範囲() {
    駒範囲調査();
    for (int X = 1; X <= 9; ++X) {
        for (int Y = 1; Y <= 9; ++Y) {
            if (将棋盤[X][Y] != 空桝) {
                continue;
            }
            描画_絵(勢力盤[X][Y] > 0 ? 絵_勢力桝 : 絵_空桝, X, Y);
            描画_桝輪郭(桝輪郭色, X, Y);
        }
    }
}

void Form1::描画_手数(int 数値, int 色) {
    描画_絵(絵_背景, 13, 3);
    描画_絵(絵_背景, 14, 3);
    // Each further digit moves the number a tenth of a cell to the left.
    double shift = 0;
    if (数値 >= 100) {
        shift = 0.2;
    } else if (数値 >= 10) {
        shift = 0.1;
    }
    描画_数値(13 - shift, 3.4, 数値, 色_黒, 0, 12);
    描画_数値(12.9 - shift, 3.3, 数値, 色, 0, 12);
    描画_文字列(13.8, 3.2, 99, 色_黒, 10);
    描画_文字列(13.7, 3.1, 99, 色_白, 10);
}

void Form1::描画_レベル(int IN_LEVEL) {
    描画_絵(絵_背景, -2, 0);
    描画_絵(絵_背景, -1, 0);
    描画_絵(絵_背景, 0, 0);
    描画_数値(-0.9, 0.2, "LEVEL", 色_黒, 0, 10);
    描画_数値(-1, 0.1, "LEVEL", 色_白, 0, 10);
    描画_数値(0.6, 0.1, IN_LEVEL, 色_黒, 0, 12);
    描画_数値(0.5, 0, IN_LEVEL, 色_白, 0, 12);
}

namespace {

const char* textOfCode(int code) {
    static const char* const digits[10] = {"",   "１", "２", "３", "４",
                                           "５", "６", "７", "８", "９"};
    if (code >= 1 && code <= 9) {
        return digits[code];
    }
    if (code >= 1001 && code <= 1009) {
        return Form1::kKanjiNumerals[code - 1000];
    }
    switch (code) {
    case Form1::駒_歩:
        return "歩";
    case Form1::駒_と:
        return "と";
    case Form1::駒_香:
        return "香";
    case Form1::駒_香成:
        return "香成";
    case Form1::駒_桂:
        return "桂";
    case Form1::駒_桂成:
        return "桂成";
    case Form1::駒_銀:
        return "銀";
    case Form1::駒_銀成:
        return "銀成";
    case Form1::駒_金:
        return "金";
    case Form1::駒_角:
        return "角";
    case Form1::駒_角成:
        return "角成";
    case Form1::駒_飛:
        return "飛";
    case Form1::駒_飛成:
        return "飛成";
    case Form1::駒_王:
        return "王";
    default:
        return nullptr;
    }
}

} // namespace

const char* Form1::notationText(int code) {
    return textOfCode(code);
}

void Form1::描画_移動駒種類(double 入力X, double 入力Y, int 駒種類, int 色) {
    const char* text = textOfCode(駒種類);
    if (text == nullptr) {
        return;
    }
    描画_数値(入力X, 入力Y, text, 色, 0, 12);
}
