#pragma once

// Fetches the presses and keys made so far from the window system and throws them away,
// leaving paint and every other event to be handled as usual: for input made while the game
// waits, which must not be acted on once it stops waiting.
void dropPendingInput();
