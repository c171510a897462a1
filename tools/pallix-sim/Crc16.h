// CRC-16/ARC as the device checks requests and signs replies.
#pragma once

#include <cstdint>
#include <span>

namespace pallixsim {

uint16_t crc16(std::span<const uint8_t> bytes);

}  // namespace pallixsim
