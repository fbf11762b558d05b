#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <utility>

// An X client that times a program from outside, on a real X server: it presses through the
// XTEST extension and sees what the server then shows, as DAMAGE reports (drawing) and map
// notifications (new windows). Xlib, as the other X tools of the tests.
class XTiming {
public:
    using Clock = std::chrono::steady_clock;
    enum class Seen { Drawing, NewWindow, Nothing };

    // Connects to $DISPLAY; `connected()` tells whether that worked and both extensions are
    // there.
    XTiming();
    ~XTiming();
    XTiming(const XTiming&) = delete;
    XTiming& operator=(const XTiming&) = delete;
    bool connected() const { return display_ != nullptr; }

    Window root() const;
    // Reports drawing in the window from now on (the root: drawing anywhere on the screen),
    // forgetting any drawing before.
    void watchDrawing(Window window);
    // Reports every window mapped from now on.
    void watchNewWindows();
    // The window's point (x, y) in screen coordinates.
    std::pair<int, int> onScreen(Window window, int x, int y) const;

    void moveTo(int x, int y);
    // Button 1 down or up; the request goes out at once.
    void button(bool down);
    void click();
    // Presses and releases the key of this keysym.
    void key(unsigned long keysym);
    // Sends the requests so far and waits until the server has handled them.
    void sync();

    // The next drawing or new window, waiting at most until the deadline.
    Seen next(Clock::time_point deadline);
    // Waits until `quiet` passes without drawing; returns the time of the last drawing, or
    // `since` when none came.
    Clock::time_point lastDrawing(Clock::time_point since, std::chrono::milliseconds quiet);
    // The area of the last drawing seen.
    XRectangle drawn{};

private:
    Display* display_ = nullptr;
    int damageEvent_ = 0;
};

// Milliseconds between two times.
double msBetween(XTiming::Clock::time_point from, XTiming::Clock::time_point to);
