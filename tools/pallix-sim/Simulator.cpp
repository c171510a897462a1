#include "Simulator.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include "CommandLanguage.h"
#include "Device.h"
#include "UdpSocket.h"

namespace pallixsim {
namespace {

constexpr uint16_t kDevicePort = 11000;
constexpr int kMaxDevices = 250;

uint32_t parseAddress(const std::string &text, const char *what) {
    in_addr address{};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1) {
        throw std::invalid_argument(std::string(what) + " '" + text + "' is not an IPv4 address");
    }
    return ntohl(address.s_addr);
}

std::string formatAddress(uint32_t host) {
    in_addr address{htonl(host)};
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

// Locally administered, one per device.
Device::Mac macFor(int device) {
    return {0x02, 0x50, 0x4C, 0x00, static_cast<uint8_t>(device >> 8), static_cast<uint8_t>(device & 0xFF)};
}

void checkFirmwareText(const std::string &firmware) {
    const bool printable = std::all_of(firmware.begin(), firmware.end(), [](char c) { return c > ' ' && c < 127; });
    if (firmware.empty() || firmware.size() > 55 || !printable || firmware.find(':') != std::string::npos) {
        throw std::invalid_argument("firmware version '" + firmware +
                                    "' must be 1 to 55 printable characters without ':' or blanks");
    }
}

std::vector<Device> makeDevices(const SimOptions &options) {
    if (options.devices < 1 || options.devices > kMaxDevices) {
        throw std::invalid_argument("devices must be 1 to " + std::to_string(kMaxDevices));
    }
    if (options.restartMs < 0) throw std::invalid_argument("restart time must not be negative");
    checkFirmwareText(options.firmware);
    const uint32_t broadcast = parseAddress(options.broadcast, "broadcast address");
    const uint32_t first = parseAddress(options.firstAddress, "first address");
    const auto count = static_cast<uint32_t>(options.devices);
    if (first > UINT32_MAX - count) {
        throw std::invalid_argument("first address '" + options.firstAddress + "' leaves no room for the devices");
    }
    if (broadcast >= first && broadcast - first < count) {
        throw std::invalid_argument("the devices' addresses run into the broadcast address " + options.broadcast);
    }
    std::vector<Device> devices;
    for (int k = 1; k <= options.devices; ++k) {
        devices.emplace_back(formatAddress(first + static_cast<uint32_t>(k - 1)), macFor(k), options.firmware,
                             std::chrono::milliseconds(options.restartMs));
    }
    return devices;
}

}  // namespace

struct Simulator::Impl {
    explicit Impl(SimOptions opts) : options(std::move(opts)), devices(makeDevices(options)), commands(devices) {}

    struct PendingReply {
        Clock::time_point due;
        size_t device;
        sockaddr_in to;
        std::vector<uint8_t> bytes;
    };

    void bindSockets();
    void serve();
    int pollTimeoutMs() const;
    void drain(UdpSocket &socket, std::optional<size_t> device);
    void deliver(size_t device, std::span<const uint8_t> datagram, const sockaddr_in &from);
    void sendDueReplies();

    // Runs `action` on one device under the lock.
    template <typename Action>
    auto withDevice(int number, Action action) {
        if (number < 1 || number > static_cast<int>(devices.size())) {
            throw std::out_of_range("no device " + std::to_string(number));
        }
        std::lock_guard lock(mutex);
        return action(devices[static_cast<size_t>(number - 1)]);
    }

    const SimOptions options;
    mutable std::mutex mutex;  // guards the devices and the command language
    std::vector<Device> devices;
    CommandLanguage commands;

