// One simulated Pallix: identity, registers, flash and link, and how it
// answers a datagram.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Flash.h"
#include "LinkConditions.h"
#include "Protocol.h"
#include "RegisterBank.h"
#include "RequestLog.h"

namespace pallixsim {

class Device {
public:
    using Mac = std::array<uint8_t, 6>;

    Device(std::string address, Mac mac, std::string firmware, Clock::duration restartTime);

    struct Answer {
        std::optional<std::vector<uint8_t>> reply;  // nothing when it stays silent
        Clock::duration delay{};
        std::string summary;  // one line for --verbose
    };
    Answer receive(std::span<const uint8_t> datagram, Clock::time_point now);

    // A device whose flash holds no complete firmware runs only its boot
    // code: it announces itself with this version and answers no register
    // request until an update runs to the end.
    static constexpr const char *kRecoveryFirmware = "00.00";

    const std::string &address() const { return address_; }
    std::string macText() const;
    // The version it announces: its image's, or kRecoveryFirmware.
    std::string firmware() const { return recovery_ ? kRecoveryFirmware : firmware_; }
    bool recovery() const { return recovery_; }
    std::string discoveryReply() const;
    int flashRefusals() const { return flashRefusals_; }

    // Asks for the PC's power action once it has answered that many more
    // requests: an event that lands at a chosen point of the PC's traffic.
    void requestPowerActionAfter(int requests) { powerRequestAfter_ = requests; }

    RegisterBank &registers() { return registers_; }
    const RegisterBank &registers() const { return registers_; }
    Flash &flash() { return flash_; }
    const Flash &flash() const { return flash_; }
    LinkConditions &link() { return link_; }
    RequestLog &log() { return log_; }
    const RequestLog &log() const { return log_; }

private:
    struct Outcome {
        std::vector<uint8_t> reply;
        std::string summary;
    };
    std::optional<std::string> ignored(const Frame *frame, Clock::time_point now);
    Outcome carryOut(const Frame &frame, Clock::time_point now);
    Outcome readMemory(const Frame &frame);
    Outcome writeMemory(const Frame &frame);
    Outcome programControl(const Frame &frame, Clock::time_point now);
    Outcome writeFlashBlock(const Frame &frame);
    ReplyCode countRefusal(ReplyCode code);
    void adoptFlashedIdentity();

    std::string address_;
    Mac mac_;
    std::string firmware_;
    Clock::duration restartTime_;
    RegisterBank registers_;
    Flash flash_;
    LinkConditions link_;
    RequestLog log_;
    int flashRefusals_ = 0;
    bool recovery_ = false;
    std::optional<int> powerRequestAfter_;
};

}  // namespace pallixsim
