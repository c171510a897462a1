#include "Simulator.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <stdexcept>

#include "CommandLanguage.h"
#include "Device.h"
#include "Server.h"
#include "SocketApi.h"

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
    in_addr address{};
    address.s_addr = htonl(host);
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

}  // namespace

void checkOptions(const SimOptions &options) {
    if (options.devices < 1 || options.devices > kMaxDevices) {
        throw std::invalid_argument("devices must be 1 to " + std::to_string(kMaxDevices));
    }
    if (options.restartMs < 0) throw std::invalid_argument("restart time must not be negative");
    if (options.replyPort < 0 || options.replyPort > 65535 || options.replyPort == kDevicePort) {
        throw std::invalid_argument("reply port must be 1 to 65535 but not " + std::to_string(kDevicePort) +
                                    ", or 0 to reply from that port");
    }
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
}

namespace {

std::vector<Device> makeDevices(const SimOptions &options) {
    checkOptions(options);
    const uint32_t first = parseAddress(options.firstAddress, "first address");
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

    // Runs on the serving thread.
    Device::Answer receive(size_t device, std::span<const uint8_t> datagram) {
        Device::Answer answer;
        {
            std::lock_guard lock(mutex);
            answer = devices[device].receive(datagram, Clock::now());
        }
        if (options.verbose) {
            std::fprintf(stderr, "device %zu (%s): %s\n", device + 1, devices[device].address().c_str(),
                         answer.summary.c_str());
        }
        return answer;
    }

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
    std::mutex mutex;  // guards the devices and the command language
    std::vector<Device> devices;
    CommandLanguage commands;
    std::unique_ptr<Server> server;  // present while started
};

Simulator::Simulator(SimOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() { stop(); }

void Simulator::start() {
    if (impl_->server) return;
    std::vector<std::string> addresses;
    for (const Device &d : impl_->devices) addresses.push_back(d.address());
    const auto replyPort = static_cast<uint16_t>(impl_->options.replyPort);
    impl_->server = std::make_unique<Server>(addresses, impl_->options.broadcast, kDevicePort, replyPort,
                                             [this](size_t device, std::span<const uint8_t> datagram) {
                                                 return impl_->receive(device, datagram);
                                             });
}

void Simulator::stop() { impl_->server.reset(); }

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

bool Simulator::recovery(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.recovery(); });
}

int Simulator::flashRefusals(int device) const {
    return impl_->withDevice(device, [](Device &d) { return d.flashRefusals(); });
}

}  // namespace pallixsim
