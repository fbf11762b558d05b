#pragma once

// The logical size in pixels of the game window's client area, below the menu bar. Header
// only and free of any library, so that tools measuring the window from outside and the
// bare-window anchor of the benchmarks share it without linking the game.
inline constexpr int kClientWidth = 559;
inline constexpr int kClientHeight = 480;
