// Serves the devices' sockets on a thread of its own: hands each datagram to
// its device and sends the answer from that device's socket, a late answer
// once it falls due. Probes on the broadcast socket reach every device.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "Device.h"
#include "UdpSocket.h"
#include "Waker.h"

namespace pallixsim {

class Server {
public:
    using Handler = std::function<Device::Answer(size_t device, std::span<const uint8_t> datagram)>;

    // Binds every socket before it returns; throws std::runtime_error
    // naming the address that could not be bound. With a reply port, each
    // device answers from a second socket bound to that port.
    Server(const std::vector<std::string> &deviceAddresses, const std::string &broadcast, uint16_t port,
           uint16_t replyPort, Handler handler);
    ~Server();
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

private:
    struct PendingReply {
        Clock::time_point due;
        size_t device;
        sockaddr_in to;
        std::vector<uint8_t> bytes;
    };

    void serve();
    int pollTimeoutMs() const;
    void drain(UdpSocket &socket, std::optional<size_t> device);
    void deliver(size_t device, std::span<const uint8_t> datagram, const sockaddr_in &from);
    void sendDueReplies();
    UdpSocket &replySocket(size_t device);

    Handler handler_;
    std::vector<UdpSocket> deviceSockets_;
    std::vector<UdpSocket> replySockets_;  // empty without a reply port
    std::optional<UdpSocket> probeSocket_;
    std::vector<PendingReply> pending_;
    Waker waker_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

}  // namespace pallixsim
