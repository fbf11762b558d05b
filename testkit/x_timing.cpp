#include "testkit/x_timing.h"

#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>

#include <algorithm>

XTiming::XTiming() {
    display_ = XOpenDisplay(nullptr);
    int error = 0, major = 0, minor = 0;
    if (display_ != nullptr && (!XDamageQueryExtension(display_, &damageEvent_, &error) ||
                                !XTestQueryExtension(display_, &error, &error, &major, &minor))) {
        XCloseDisplay(display_);
        display_ = nullptr;
    }
}

XTiming::~XTiming() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

Window XTiming::root() const {
    return DefaultRootWindow(display_);
}

void XTiming::watchDrawing(Window window) {
    const Damage damage = XDamageCreate(display_, window, XDamageReportRawRectangles);
    // Drawing from before this is not the watched program's.
    sync();
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
    }
    XDamageSubtract(display_, damage, None, None);
    XFlush(display_);
}

void XTiming::watchNewWindows() {
    XSelectInput(display_, root(), SubstructureNotifyMask);
    sync();
}

std::pair<int, int> XTiming::onScreen(Window window, int x, int y) const {
    Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display_, window, root(), x, y, &rootX, &rootY, &child);
    return {rootX, rootY};
}

void XTiming::moveTo(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
}

void XTiming::button(bool down) {
    XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
    XFlush(display_);
}

void XTiming::click() {
    button(true);
    button(false);
}

void XTiming::key(unsigned long keysym) {
    const KeyCode code = XKeysymToKeycode(display_, keysym);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
}

void XTiming::sync() {
    XSync(display_, False);
}

XTiming::Seen XTiming::next(Clock::time_point deadline) {
    XFlush(display_);
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == damageEvent_ + XDamageNotify) {
                drawn = reinterpret_cast<XDamageNotifyEvent&>(event).area;
                return Seen::Drawing;
            }
            if (event.type == MapNotify) {
                return Seen::NewWindow;
            }
        }
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return Seen::Nothing;
        }
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        // A second at a time, so that a far deadline cannot overflow the wait.
        poll(&fd, 1, static_cast<int>(std::min<long long>(left, 1000)));
    }
}

XTiming::Clock::time_point XTiming::lastDrawing(Clock::time_point since,
                                                std::chrono::milliseconds quiet) {
    Clock::time_point last = since;
    for (;;) {
        const Seen seen = next(last + quiet);
        if (seen == Seen::Nothing) {
            return last;
        }
        if (seen == Seen::Drawing) {
            last = Clock::now();
        }
    }
}

double msBetween(XTiming::Clock::time_point from, XTiming::Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}
