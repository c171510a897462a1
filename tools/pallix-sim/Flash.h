// The device's 128 KiB program flash and the rules of programming it.
//
// The running image lives in 0x00000..0x0FBFF, 0xFC00..0xFFFF is protected,
// and the PC may erase and write only the upper half (0x10000..0x1FFFF).
// An update stages the new image in 0x10400..0x1FFFF; the flash copy moves
// it down and restarts the device. The update counts as complete once,
// after that copy, every staged unit has been erased and written again.
// The running firmware spans both halves: from the first erase on, only a
// complete update leaves the device something to run.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "Protocol.h"

namespace pallixsim {

class Flash {
public:
    static constexpr uint32_t kSize = 0x20000;
    static constexpr uint32_t kBlockSize = 1024;
    static constexpr uint32_t kUnitSize = 64;
    static constexpr uint32_t kWritableStart = 0x10000;
    static constexpr uint32_t kProtectedStart = 0xFC00;
    static constexpr uint32_t kStagingStart = 0x10400;
    static constexpr uint32_t kImageSize = kSize - kStagingStart;  // 0xFC00
    static constexpr uint32_t kMacRecord = 0xFBC0;
    static constexpr uint32_t kVersionAt = 0xFBC6;
    static constexpr size_t kVersionLength = 5;

    // Starts with the running image's identity record filled in and the
    // rest reading 0xFF; every unit must be erased before it is written.
    Flash(std::span<const uint8_t, 6> mac, std::span<const uint8_t, kVersionLength> version);

    bool programMode() const { return programMode_; }
    // True from a flash copy of this session on: the device has restarted.
    bool copiedThisSession() const { return copiedThisSession_; }
    ReplyCode enterProgramMode();

    enum class Leave {
        OldImage,  // nothing erased since the last complete update
        NewImage,  // this ends a complete update
        Broken,    // erased or half written: nothing to run
    };
    Leave leaveProgramMode();
    ReplyCode erase(uint32_t address);
    ReplyCode write(uint32_t address, std::span<const uint8_t> data);
    ReplyCode copy();
    // Every later write to the unit at the address fails.
    void breakUnit(uint32_t address) { broken_[address / kUnitSize] = true; }

    std::vector<uint8_t> read(uint32_t address, uint32_t length) const;
    static bool inRange(uint32_t address, uint32_t length) {
        return address < kSize && length <= kSize - address;
    }

private:
    static constexpr uint32_t kUnits = kSize / kUnitSize;
    static constexpr uint32_t kBlocks = kSize / kBlockSize;

    static ReplyCode checkTarget(uint32_t address, uint32_t alignment);
    bool stagedUnitsWritten(bool sinceCopy) const;

    std::vector<uint8_t> bytes_;
    // Programmed: holds data of unknown age, must be erased before a write.
    enum class Unit : uint8_t { Programmed, Erased, Written };

    std::array<Unit, kUnits> units_{};
    std::array<bool, kUnits> broken_{};
    std::array<bool, kBlocks> erasedSinceCopy_{};
    bool programMode_ = false;
    bool copiedThisSession_ = false;
    bool intact_ = true;  // no erase since the last complete update
};

}  // namespace pallixsim
