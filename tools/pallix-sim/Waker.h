// Wakes a thread that waits in waitForSockets: a pipe on POSIX, a loopback
// datagram on Windows, where only sockets can be polled.
#pragma once

#include "SocketApi.h"

#include <optional>

namespace pallixsim {

class Waker {
public:
    Waker();   // throws std::runtime_error when it cannot be made
    ~Waker();
    Waker(const Waker &) = delete;
    Waker &operator=(const Waker &) = delete;

    // What the waiting thread polls beside its sockets.
    pollfd pollEntry() const;
    void wake();

private:
#ifdef _WIN32
    NativeSocket socket_ = InvalidSocket;
    sockaddr_in address_{};
#else
    int pipe_[2] = {-1, -1};
#endif
};

}  // namespace pallixsim
