// A broken sound server for trying the program by hand or from scripts:
//   kovalt_fake_sound_server silent|garbage|closing [socket-path]
// The socket defaults to $XDG_RUNTIME_DIR/pulse/native. Runs until killed.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include <unistd.h>

#include "fake_sound_server.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s silent|garbage|closing [socket-path]\n", argv[0]);
        return 2;
    }
    std::string path;
    if (argc > 2) {
        path = argv[2];
    } else if (const char* runtime = std::getenv("XDG_RUNTIME_DIR")) {
        path = std::string(runtime) + "/pulse/native";
    } else {
        std::fprintf(stderr, "XDG_RUNTIME_DIR is not set\n");
        return 2;
    }
    // Blocked before the server's thread starts, so that only sigwait sees them and the
    // socket is removed on the way out.
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    try {
        FakeSoundServer server(FakeSoundServer::parseMode(argv[1]), path);
        std::printf("listening on %s\n", path.c_str());
        std::fflush(stdout);
        int signal = 0;
        sigwait(&stop, &signal);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
