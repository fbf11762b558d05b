// Pictures, frames and texts at grid positions, in palette colours.
#include "game/form1.h"

void Form1::描画_絵(int 駒種類, double 座標X, double 座標Y) {
    if (quit_) {
        return;
    }
    Picture picture;
    switch (駒種類) {
#define PICTURE(id, stem, width, height, code)                                                     \
    case code:                                                                                     \
        picture = Picture::id;                                                                     \
        break;
#include "platform/picture_table.def"
#undef PICTURE
    default: // any other code draws nothing
        return;
    }
    platform_.paintPicture(picture, 盤X + 座標X * 桝幅, 盤Y + 座標Y * 桝高);
}

void Form1::描画_桝輪郭(int 描画色, double 座標X, double 座標Y) {
    if (quit_) {
        return;
    }
    const double x1 = 盤X + 座標X * 桝幅;
    const double y1 = 盤Y + 座標Y * 桝高;
    platform_.outlineRect(x1, y1, x1 + 桝幅, y1 + 桝高, 描画色);
}

void Form1::描画_数値(double 入力X, double 入力Y, int 数値, int 色, int モード,
                      int フォントサイズ) {
    if (モード == 0) {
        // A number is written with a blank where its sign would stand.
        std::string text = std::to_string(数値);
        if (数値 >= 0) {
            text.insert(text.begin(), ' ');
        }
        描画_数値(入力X, 入力Y, text, 色, 0, フォントサイズ);
        return;
    }
    if (数値 < 1 || 数値 > 9) {
        return;
    }
    描画_数値(入力X, 入力Y, kKanjiNumerals[数値], 色, 0, フォントサイズ);
}

void Form1::描画_数値(double 入力X, double 入力Y, const std::string& 数値, int 色, int /*モード*/,
                      int フォントサイズ) {
    if (quit_) {
        return;
    }
    platform_.printText(盤X + 入力X * 桝幅, 盤Y + 入力Y * 桝高, 数値, フォントサイズ, fontBold_,
                        色);
}

void Form1::描画_文字列(double 入力X, double 入力Y, int 数値, int 色, int サイズ) {
    if (quit_ || 数値 != 99) {
        return;
    }
    platform_.printText(盤X + 入力X * 桝幅 + 120, 盤Y + 入力Y * 桝高 + 160, "手目", サイズ,
                        fontBold_, 色);
}
