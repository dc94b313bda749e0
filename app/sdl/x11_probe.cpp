#include "app/sdl/x11_probe.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace app {
namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for the socket to become ready for `events`; false at the deadline.
bool Ready(int fd, short events, Clock::time_point deadline) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int n = poll(&p, 1, MsLeft(deadline));
        if (n > 0) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

// A non-blocking connection, or -1 where nothing accepts it before the deadline.
int Connect(const sockaddr* address, socklen_t size, int family, Clock::time_point deadline) {
    const int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, address, size) == 0) return fd;
    int error = errno;
    if (error == EINPROGRESS && Ready(fd, POLLOUT, deadline)) {
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0) return fd;
    }
    close(fd);
    return -1;
}

int ConnectLocal(int number, Clock::time_point deadline) {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    // Xlib tries the abstract name first, then the file.
    for (const bool abstract : {true, false}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::size_t offset = abstract ? 1 : 0;
        if (path.size() + offset >= sizeof address.sun_path) return -1;
        std::memcpy(address.sun_path + offset, path.data(), path.size());
        const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
        const int fd = Connect(reinterpret_cast<const sockaddr*>(&address), size, AF_UNIX, deadline);
        if (fd >= 0) return fd;
    }
    return -1;
}

int ConnectTcp(const std::string& host, int number, Clock::time_point deadline) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(6000 + number).c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (const addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) fd = Connect(a->ai_addr, a->ai_addrlen, a->ai_family, deadline);
    freeaddrinfo(found);
    return fd;
}

}  // namespace

X11Answer ProbeX11Display(const std::string& display, int timeoutMs) {
    // [host]:number[.screen]
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) return X11Answer::Unreachable;
    const std::string host = display.substr(0, colon);
    char* end = nullptr;
    const long number = std::strtol(display.c_str() + colon + 1, &end, 10);
    if (end == display.c_str() + colon + 1 || number < 0 || number > 65535 - 6000) return X11Answer::Unreachable;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const int fd = host.empty() || host == "unix" ? ConnectLocal(static_cast<int>(number), deadline)
                                                  : ConnectTcp(host, static_cast<int>(number), deadline);
    if (fd < 0) return X11Answer::Unreachable;
    // The connection setup, little-endian, protocol 11.0, no authorisation.
    const unsigned char setup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    X11Answer answer = X11Answer::Silent;
    if (send(fd, setup, sizeof setup, MSG_NOSIGNAL) == static_cast<ssize_t>(sizeof setup) && Ready(fd, POLLIN, deadline)) {
        unsigned char reply = 0;
        if (recv(fd, &reply, 1, 0) == 1) answer = X11Answer::Answered;
    }
    close(fd);
    return answer;
}

}  // namespace app
