// The game's state in words, for screen readers and for the record put on the clipboard.
#include <string>

#include "game/form1.h"

namespace {

std::string fileText(int x) {
    const char* text = Form1::notationText(10 - x);
    return text != nullptr ? text : "";
}

} // namespace

std::string Form1::squareName(int X, int Y) {
    return fileText(X) + kKanjiNumerals[Y];
}

bool Form1::dropBetween(const 盤表& before, const 盤表& after, int& X, int& Y) {
    for (X = 1; X <= 盤サイズ; ++X) {
        for (Y = 1; Y <= 盤サイズ; ++Y) {
            if (after[X][Y] != before[X][Y] && after[X][Y] != 空桝 &&
                notationText(after[X][Y]) != nullptr) {
                return true;
            }
        }
    }
    return false;
}

std::string Form1::dropText(int move) const {
    int X = 0;
    int Y = 0;
    if (move < 1 || move > 最終手数 || move >= 記録数 ||
        !dropBetween(盤記録[move - 1], 盤記録[move], X, Y)) {
        return "";
    }
    return squareName(X, Y) + notationText(盤記録[move][X][Y]);
}

std::string Form1::moverOf(int move) const {
    // Odd moves are 先手's, even ones 後手's.
    return sideName(move % 2 != 0 ? 手番_先手 : 手番_後手);
}

std::string Form1::squareText(int X, int Y) const {
    const int kind = 将棋盤[X][Y];
    if (kind != 空桝) {
        const char* name = notationText(kind);
        return squareName(X, Y) + " " + (name != nullptr ? name : "");
    }
    return squareName(X, Y) + (勢力盤[X][Y] > 0 ? " 利き筋" : " 空き");
}

std::string Form1::handOwnerName(bool rightHand) const {
    if (対局モード == モード_COM) {
        return rightHand ? "あなた" : "ＣＯＭ";
    }
    return rightHand ? "先手" : "後手";
}

std::string Form1::handItemText(bool rightHand, int slot) const {
    const int count = (rightHand ? 先手持駒 : 後手持駒)[slot];
    return std::string(notationText(kSlotKinds[slot])) + " " + std::to_string(count) + "枚";
}

std::string Form1::lastDropOf(int side) const {
    for (int move = 手数; move >= 1; --move) {
        if ((move % 2 != 0) == (side == 手番_先手)) {
            return moverOf(move) + dropText(move);
        }
    }
    return "";
}

std::string Form1::matchKindText() const {
    if (手番 == 手番_無) {
        return "対局していません";
    }
    if (対局モード == モード_COM) {
        return std::string("対局(COM) あなた") + (人間側 == 手番_先手 ? "先手" : "後手");
    }
    return "対局(人間)";
}

std::string Form1::recordText() const {
    if (手番 == 手番_無 && !finishedRecord_.empty()) {
        return finishedRecord_;
    }
    std::string text = matchKindText() + "\n";
    for (int move = 1; move <= 手数 && move < 記録数; ++move) {
        text += std::to_string(move) + "手目 " + moverOf(move) + " " + dropText(move) + "\n";
    }
    return text;
}
