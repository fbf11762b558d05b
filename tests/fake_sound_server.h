#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// A sound server that is broken on purpose, listening on a Unix socket where the sound
// library looks for its server ($XDG_RUNTIME_DIR/pulse/native): it accepts and never answers,
// answers with garbage, or hangs up at once. For tests of a program that must not care.
class FakeSoundServer {
public:
    enum class Mode { Silent, Garbage, Closing };

    // Listens on `socketPath` (its folder is created); throws std::runtime_error when it
    // cannot.
    FakeSoundServer(Mode mode, const std::string& socketPath);
    // Stops listening, closes every connection and removes the socket.
    ~FakeSoundServer();
    FakeSoundServer(const FakeSoundServer&) = delete;
    FakeSoundServer& operator=(const FakeSoundServer&) = delete;

    // Connections accepted so far.
    int connections() const { return accepted_.load(); }

    static Mode parseMode(const std::string& name); // "silent", "garbage" or "closing"

private:
    void serve();

    Mode mode_;
    std::string path_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};
    std::atomic<int> accepted_{0};
    std::vector<int> open_;
    std::thread thread_;
};
