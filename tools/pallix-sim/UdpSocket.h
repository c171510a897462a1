// A bound IPv4 UDP socket that closes itself.
#pragma once

#include "SocketApi.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pallixsim {

class UdpSocket {
public:
    // Throws std::runtime_error naming the address when it cannot be bound.
    UdpSocket(const std::string &address, uint16_t port);
    ~UdpSocket();
    UdpSocket(UdpSocket &&other) noexcept;
    UdpSocket &operator=(UdpSocket &&) = delete;
    UdpSocket(const UdpSocket &) = delete;
    UdpSocket &operator=(const UdpSocket &) = delete;

    NativeSocket fd() const { return fd_; }

    // Reads one waiting datagram; returns its size, or -1 when none waits.
    std::ptrdiff_t receive(std::span<uint8_t> buffer, sockaddr_in &sender);
    void sendTo(std::span<const uint8_t> bytes, const sockaddr_in &to);

private:
    NativeSocket fd_ = InvalidSocket;
};

}  // namespace pallixsim
