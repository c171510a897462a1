// The 17 one-byte registers of one device and what each does with a write.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "DeviceRegisters.h"
#include "RegisterFaults.h"

namespace pallixsim {

using namespace registers;

// Configuration a device starts with and returns to after a power loss.
struct RegisterDefaults {
    static constexpr std::array<uint8_t, kRegisterCount> values{
        0,   // global status
        2,   // output 1 on-delay: 1 s
        2,   // output 2 on-delay: 1 s
        2,   // output 1 off-delay: 1 s
        2,   // output 2 off-delay: 1 s
        0,   // output state: both automatic, manual drive off
        0,   // unused
        0,   // no output follows an input
        1,   // output 1 carries the ACPI pulse
        10,  // power-on delay: 5 s
        20,  // power-off delay: 10 s
        0,   // no power trigger on the inputs
        0,   // input state (not configuration)
        2,   // ACPI pulse width 1: 1 s
        2,   // ACPI pulse width 2: 1 s
        0,   // watchdog off
        0,   // shutdown action: shut down
    };
};

// Global status bits.
constexpr uint8_t kPowerRequestBit = 0x01;
constexpr uint8_t kStoredStatusBits = 0x0E;
constexpr uint8_t kPowerLostBits = 0xC0;

class RegisterBank {
public:
    RegisterBank();

    static bool valid(int reg) { return reg >= 0 && reg < kRegisterCount; }

    // The PC's view: reads go through the faults. A write returns false
    // when the register cannot be written from the PC.
    uint8_t read(int reg) const;
    bool write(int reg, uint8_t value);

    // The device's own view, without faults; `set` is the operator's
    // backdoor (register 0 takes the whole byte, register 12 the inputs).
    uint8_t value(int reg) const;
    void set(int reg, uint8_t value);

    void requestPowerAction() { stored_[kGlobalStatus] |= kPowerRequestBit; }
    void losePower();
    void setInput(int input, bool active);
    bool input(int input) const;

    RegisterFaults &faults() { return faults_; }
    const RegisterFaults &faults() const { return faults_; }

    std::string dump() const;

private:
    bool outputOn(int output) const;
    uint8_t outState() const;
    void store(int reg, uint8_t value);

    std::array<uint8_t, kRegisterCount> stored_;
    uint8_t inputs_ = 0;
    RegisterFaults faults_;
};

}  // namespace pallixsim
