// Where a key's press lands: the centre of a board square, or the hand square that holds a
// kind for the side to move. The keys then press there as the mouse would.
#include "game/form1.h"

Form1::Twips Form1::squareCentre(int column, int row) {
    return {盤X + (column + 0.5) * 桝幅, 盤Y + (row + 0.5) * 桝高};
}

Form1::Twips Form1::handSquareOf(int kind) const {
    int slot = 1;
    while (slot < 8 && kSlotKinds[slot] != kind) {
        ++slot;
    }
    // Against the computer the person always holds the right-hand column; between persons
    // 後手 holds the left-hand one, whose rows run from the king at the top.
    if (対局モード == モード_人間 && 手番 == 手番_後手) {
        return squareCentre(-1, 9 - slot);
    }
    return squareCentre(11, slot + 1);
}
