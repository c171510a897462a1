// A scripted UDP peer on loopback: it records every datagram it receives and
// answers with whatever its handler returns (nothing for std::nullopt).
#pragma once

#include <netinet/in.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using Bytes = std::vector<uint8_t>;

class FakeDevice {
public:
    // index counts the requests received so far, from 0.
    using Handler = std::function<std::optional<Bytes>(const Bytes &request, size_t index)>;

    FakeDevice(const std::string &address, uint16_t port, Handler handler);
    ~FakeDevice();
    FakeDevice(const FakeDevice &) = delete;
    FakeDevice &operator=(const FakeDevice &) = delete;

    std::vector<Bytes> requests() const;
    size_t requestCount() const;

    // One datagram from this peer's socket to an address and port.
    void sendTo(const std::string &address, uint16_t port, const Bytes &datagram);

private:
    void serve();

    int socket_ = -1;
    Handler handler_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<Bytes> requests_;
    std::thread thread_;
};

// The 17 one-byte registers of a device: reads answer with the value at
// offset 5, writes store their data byte.
class RegisterBank {
public:
    int get(int reg) const { return values_.at(reg).load(); }
    void set(int reg, int value) { values_.at(reg).store(value); }
    FakeDevice::Handler handler();

private:
    std::array<std::atomic<int>, 17> values_{};
};

Bytes textBytes(const std::string &text);
// The text of a system string, which it frees.
std::string takeText(char *systemString);
