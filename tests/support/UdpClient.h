// A raw UDP endpoint for tests that speak to a device byte by byte.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pallixtest {

struct Datagram {
    std::vector<uint8_t> bytes;
    std::string from;  // sender's dotted address
    uint16_t fromPort = 0;

    std::string text() const { return {bytes.begin(), bytes.end()}; }
};

class UdpClient {
public:
    // Port 0 picks a free one. Throws std::runtime_error when it cannot bind.
    explicit UdpClient(const std::string &localAddress = "127.0.0.1", uint16_t port = 0);
    ~UdpClient();
    UdpClient(const UdpClient &) = delete;
    UdpClient &operator=(const UdpClient &) = delete;

    void send(const std::string &address, uint16_t port, std::span<const uint8_t> bytes);
    std::optional<Datagram> receive(std::chrono::milliseconds timeout);
    // Every datagram that arrives until `quiet` passes without one.
    std::vector<Datagram> receiveAll(std::chrono::milliseconds quiet);

    // One request to a device's port 11000 and its reply, if one comes.
    std::optional<Datagram> exchange(const std::string &address, std::span<const uint8_t> request,
                                     std::chrono::milliseconds timeout = std::chrono::milliseconds(1000));

private:
    int fd_ = -1;
};

}  // namespace pallixtest
