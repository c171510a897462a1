// Faults that make a device's registers read back wrong, the kind a write
// test has to catch.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace pallixsim {

class RegisterFaults {
public:
    static constexpr int kRegisters = 17;

    void stick(int reg, uint8_t value) { stuck_[reg] = value; }
    void misread(int reg, uint8_t written, uint8_t readback) { misreads_[reg][written] = readback; }
    // Reads alternate between value and the true value, value first: no two
    // answers in a row agree.
    void flicker(int reg, uint8_t value) { flicker_[reg] = Flicker{value, true}; }
    void stickOutput(int output) { outputStuckOff_[output - 1] = true; }
    void clear() { *this = RegisterFaults{}; }

    bool outputStuckOff(int output) const { return outputStuckOff_[output - 1]; }

    // Called for every write the PC makes, so a misread can take effect.
    void noteWrite(int reg, uint8_t value);
    // What the PC reads instead of the true value.
    uint8_t applyToRead(int reg, uint8_t value) const;

private:
    struct Flicker {
        uint8_t value;
        bool next;   // the next read gives value
    };

    std::array<std::optional<uint8_t>, kRegisters> stuck_{};
    // A read turns the flicker over.
    mutable std::array<std::optional<Flicker>, kRegisters> flicker_{};
    std::array<std::map<uint8_t, uint8_t>, kRegisters> misreads_{};
    std::array<std::optional<uint8_t>, kRegisters> pendingMisread_{};
    std::array<bool, 2> outputStuckOff_{};
};

}  // namespace pallixsim
