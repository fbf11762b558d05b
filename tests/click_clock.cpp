// Times the program's answers from outside, on a real X server:
//   kovalt_click_clock box X Y        clicks at X,Y (screen pixels) and prints the milliseconds
//                                     until a new window (a message box) is shown
//   kovalt_click_clock exit PID X Y   presses at X,Y, then times from the release to the end of
//                                     process PID (for a menu item that quits)
// For scripts/measure-sound.sh.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

int usage(const char* self) {
    std::fprintf(stderr, "usage: %s box X Y | %s exit PID X Y\n", self, self);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const bool box = argc == 4 && std::strcmp(argv[1], "box") == 0;
    const bool exit = argc == 5 && std::strcmp(argv[1], "exit") == 0;
    if (!box && !exit) {
        return usage(argv[0]);
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const int x = std::atoi(argv[argc - 2]);
    const int y = std::atoi(argv[argc - 1]);
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XSync(display, False);
    if (box) {
        const Window root = DefaultRootWindow(display);
        XSelectInput(display, root, SubstructureNotifyMask);
        XSync(display, False);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        const auto start = std::chrono::steady_clock::now();
        for (;;) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) {
                std::printf("%.1f\n", msSince(start));
                break;
            }
        }
    } else {
        const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, std::atoi(argv[2]), 0));
        if (pidfd < 0) {
            std::perror("pidfd_open");
            return 1;
        }
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XSync(display, False);
        usleep(300 * 1000);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        const auto start = std::chrono::steady_clock::now();
        pollfd ended{pidfd, POLLIN, 0};
        if (poll(&ended, 1, 10000) != 1) {
            std::printf("timeout\n");
            return 1;
        }
        std::printf("%.1f\n", msSince(start));
    }
    XCloseDisplay(display);
    return 0;
}
