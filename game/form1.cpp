#include "game/form1.h"

Form1::Form1(Platform& platform) : platform_(platform) {}
