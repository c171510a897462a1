#include "FakeDevice.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "NerrinAPI.h"

namespace {

sockaddr_in endpoint(const std::string &address, uint16_t port) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    at.sin_addr.s_addr = inet_addr(address.c_str());
    return at;
}

}  // namespace

FakeDevice::FakeDevice(const std::string &address, uint16_t port, Handler handler)
    : handler_(std::move(handler)) {
    socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    const sockaddr_in at = endpoint(address, port);
    if (socket_ < 0 || ::bind(socket_, reinterpret_cast<const sockaddr *>(&at), sizeof at) != 0) {
        if (socket_ >= 0) ::close(socket_);
        throw std::runtime_error("fake device cannot bind " + address);
    }
    thread_ = std::thread([this] { serve(); });
}

FakeDevice::~FakeDevice() {
    stopping_ = true;
    thread_.join();
    ::close(socket_);
}

void FakeDevice::serve() {
    while (!stopping_) {
        pollfd ready{socket_, POLLIN, 0};
        if (::poll(&ready, 1, 20) <= 0) continue;
        uint8_t buffer[2048];
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n = ::recvfrom(socket_, buffer, sizeof buffer, 0,
                                     reinterpret_cast<sockaddr *>(&from), &fromLength);
        if (n < 0) continue;
        const Bytes request(buffer, buffer + n);
        size_t index;
        {
            std::lock_guard lock(mutex_);
            index = requests_.size();
            requests_.push_back(request);
        }
        if (const auto reply = handler_(request, index)) {
            ::sendto(socket_, reply->data(), reply->size(), 0,
                     reinterpret_cast<const sockaddr *>(&from), sizeof from);
        }
    }
}

std::vector<Bytes> FakeDevice::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

size_t FakeDevice::requestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

void FakeDevice::sendTo(const std::string &address, uint16_t port, const Bytes &datagram) {
    const sockaddr_in to = endpoint(address, port);
    ::sendto(socket_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr *>(&to),
             sizeof to);
}

FakeDevice::Handler RegisterBank::handler() {
    return [this](const Bytes &request, size_t) -> std::optional<Bytes> {
        if (request.size() < 7) return std::nullopt;
        const int reg = request[4] << 8 | request[5];
        if (reg >= static_cast<int>(values_.size())) return std::nullopt;
        if (request[1] == 0x04) set(reg, request[6]);
        return Bytes{0xA5, request[1], 0x00, 0x01, 0x00, static_cast<uint8_t>(get(reg)),
                     0x00, 0x00};
    };
}

Bytes textBytes(const std::string &text) { return Bytes(text.begin(), text.end()); }

std::string takeText(char *systemString) {
    std::string text(systemString, SysStringByteLen(systemString));
    SysFreeString(systemString);
    return text;
}
