#include "RegisterBank.h"

namespace pallixsim {
namespace {

constexpr uint8_t kManualControl[2] = {0x04, 0x08};
constexpr uint8_t kManualDrive[2] = {0x10, 0x20};
constexpr uint8_t kOutStateStoredBits = 0x3C;

// Bits each register keeps; a flag register drops undefined bits.
constexpr uint8_t storedMask(int reg) {
    switch (reg) {
    case kOutState: return kOutStateStoredBits;
    case kOutInEnable: return 0x0F;
    case kOutAcpiEnable:
    case kPowerInEnable: return 0x03;
    default: return 0xFF;
    }
}

}  // namespace

RegisterBank::RegisterBank() : stored_(RegisterDefaults::values) {}

uint8_t RegisterBank::value(int reg) const {
    if (reg == kOutState) return outState();
    if (reg == kInState) return inputs_;
    return stored_[reg];
}

uint8_t RegisterBank::read(int reg) const { return faults_.applyToRead(reg, value(reg)); }

bool RegisterBank::write(int reg, uint8_t value) {
    if (reg == kInState) return false;
    faults_.noteWrite(reg, value);
    if (reg == kGlobalStatus) {
        // A 1 acknowledges an event bit; bits 1 to 3 keep what is written.
        uint8_t status = stored_[kGlobalStatus];
        status &= static_cast<uint8_t>(~(value & (kPowerRequestBit | kPowerLostBits)));
        status = static_cast<uint8_t>((status & ~kStoredStatusBits) | (value & kStoredStatusBits));
        stored_[kGlobalStatus] = status;
        return true;
    }
    store(reg, value);
    return true;
}

void RegisterBank::set(int reg, uint8_t value) {
    if (reg == kInState) {
        inputs_ = value & 0x03;
    } else if (reg == kGlobalStatus) {
        stored_[kGlobalStatus] = value;
    } else {
        store(reg, value);
    }
}

void RegisterBank::store(int reg, uint8_t value) { stored_[reg] = value & storedMask(reg); }

void RegisterBank::losePower() {
    const uint8_t pendingRequest = stored_[kGlobalStatus] & kPowerRequestBit;
    stored_ = RegisterDefaults::values;
    stored_[kGlobalStatus] = pendingRequest | kPowerLostBits;
}

void RegisterBank::setInput(int input, bool active) {
    const uint8_t bit = static_cast<uint8_t>(1u << (input - 1));
    inputs_ = active ? (inputs_ | bit) : (inputs_ & ~bit);
}

bool RegisterBank::input(int input) const { return (inputs_ >> (input - 1)) & 1; }

bool RegisterBank::outputOn(int output) const {
    const int i = output - 1;
    if (faults_.outputStuckOff(output)) return false;
    const uint8_t state = stored_[kOutState];
    if (state & kManualControl[i]) return (state & kManualDrive[i]) != 0;
    // Output k follows input 1 with bit 2(k-1) and input 2 with bit 2(k-1)+1.
    const uint8_t triggers = (stored_[kOutInEnable] >> (2 * i)) & 0x03;
    return (triggers & inputs_) != 0;
}

uint8_t RegisterBank::outState() const {
    uint8_t state = stored_[kOutState] & kOutStateStoredBits;
    if (outputOn(1)) state |= 0x01;
    if (outputOn(2)) state |= 0x02;
    return state;
}

std::string RegisterBank::dump() const {
    std::string line;
    for (int reg = 0; reg < kRegisterCount; ++reg) {
        if (!line.empty()) line += ' ';
        line += std::to_string(reg) + '=' + std::to_string(value(reg));
    }
    return line;
}

}  // namespace pallixsim
