// Starting a match of either kind, choosing the level, leaving the game.
#include "game/form1.h"

bool Form1::startAllowed(int モード) {
    if (quit_) {
        return false;
    }
    if (手番 == 手番_無 || 手数 == 0) {
        // A new match begins a new record: the positions of an earlier match stepped back
        // from must not come back with 進.
        最終手数 = 0;
        return true;
    }
    if (対局モード != モード) {
        ringAndWarn("対局相手の変更はできません", "対局中です");
    }
    return false;
}

void Form1::START_Click() {
    if (!startAllowed(モード_人間)) {
        return;
    }
    描画_桝_数値();
    描画_絵(絵_背景, -2, 0);
    描画_絵(絵_背景, -1, 0);
    描画_絵(絵_背景, 0, 0);
    駒範囲調査();
    描画_勢力範囲();
    対局モード = モード_人間;
    人間側 = 手番_先手;
    COM側 = 手番_後手;
    手番 = 人間側;
    platform_.showMessage("先手の番です", " ");
}

void Form1::prepareComputerMatch() {
    描画_レベル(レベル);
    選択状態 = 0;
    駒範囲調査();
    描画_勢力範囲();
    対局モード = モード_COM;
}

void Form1::SENTE_Click() {
    if (!startAllowed(モード_COM)) {
        return;
    }
    prepareComputerMatch();
    platform_.showMessage("あなたの番です", " ");
    人間側 = 手番_先手;
    COM側 = 手番_後手;
    手番 = 手番_先手;
}

void Form1::GOTE_Click() {
    if (!startAllowed(モード_COM)) {
        return;
    }
    prepareComputerMatch();
    人間側 = 手番_後手;
    COM側 = 手番_先手;
    手番 = 手番_先手;
    com_ban();
}

void Form1::setLevel(int level) {
    if (quit_ || レベル == level) {
        return;
    }
    platform_.setMenuChecked("LEVEL1", level == 1);
    platform_.setMenuChecked("LEVEL2", level == 2);
    platform_.setMenuChecked("LEVEL3", level == 3);
    レベル = level;
    描画_レベル(level);
}

void Form1::LEVEL1_Click() {
    setLevel(1);
}

void Form1::LEVEL2_Click() {
    setLevel(2);
}

void Form1::LEVEL3_Click() {
    setLevel(3);
}

void Form1::OWARI_Click() {
    if (!quit_) {
        quitApplication();
    }
}

void Form1::MATCH_MAN_Click() {}

void Form1::Form_Unload() {
    if (!quit_) {
        quitApplication();
    }
}
