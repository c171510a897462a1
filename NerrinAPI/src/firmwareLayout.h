// Where an image goes in the device's flash, and which images may be sent
// at all: one that would leave the flash half erased or overwrite the
// running image out of turn is refused before the first request.
#pragma once

#include <cstdint>
#include <string>

struct FirmwareImage;

namespace firmware_layout {

inline constexpr uint32_t kFlashSize = 0x20000;
inline constexpr uint32_t kRecordStep = 64;
inline constexpr uint32_t kStagingOffset = 0x10400;  // added to a record's address in the first pass
inline constexpr uint32_t kProtectedFirst = 0xFC00;  // never written
inline constexpr uint32_t kProtectedLast = 0xFFFF;
inline constexpr uint32_t kMacRecordAddress = 0xFBC0;  // its first bytes are the device's MAC
inline constexpr uint32_t kFirstPassEnd = 0x1FFC0;
inline constexpr uint32_t kFlashCopyThreshold = 0x103C0;
inline constexpr uint32_t kFirstEraseStart = 0x10000;
inline constexpr uint32_t kSecondEraseStart = 0x10400;
inline constexpr uint32_t kEraseLast = 0x1FC00;
inline constexpr uint32_t kEraseStep = 0x400;

inline bool isProtected(uint32_t address) {
    return address >= kProtectedFirst && address <= kProtectedLast;
}

// "0x0FBC0": how addresses appear in the routine's messages.
std::string hexAddress(uint32_t address);

}  // namespace firmware_layout

// Empty when the records run from 0x00000 to 0x1FFC0 in steps of 64
// (which takes in the identity record and keeps every target inside the
// flash); otherwise the fault, naming the first offending record and line.
std::string nrCheckFirmwareLayout(const FirmwareImage &image);
