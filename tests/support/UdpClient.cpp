#include "UdpClient.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace pallixtest {
namespace {

sockaddr_in endpoint(const std::string &address, uint16_t port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) {
        throw std::runtime_error("not an IPv4 address: " + address);
    }
    return to;
}

}  // namespace

UdpClient::UdpClient(const std::string &localAddress, uint16_t port) {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    const sockaddr_in local = endpoint(localAddress, port);
    if (bind(fd_, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        const int error = errno;
        close(fd_);
        throw std::runtime_error("cannot bind " + localAddress + ":" + std::to_string(port) + ": " +
                                 std::strerror(error));
    }
}

UdpClient::~UdpClient() { close(fd_); }

void UdpClient::send(const std::string &address, uint16_t port, std::span<const uint8_t> bytes) {
    const sockaddr_in to = endpoint(address, port);
    if (sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to) < 0) {
        throw std::runtime_error(std::string("sendto: ") + std::strerror(errno));
    }
}

std::optional<Datagram> UdpClient::receive(std::chrono::milliseconds timeout) {
    pollfd waiting{fd_, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(timeout.count())) <= 0) return std::nullopt;
    uint8_t buffer[2048];
    sockaddr_in from{};
    socklen_t length = sizeof from;
    const ssize_t size = recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&from), &length);
    if (size < 0) return std::nullopt;
    char address[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &from.sin_addr, address, sizeof address);
    return Datagram{{buffer, buffer + size}, address, ntohs(from.sin_port)};
}

std::vector<Datagram> UdpClient::receiveAll(std::chrono::milliseconds quiet) {
    std::vector<Datagram> all;
    while (auto datagram = receive(quiet)) all.push_back(std::move(*datagram));
    return all;
}

std::optional<Datagram> UdpClient::exchange(const std::string &address, std::span<const uint8_t> request,
                                            std::chrono::milliseconds timeout) {
    send(address, 11000, request);
    return receive(timeout);
}

}  // namespace pallixtest
