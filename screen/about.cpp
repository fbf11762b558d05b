// The about box behind the その他 menu.
#include "game/form1.h"

#ifndef KOVALT_VERSION
#define KOVALT_VERSION "0.0.0"
#endif

std::string Form1::aboutText() {
    const std::string lines[9] = {
        "Kovalt  Version " KOVALT_VERSION,
        "",
        std::string(19, ' ') + "The Kovalt developers",
        "",
        "Home page",
        "https://kovalt.org/",
        "",
        "e-mail",
        "developers@kovalt.org",
    };
    std::string text;
    for (int i = 0; i < 9; ++i) {
        if (i > 0) {
            text += '\n';
        }
        text += lines[i];
    }
    return text;
}

void Form1::VER_Click() {
    if (quit_) {
        return;
    }
    音響("その他");
    platform_.showMessage(aboutText(), "Kovalt");
}
