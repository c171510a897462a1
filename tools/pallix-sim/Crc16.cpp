#include "Crc16.h"

#include <array>

namespace pallixsim {
namespace {

// Entry i is the register after four reflected shift steps starting from i,
// so the CRC can be run a nibble at a time.
constexpr std::array<uint16_t, 16> makeNibbleTable() {
    std::array<uint16_t, 16> table{};
    for (uint16_t i = 0; i < 16; ++i) {
        uint16_t crc = i;
        for (int step = 0; step < 4; ++step) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
        }
        table[i] = crc;
    }
    return table;
}

constexpr auto kNibbleTable = makeNibbleTable();

uint16_t feedNibble(uint16_t crc, uint8_t nibble) {
    return static_cast<uint16_t>((crc >> 4) ^ kNibbleTable[crc & 0xF] ^ kNibbleTable[nibble & 0xF]);
}

}  // namespace

uint16_t crc16(std::span<const uint8_t> bytes) {
    uint16_t crc = 0;
    for (uint8_t b : bytes) {
        crc = feedNibble(crc, b & 0xF);
        crc = feedNibble(crc, b >> 4);
    }
    return crc;
}

}  // namespace pallixsim
