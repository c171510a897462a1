#include "RegisterFaults.h"

namespace pallixsim {

void RegisterFaults::noteWrite(int reg, uint8_t value) {
    const auto &table = misreads_[reg];
    const auto hit = table.find(value);
    pendingMisread_[reg] = hit == table.end() ? std::nullopt : std::optional<uint8_t>(hit->second);
}

uint8_t RegisterFaults::applyToRead(int reg, uint8_t value) const {
    if (stuck_[reg]) return *stuck_[reg];
    if (pendingMisread_[reg]) return *pendingMisread_[reg];
    if (auto &flicker = flicker_[reg]) {
        flicker->next = !flicker->next;
        if (!flicker->next) return flicker->value;
    }
    return value;
}

}  // namespace pallixsim
