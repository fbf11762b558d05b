// Launch to first drawing, seen from outside the program: an X client that watches the whole
// screen with the DAMAGE extension, starts the program, and reports the time from the launch
// to the first drawing the X server makes for it. Then it ends the program (SIGTERM).
//
// Usage: kovalt_first_drawing [--timeout SECONDS] program [arguments...]
// Prints "<milliseconds> <width>x<height>+<x>+<y>" (the first damaged area) and exits 0;
// exits 1 if nothing was drawn in time or the program ended first. Run it on a display where
// nothing else draws (a private Xvfb): any drawing on the screen counts.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testkit/x_timing.h"

extern char** environ;

int main(int argc, char** argv) {
    double timeoutMs = 30000;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--timeout") == 0) {
        timeoutMs = std::atof(argv[2]) * 1000;
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: kovalt_first_drawing [--timeout SECONDS] program [args...]\n");
        return 2;
    }
    XTiming x;
    if (!x.connected()) {
        std::fprintf(stderr, "kovalt_first_drawing: no X server with DAMAGE and XTEST\n");
        return 1;
    }
    // Damage on the root window reports drawing in every window on the screen.
    x.watchDrawing(x.root());

    pid_t child = 0;
    const auto launched = XTiming::Clock::now();
    if (posix_spawnp(&child, argv[first], nullptr, nullptr, argv + first, environ) != 0) {
        std::fprintf(stderr, "kovalt_first_drawing: cannot start %s\n", argv[first]);
        return 1;
    }
    const auto end = launched + std::chrono::milliseconds(static_cast<long long>(timeoutMs));
    int result = 1;
    for (;;) {
        // Every 50 ms a look whether the program is still there.
        const auto now = XTiming::Clock::now();
        if (x.next(std::min(end, now + std::chrono::milliseconds(50))) == XTiming::Seen::Drawing) {
            std::printf("%.1f %dx%d+%d+%d\n", msBetween(launched, XTiming::Clock::now()),
                        x.drawn.width, x.drawn.height, x.drawn.x, x.drawn.y);
            result = 0;
            break;
        }
        if (XTiming::Clock::now() >= end) {
            std::fprintf(stderr, "kovalt_first_drawing: nothing was drawn in time\n");
            break;
        }
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "kovalt_first_drawing: the program ended before drawing\n");
            child = 0;
            break;
        }
    }
    if (child != 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    return result;
}
