// Press to screen, measured from outside the program: presses a point of a window through
// the XTEST extension and watches the X server's damage reports on that window. The time is
// from the press to the last damage of the burst it caused (the burst ends with 150 ms of
// quiet). Before each press it can send the key R and wait for quiet, for programs that set
// up their next round on it.
//
//   press_to_screen WINDOW-ID X Y ROUNDS [r]
//
// prints the median and quartiles in microseconds, and every round's time on stderr.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

#include <sys/select.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

Display* display = nullptr;
int damageEvent = 0;

// Waits for damage until `quiet` passes without any; returns the time of the last one, or
// `since` when none came.
Clock::time_point lastDamage(Clock::time_point since, std::chrono::milliseconds quiet) {
    Clock::time_point last = since;
    bool any = false;
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == damageEvent + XDamageNotify) {
                last = Clock::now();
                any = true;
            }
        }
        const auto deadline = (any ? last : since) + quiet;
        const auto now = Clock::now();
        if (now >= deadline) {
            return last;
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - now);
        timeval timeout{static_cast<time_t>(left.count() / 1000000),
                        static_cast<suseconds_t>(left.count() % 1000000)};
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &timeout);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WINDOW-ID X Y ROUNDS [r]\n", argv[0]);
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]), rounds = std::atoi(argv[4]);
    const bool reset = argc > 5;
    display = XOpenDisplay(nullptr);
    int error = 0, major = 0, minor = 0;
    if (display == nullptr || !XDamageQueryExtension(display, &damageEvent, &error) ||
        !XTestQueryExtension(display, &error, &error, &major, &minor)) {
        std::fprintf(stderr, "press_to_screen: no X display with DAMAGE and XTEST\n");
        return 1;
    }
    XDamageCreate(display, window, XDamageReportRawRectangles);
    Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY,
                          &child);
    const auto quiet = std::chrono::milliseconds(150);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
        if (reset) {
            const KeyCode r = XKeysymToKeycode(display, XK_r);
            XTestFakeKeyEvent(display, r, True, CurrentTime);
            XTestFakeKeyEvent(display, r, False, CurrentTime);
        }
        XFlush(display);
        lastDamage(Clock::now(), std::chrono::milliseconds(300));
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        const auto pressed = Clock::now();
        const auto shown = lastDamage(pressed, quiet);
        const double us = std::chrono::duration<double, std::micro>(shown - pressed).count();
        std::fprintf(stderr, "%.0f\n", us);
        if (shown > pressed) {
            times.push_back(us);
        }
    }
    if (times.empty()) {
        std::fprintf(stderr, "press_to_screen: the window never changed\n");
        return 1;
    }
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) {
        return times[static_cast<std::size_t>(q * (times.size() - 1))];
    };
    std::printf("median %.0f us  quartiles %.0f .. %.0f us  (%zu of %d rounds)\n", at(0.5),
                at(0.25), at(0.75), times.size(), rounds);
    XCloseDisplay(display);
    return 0;
}
