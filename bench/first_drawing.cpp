// Launch to first drawing, seen from outside the program: an X client that watches the whole
// screen with the DAMAGE extension, starts the program, and reports the time from the launch
// to the first drawing the X server makes for it. Then it ends the program (SIGTERM).
//
// Usage: kovalt_first_drawing [--timeout SECONDS] program [arguments...]
// Prints "<milliseconds> <width>x<height>+<x>+<y>" (the first damaged area) and exits 0;
// exits 1 if nothing was drawn in time or the program ended first. Run it on a display where
// nothing else draws (a private Xvfb): any drawing on the screen counts.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

extern char** environ;

namespace {

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int usage() {
    std::fprintf(stderr, "usage: kovalt_first_drawing [--timeout SECONDS] program [args...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    double timeoutMs = 30000;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--timeout") == 0) {
        timeoutMs = std::atof(argv[2]) * 1000;
        first = 3;
    }
    if (first >= argc) {
        return usage();
    }

    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "kovalt_first_drawing: cannot connect to the X server\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) {
        xcb_screen_next(&screens);
    }
    const xcb_window_t root = screens.data->root;

    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "kovalt_first_drawing: the X server has no DAMAGE extension\n");
        return 1;
    }
    std::free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    // Damage on the root window reports drawing in every window on the screen.
    const xcb_damage_damage_t watch = xcb_generate_id(c);
    xcb_damage_create(c, watch, root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    // Round trip: the watch is in place before the program starts.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    // Drawing from before the launch is not the program's.
    while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
        std::free(e);
    }
    xcb_damage_subtract(c, watch, XCB_NONE, XCB_NONE);
    xcb_flush(c);

    pid_t child = 0;
    const double launched = nowMs();
    if (posix_spawnp(&child, argv[first], nullptr, nullptr, argv + first, environ) != 0) {
        std::fprintf(stderr, "kovalt_first_drawing: cannot start %s\n", argv[first]);
        return 1;
    }

    int result = 1;
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (result != 0) {
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (!e) {
            const double left = launched + timeoutMs - nowMs();
            int status = 0;
            if (left <= 0 || xcb_connection_has_error(c)) {
                std::fprintf(stderr, "kovalt_first_drawing: nothing was drawn in time\n");
                break;
            }
            if (waitpid(child, &status, WNOHANG) == child) {
                std::fprintf(stderr, "kovalt_first_drawing: the program ended before drawing\n");
                child = 0;
                break;
            }
            poll(&fd, 1, left < 50 ? static_cast<int>(left) + 1 : 50);
            continue;
        }
        if ((e->response_type & 0x7f) == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const double drawn = nowMs();
            const auto* n = reinterpret_cast<xcb_damage_notify_event_t*>(e);
            std::printf("%.1f %dx%d+%d+%d\n", drawn - launched, n->area.width, n->area.height,
                        n->area.x, n->area.y);
            result = 0;
        }
        std::free(e);
    }
    if (child != 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    xcb_disconnect(c);
    return result;
}
