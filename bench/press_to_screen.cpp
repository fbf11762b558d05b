// Press to screen, measured from outside the program: presses a point of a window through
// the XTEST extension and watches the X server's damage reports on that window. The time is
// from the press to the last damage of the burst it caused (the burst ends with 150 ms of
// quiet). Before each press it can send the key R and wait for quiet, for programs that set
// up their next round on it.
//
//   press_to_screen WINDOW-ID X Y ROUNDS [r]
//
// prints the median and quartiles in microseconds, and every round's time on stderr.
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "testkit/x_timing.h"

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WINDOW-ID X Y ROUNDS [r]\n", argv[0]);
        return 2;
    }
    const Window window = std::strtoul(argv[1], nullptr, 0);
    const int rounds = std::atoi(argv[4]);
    const bool reset = argc > 5;
    XTiming x;
    if (!x.connected()) {
        std::fprintf(stderr, "press_to_screen: no X display with DAMAGE and XTEST\n");
        return 1;
    }
    x.watchDrawing(window);
    const auto [rootX, rootY] = x.onScreen(window, std::atoi(argv[2]), std::atoi(argv[3]));
    const auto quiet = std::chrono::milliseconds(150);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        x.moveTo(rootX, rootY);
        if (reset) {
            x.key(XK_r);
        }
        x.lastDrawing(XTiming::Clock::now(), std::chrono::milliseconds(300));
        x.click();
        const auto pressed = XTiming::Clock::now();
        const auto shown = x.lastDrawing(pressed, quiet);
        const double us = msBetween(pressed, shown) * 1000;
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
    return 0;
}
