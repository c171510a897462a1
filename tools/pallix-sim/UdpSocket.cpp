#include "UdpSocket.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw std::runtime_error("cannot create a socket for " + where + ": " + std::strerror(errno));
    if (bind(fd_, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        const int error = errno;
        close(fd_);
        fd_ = -1;
        throw std::runtime_error("cannot bind " + where + ": " + std::strerror(error));
    }
}

UdpSocket::UdpSocket(UdpSocket &&other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

UdpSocket::~UdpSocket() {
    if (fd_ >= 0) close(fd_);
}

ssize_t UdpSocket::receive(std::span<uint8_t> buffer, sockaddr_in &sender) {
    socklen_t length = sizeof sender;
    return recvfrom(fd_, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&sender), &length);
}

void UdpSocket::sendTo(std::span<const uint8_t> bytes, const sockaddr_in &to) {
    // A lost reply is what a real link does too; the PC retries.
    (void)sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
}

}  // namespace pallixsim
