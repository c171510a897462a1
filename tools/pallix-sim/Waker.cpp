#include "Waker.h"

#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pallixsim {

#ifdef _WIN32

Waker::Waker() {
    socket_ = openUdpSocket();
    address_.sin_family = AF_INET;
    address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address_;
    if (socket_ == InvalidSocket || bind(socket_, reinterpret_cast<const sockaddr *>(&address_), length) != 0 ||
        getsockname(socket_, reinterpret_cast<sockaddr *>(&address_), &length) != 0) {
        const std::string error = socketError();
        if (socket_ != InvalidSocket) closeSocket(socket_);
        throw std::runtime_error("cannot create the wake-up socket: " + error);
    }
}

Waker::~Waker() { closeSocket(socket_); }

pollfd Waker::pollEntry() const { return {socket_, POLLIN, 0}; }

// An unread datagram keeps waking the thread, which is about to end anyway.
void Waker::wake() {
    const char stop = 'q';
    sendto(socket_, &stop, 1, 0, reinterpret_cast<const sockaddr *>(&address_), sizeof address_);
}

#else

Waker::Waker() {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create the wake-up pipe");
}

Waker::~Waker() {
    close(pipe_[0]);
    close(pipe_[1]);
}

pollfd Waker::pollEntry() const { return {pipe_[0], POLLIN, 0}; }

void Waker::wake() {
    const char stop = 'q';
    // A full pipe wakes the thread as well, so a failed write changes nothing.
    [[maybe_unused]] const ssize_t woken = write(pipe_[1], &stop, 1);
}

#endif

}  // namespace pallixsim
