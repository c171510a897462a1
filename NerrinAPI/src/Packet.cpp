#include "Packet.h"

namespace {

// T[i]: the CRC-16/ARC register after four reflected shifts starting from i.
constexpr uint16_t kNibbleTable[16] = {
    0x0000, 0xCC01, 0xD801, 0x1400, 0xF001, 0x3C00, 0x2800, 0xE401,
    0xA001, 0x6C00, 0x7800, 0xB401, 0x5000, 0x9C01, 0x8801, 0x4400,
};

void putBigEndian16(uint8_t *at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

void putBigEndian32(uint8_t *at, uint32_t value) {
    putBigEndian16(at, value >> 16);
    putBigEndian16(at + 2, value);
}

// Start byte, opcode and length field; the payload follows at offset 4.
NrFrame frameHeader(uint8_t opcode, uint16_t lengthField) {
    NrFrame frame;
    frame.bytes[0] = kNrStartByte;
    frame.bytes[1] = opcode;
    putBigEndian16(frame.bytes + 2, lengthField);
    return frame;
}

// Appends the CRC of everything after the start byte; payloadEnd is the
// offset just past the last payload byte.
NrFrame &sealFrame(NrFrame &frame, int payloadEnd) {
    const uint16_t crc = nrCrc16(frame.bytes + 1, static_cast<uint8_t>(payloadEnd - 1));
    putBigEndian16(frame.bytes + payloadEnd, crc);
    frame.length = payloadEnd + 2;
    return frame;
}

uint32_t asUnsigned(int32_t value) { return static_cast<uint32_t>(value); }

}  // namespace

uint16_t nrCrc16(const uint8_t *bytes, uint8_t count) {
    uint16_t crc = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        crc = static_cast<uint16_t>((crc >> 4) ^ kNibbleTable[crc & 0xF] ^ kNibbleTable[b & 0xF]);
        crc = static_cast<uint16_t>((crc >> 4) ^ kNibbleTable[crc & 0xF] ^ kNibbleTable[b >> 4]);
    }
    return crc;
}

NrFrame nrReadMemFrame(int32_t reg, int32_t count) {
    NrFrame frame = frameHeader(kNrOpReadMem, 4);
    putBigEndian16(frame.bytes + 4, asUnsigned(reg));
    frame.bytes[6] = 0;
    frame.bytes[7] = static_cast<uint8_t>(count);
    return sealFrame(frame, 8);
}

NrFrame nrWriteMemFrame(int32_t reg, int32_t value, int32_t dataBytes) {
    // The length field says 3 also when two data bytes follow.
    NrFrame frame = frameHeader(kNrOpWriteMem, 3);
    putBigEndian16(frame.bytes + 4, asUnsigned(reg));
    if (dataBytes == 2) {
        putBigEndian16(frame.bytes + 6, asUnsigned(value));
        return sealFrame(frame, 8);
    }
    frame.bytes[6] = static_cast<uint8_t>(value);
    return sealFrame(frame, 7);
}

NrFrame nrControlFrame(int32_t command, int32_t argument) {
    NrFrame frame = frameHeader(kNrOpControl, 6);
    frame.bytes[4] = 0;
    frame.bytes[5] = static_cast<uint8_t>(command);
    putBigEndian32(frame.bytes + 6, asUnsigned(argument));
    return sealFrame(frame, 10);
}

NrFrame nrWriteBlockFrame(int32_t flashAddress, const uint8_t *data) {
    NrFrame frame = frameHeader(kNrOpWriteBlock, 4 + kNrFlashBlockSize);
    putBigEndian32(frame.bytes + 4, asUnsigned(flashAddress));
    for (int i = 0; i < kNrFlashBlockSize; ++i) frame.bytes[8 + i] = data[i];
    return sealFrame(frame, 8 + kNrFlashBlockSize);
}

NrFrame nrProbeFrame() {
    NrFrame frame;
    frame.bytes[0] = kNrStartByte;
    frame.bytes[1] = kNrOpProbe;
    frame.length = 2;
    return frame;
}

int32_t nrReplyValue(const char *reply) { return static_cast<uint8_t>(reply[5]); }
