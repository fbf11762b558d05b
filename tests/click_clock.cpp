// Times the program's answers from outside, on a real X server:
//   kovalt_click_clock box X Y        clicks at X,Y (screen pixels) and prints the milliseconds
//                                     until a new window (a message box) is shown
//   kovalt_click_clock exit PID X Y   presses at X,Y, then times from the release to the end of
//                                     process PID (for a menu item that quits)
// For scripts/measure-sound.sh.
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testkit/x_timing.h"

int main(int argc, char** argv) {
    const bool box = argc == 4 && std::strcmp(argv[1], "box") == 0;
    const bool exit = argc == 5 && std::strcmp(argv[1], "exit") == 0;
    if (!box && !exit) {
        std::fprintf(stderr, "usage: %s box X Y | %s exit PID X Y\n", argv[0], argv[0]);
        return 2;
    }
    XTiming x;
    if (!x.connected()) {
        std::fprintf(stderr, "no X display with DAMAGE and XTEST\n");
        return 1;
    }
    x.moveTo(std::atoi(argv[argc - 2]), std::atoi(argv[argc - 1]));
    x.sync();
    if (box) {
        x.watchNewWindows();
        x.click();
        const auto start = XTiming::Clock::now();
        while (x.next(XTiming::Clock::time_point::max()) != XTiming::Seen::NewWindow) {
        }
        std::printf("%.1f\n", msBetween(start, XTiming::Clock::now()));
        return 0;
    }
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, std::atoi(argv[2]), 0));
    if (pidfd < 0) {
        std::perror("pidfd_open");
        return 1;
    }
    x.button(true);
    x.sync();
    usleep(300 * 1000);
    x.button(false);
    const auto start = XTiming::Clock::now();
    pollfd ended{pidfd, POLLIN, 0};
    if (poll(&ended, 1, 10000) != 1) {
        std::printf("timeout\n");
        return 1;
    }
    std::printf("%.1f\n", msBetween(start, XTiming::Clock::now()));
    return 0;
}