    // Owned by the serving thread while it runs.
    std::vector<UdpSocket> deviceSockets;
    std::optional<UdpSocket> probeSocket;
    std::vector<PendingReply> pending;
    int wake[2] = {-1, -1};
    std::atomic<bool> running{false};
    std::thread server;
};

void Simulator::Impl::bindSockets() {
    std::vector<UdpSocket> sockets;
    for (const Device &d : devices) sockets.emplace_back(d.address(), kDevicePort);
    probeSocket.emplace(options.broadcast, kDevicePort);
    deviceSockets = std::move(sockets);
}

int Simulator::Impl::pollTimeoutMs() const {
    if (pending.empty()) return -1;
    const auto next = std::min_element(pending.begin(), pending.end(),
                                       [](const auto &a, const auto &b) { return a.due < b.due; })->due;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
    return static_cast<int>(std::max<long long>(wait, 0));
}

void Simulator::Impl::serve() {
    while (running) {
        std::vector<pollfd> fds;
        fds.push_back({wake[0], POLLIN, 0});
        for (const UdpSocket &s : deviceSockets) fds.push_back({s.fd(), POLLIN, 0});
        fds.push_back({probeSocket->fd(), POLLIN, 0});
        poll(fds.data(), fds.size(), pollTimeoutMs());
        if (!running) break;
        for (size_t i = 0; i < deviceSockets.size(); ++i) {
            if (fds[i + 1].revents & POLLIN) drain(deviceSockets[i], i);
        }
        if (fds.back().revents & POLLIN) drain(*probeSocket, std::nullopt);
        sendDueReplies();
    }
}

// A datagram on the probe socket reaches every device; only probes count there.
void Simulator::Impl::drain(UdpSocket &socket, std::optional<size_t> device) {
    uint8_t buffer[4096];
    sockaddr_in from{};
    for (ssize_t size; (size = socket.receive(buffer, from)) >= 0;) {
        const std::span<const uint8_t> datagram(buffer, static_cast<size_t>(size));
        if (device) {
            deliver(*device, datagram, from);
        } else if (isProbe(datagram)) {
            for (size_t d = 0; d < devices.size(); ++d) deliver(d, datagram, from);
        }
    }
}

void Simulator::Impl::deliver(size_t device, std::span<const uint8_t> datagram, const sockaddr_in &from) {
    const Clock::time_point now = Clock::now();
    Device::Answer answer;
    {
        std::lock_guard lock(mutex);
        answer = devices[device].receive(datagram, now);
    }
    if (options.verbose) {
        std::fprintf(stderr, "device %zu (%s): %s\n", device + 1, devices[device].address().c_str(),
                     answer.summary.c_str());
    }
    if (!answer.reply) return;
    if (answer.delay > Clock::duration::zero()) {
        pending.push_back({now + answer.delay, device, from, std::move(*answer.reply)});
    } else {
        deviceSockets[device].sendTo(*answer.reply, from);
    }
}

void Simulator::Impl::sendDueReplies() {
    const Clock::time_point now = Clock::now();
    // Replies go out in the order they fell due.
    std::stable_sort(pending.begin(), pending.end(), [](const auto &a, const auto &b) { return a.due < b.due; });
    auto firstLater = std::find_if(pending.begin(), pending.end(), [&](const auto &p) { return p.due > now; });
    for (auto it = pending.begin(); it != firstLater; ++it) deviceSockets[it->device].sendTo(it->bytes, it->to);
    pending.erase(pending.begin(), firstLater);
}

Simulator::Simulator(SimOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() { stop(); }

void Simulator::start() {
    if (impl_->running) return;
    impl_->bindSockets();
    if (pipe2(impl_->wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        impl_->deviceSockets.clear();
        impl_->probeSocket.reset();
        throw std::runtime_error("cannot create the simulator's wake-up pipe");
    }
    impl_->running = true;
    impl_->server = std::thread([this] { impl_->serve(); });
}

void Simulator::stop() {
    if (!impl_->running) return;
    impl_->running = false;
    const char stop = 'q';
    (void)write(impl_->wake[1], &stop, 1);
    impl_->server.join();
    for (int &fd : impl_->wake) {
        close(fd);
        fd = -1;
    }
    impl_->deviceSockets.clear();
    impl_->probeSocket.reset();
    impl_->pending.clear();
}

std::string Simulator::command(const std::string &line) {
    std::lock_guard lock(impl_->mutex);
    return impl_->commands.run(line, Clock::now());
}

bool Simulator::quitRequested() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->commands.quitRequested();
}

namespace {

void checkRegister(int reg) {
    if (!RegisterBank::valid(reg)) throw std::out_of_range("no register " + std::to_string(reg));
}

void checkOneOrTwo(int number, const char *what) {
    if (number < 1 || number > 2) throw std::out_of_range(std::string("no ") + what + " " + std::to_string(number));
}

}  // namespace

int Simulator::deviceCount() const { return static_cast<int>(impl_->devices.size()); }

std::string Simulator::address(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.address(); });
}

std::string Simulator::mac(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.macText(); });
}

int Simulator::reg(int device, int reg) const {
    checkRegister(reg);
    return impl_->withDevice(device, [&](Device &d) { return static_cast<int>(d.registers().value(reg)); });
}

void Simulator::setReg(int device, int reg, int value) {
    checkRegister(reg);
    impl_->withDevice(device, [&](Device &d) { d.registers().set(reg, static_cast<uint8_t>(value)); });
}

std::vector<Request> Simulator::requests(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.log().entries(); });
}

size_t Simulator::requestCount(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.log().count(); });
}

void Simulator::clearRequests() {
    for (int device = 1; device <= deviceCount(); ++device) {
        impl_->withDevice(device, [](Device &d) { d.log().clear(); });
    }
}

void Simulator::requestPowerAction(int device) {
    impl_->withDevice(device, [](Device &d) { d.registers().requestPowerAction(); });
}

void Simulator::losePower(int device) {
    impl_->withDevice(device, [](Device &d) { d.registers().losePower(); });
}

void Simulator::setInput(int device, int input, bool active) {
    checkOneOrTwo(input, "input");
    impl_->withDevice(device, [&](Device &d) { d.registers().setInput(input, active); });
}

void Simulator::stick(int device, int reg, int value) {
    checkRegister(reg);
    impl_->withDevice(device, [&](Device &d) { d.registers().faults().stick(reg, static_cast<uint8_t>(value)); });
}

void Simulator::misread(int device, int reg, int written, int readback) {
    checkRegister(reg);
    impl_->withDevice(device, [&](Device &d) {
        d.registers().faults().misread(reg, static_cast<uint8_t>(written), static_cast<uint8_t>(readback));
    });
}

void Simulator::stickOutput(int device, int output) {
    checkOneOrTwo(output, "output");
    impl_->withDevice(device, [&](Device &d) { d.registers().faults().stickOutput(output); });
}

void Simulator::clearFaults(int device) {
    impl_->withDevice(device, [](Device &d) { d.registers().faults().clear(); });
}

std::vector<uint8_t> Simulator::flash(int device, uint32_t address, uint32_t length) const {
    if (!Flash::inRange(address, length)) throw std::out_of_range("flash range outside the device");
    return impl_->withDevice(device, [&](Device &d) { return d.flash().read(address, length); });
}

bool Simulator::programMode(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.flash().programMode(); });
}

std::string Simulator::firmware(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.firmware(); });
}

int Simulator::flashRefusals(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.flashRefusals(); });
}

}  // namespace pallixsim
