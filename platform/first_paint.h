#pragma once

#include <functional>

class QWidget;

// Runs `action` once, from the event loop, after the first paint of `window` (or of any widget
// in it) has been handed to the window system: for work the first picture does not need.
void afterFirstPaint(QWidget* window, std::function<void()> action);
