// The bytes of every request: frames, the discovery probe and the CRC.
#pragma once

#include <cstdint>

inline constexpr uint8_t kNrStartByte = 0xA5;
inline constexpr int kNrFrameCapacity = 512;
inline constexpr int kNrFlashBlockSize = 64;

enum NrOpcode : uint8_t {
    kNrOpWriteMem = 0x04,
    kNrOpReadMem = 0x05,
    kNrOpControl = 0x07,
    kNrOpWriteBlock = 0x0A,
    kNrOpProbe = 0x63,
};

enum NrControlCommand : int32_t {
    kNrLeaveProgramMode = 0,
    kNrEnterProgramMode = 1,
    kNrBlockErase = 3,
    kNrFlashCopy = 4,
};

// A request as it goes on the wire: the first `length` bytes of `bytes`.
struct NrFrame {
    uint8_t bytes[kNrFrameCapacity] = {};
    int32_t length = 0;
};

// CRC-16/ARC, a nibble at a time.
uint16_t nrCrc16(const uint8_t *bytes, uint8_t count);

NrFrame nrReadMemFrame(int32_t reg, int32_t count);
// dataBytes is 1 (bits 0-7) or 2 (bits 8-15, then 0-7).
NrFrame nrWriteMemFrame(int32_t reg, int32_t value, int32_t dataBytes);
NrFrame nrControlFrame(int32_t command, int32_t argument);
NrFrame nrWriteBlockFrame(int32_t flashAddress, const uint8_t *data);
NrFrame nrProbeFrame();

// The register value a read-memory reply carries (byte 5); a shorter
// reply carries none.
inline constexpr int32_t kNrReadReplySize = 6;
int32_t nrReplyValue(const char *reply);
