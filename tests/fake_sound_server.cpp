#include "fake_sound_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

FakeSoundServer::FakeSoundServer(Mode mode, const std::string& socketPath)
    : mode_(mode), path_(socketPath) {
    const auto slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        ::mkdir(path_.substr(0, slash).c_str(), 0700);
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path_.size() >= sizeof(address.sun_path)) {
        throw std::runtime_error("socket path too long: " + path_);
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    ::unlink(path_.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0 || ::pipe2(wake_, O_CLOEXEC) != 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0) {
        const std::string why = std::strerror(errno);
        if (listener_ >= 0) {
            ::close(listener_);
        }
        throw std::runtime_error("cannot listen on " + path_ + ": " + why);
    }
    thread_ = std::thread([this] { serve(); });
}

FakeSoundServer::~FakeSoundServer() {
    const char byte = 0;
    [[maybe_unused]] const auto written = ::write(wake_[1], &byte, 1);
    thread_.join();
    for (int fd : open_) {
        ::close(fd);
    }
    ::close(listener_);
    ::close(wake_[0]);
    ::close(wake_[1]);
    ::unlink(path_.c_str());
}

FakeSoundServer::Mode FakeSoundServer::parseMode(const std::string& name) {
    if (name == "silent") {
        return Mode::Silent;
    }
    if (name == "garbage") {
        return Mode::Garbage;
    }
    if (name == "closing") {
        return Mode::Closing;
    }
    throw std::runtime_error("unknown mode " + name);
}

void FakeSoundServer::serve() {
    for (;;) {
        pollfd fds[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            continue;
        }
        accepted_.fetch_add(1);
        switch (mode_) {
        case Mode::Closing:
            ::close(client);
            break;
        case Mode::Garbage: {
            // Bytes that look like nothing the client expects, endless lengths included.
            unsigned char junk[4096];
            for (std::size_t i = 0; i < sizeof junk; ++i) {
                junk[i] = static_cast<unsigned char>(i * 167 + 13);
            }
            std::memset(junk, 0xff, 20);
            [[maybe_unused]] const auto sent = ::send(client, junk, sizeof junk, MSG_NOSIGNAL);
            open_.push_back(client);
            break;
        }
        case Mode::Silent:
            open_.push_back(client);
            break;
        }
    }
}
