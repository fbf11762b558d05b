// The end of a match, the one-second pause before it is announced, and the sounds.
#include "game/form1.h"

void Form1::終了(const std::string& 勝手) {
    announceEnd(勝手 + "の勝ちです");
}

void Form1::announceEnd(const std::string& 結果文) {
    if (quit_) {
        return;
    }
    待ち時間(1);
    // The window may have been closed during the pause.
    if (quit_) {
        return;
    }
    finishedRecord_ = recordText() + 結果文 + "\n";
    音響("終局");
    platform_.showMessage(結果文, "終了");
    if (platform_.askYesNo("続けますか？", "再ゲーム")) {
        Form_Load();
    } else {
        quitApplication();
    }
}

void Form1::quitApplication() {
    quit_ = true;
    platform_.quit();
}

void Form1::音響(const std::string& IN_音) {
    if (quit_) {
        return;
    }
    platform_.playSound(IN_音);
}

void Form1::待ち時間(int IN_秒) {
    // The last drop must be on the screen before the pause, which blocks the window.
    platform_.repaintNow();
    for (int i = 1; i <= IN_秒; ++i) {
        const int start = platform_.clockSeconds();
        while (platform_.clockSeconds() == start) {
            platform_.rest();
        }
    }
}
