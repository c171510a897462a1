#include "UdpSocket.h"

#include <stdexcept>

namespace pallixsim {

UdpSocket::UdpSocket(const std::string &address, uint16_t port) {
    const std::string where = address + ":" + std::to_string(port);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1) {
        throw std::runtime_error("'" + address + "' is not an IPv4 address");
    }
    fd_ = openUdpSocket();
    if (fd_ == InvalidSocket) throw std::runtime_error("cannot create a socket for " + where + ": " + socketError());
    if (bind(fd_, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        const std::string error = socketError();
        closeSocket(fd_);
        fd_ = InvalidSocket;
        throw std::runtime_error("cannot bind " + where + ": " + error);
    }
}

UdpSocket::UdpSocket(UdpSocket &&other) noexcept : fd_(other.fd_) { other.fd_ = InvalidSocket; }

UdpSocket::~UdpSocket() {
    if (fd_ != InvalidSocket) closeSocket(fd_);
}

std::ptrdiff_t UdpSocket::receive(std::span<uint8_t> buffer, sockaddr_in &sender) {
    socklen_t length = sizeof sender;
    return recvfrom(fd_, reinterpret_cast<char *>(buffer.data()), static_cast<int>(buffer.size()), 0,
                    reinterpret_cast<sockaddr *>(&sender), &length);
}

void UdpSocket::sendTo(std::span<const uint8_t> bytes, const sockaddr_in &to) {
    // A lost reply is what a real link does too; the PC retries.
    (void)sendto(fd_, reinterpret_cast<const char *>(bytes.data()), static_cast<int>(bytes.size()), 0,
                 reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

}  // namespace pallixsim
