// Request frames built byte by byte, as the PC sends them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pallixtest {

uint16_t crc16Arc(std::span<const uint8_t> bytes);

std::vector<uint8_t> probe();
std::vector<uint8_t> readRequest(int reg, uint8_t count = 1);
std::vector<uint8_t> writeRequest(int reg, uint8_t value);
std::vector<uint8_t> writeRequest16(int reg, uint16_t value);
std::vector<uint8_t> controlRequest(uint8_t command, uint32_t argument = 0);
std::vector<uint8_t> flashBlockRequest(uint32_t address, std::span<const uint8_t, 64> data);

// Fields of a reply as the device builds them.
inline int replyCode(std::span<const uint8_t> reply) { return reply.size() > 4 ? reply[4] : -1; }
inline int replyValue(std::span<const uint8_t> reply) { return reply.size() > 5 ? reply[5] : -1; }

}  // namespace pallixtest
