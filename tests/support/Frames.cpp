#include "Frames.h"

namespace pallixtest {
namespace {

// Bitwise on purpose: an independent check of the device's table-driven CRC.
uint16_t crcStep(uint16_t crc, uint8_t byte) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    return crc;
}

void put16(std::vector<uint8_t> &out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void put32(std::vector<uint8_t> &out, uint32_t value) {
    put16(out, static_cast<uint16_t>(value >> 16));
    put16(out, static_cast<uint16_t>(value));
}

std::vector<uint8_t> frame(uint8_t opcode, uint16_t length, std::span<const uint8_t> payload) {
    std::vector<uint8_t> out{0xA5, opcode};
    put16(out, length);
    out.insert(out.end(), payload.begin(), payload.end());
    put16(out, crc16Arc(std::span<const uint8_t>(out).subspan(1)));
    return out;
}

}  // namespace

uint16_t crc16Arc(std::span<const uint8_t> bytes) {
    uint16_t crc = 0;
    for (uint8_t b : bytes) crc = crcStep(crc, b);
    return crc;
}

std::vector<uint8_t> probe() { return {0xA5, 0x63}; }

std::vector<uint8_t> readRequest(int reg, uint8_t count) {
    std::vector<uint8_t> payload;
    put16(payload, static_cast<uint16_t>(reg));
    payload.push_back(0);
    payload.push_back(count);
    return frame(0x05, 4, payload);
}

std::vector<uint8_t> writeRequest(int reg, uint8_t value) {
    std::vector<uint8_t> payload;
    put16(payload, static_cast<uint16_t>(reg));
    payload.push_back(value);
    return frame(0x04, 3, payload);
}

std::vector<uint8_t> writeRequest16(int reg, uint16_t value) {
    std::vector<uint8_t> payload;
    put16(payload, static_cast<uint16_t>(reg));
    put16(payload, value);
    return frame(0x04, 3, payload);
}

std::vector<uint8_t> controlRequest(uint8_t command, uint32_t argument) {
    std::vector<uint8_t> payload{0, command};
    put32(payload, argument);
    return frame(0x07, 6, payload);
}

std::vector<uint8_t> flashBlockRequest(uint32_t address, std::span<const uint8_t, 64> data) {
    std::vector<uint8_t> payload;
    put32(payload, address);
    payload.insert(payload.end(), data.begin(), data.end());
    return frame(0x0A, 0x44, payload);
}

}  // namespace pallixtest
