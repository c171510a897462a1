#include "Flash.h"

#include <algorithm>

namespace pallixsim {

Flash::Flash(std::span<const uint8_t, 6> mac, std::span<const uint8_t, kVersionLength> version)
    : bytes_(kSize, 0xFF) {
    std::copy(mac.begin(), mac.end(), bytes_.begin() + kMacRecord);
    std::copy(version.begin(), version.end(), bytes_.begin() + kVersionAt);
    units_.fill(Unit::Programmed);
}

ReplyCode Flash::enterProgramMode() {
    if (!programMode_) {
        // Data staged in an earlier session does not count for this one.
        std::replace(units_.begin(), units_.end(), Unit::Written, Unit::Programmed);
        programMode_ = true;
        copiedThisSession_ = false;
    }
    return ReplyCode::Ok;
}

Flash::Leave Flash::leaveProgramMode() {
    const bool complete = programMode_ && copiedThisSession_ && stagedUnitsWritten(true);
    programMode_ = false;
    copiedThisSession_ = false;
    if (complete) intact_ = true;
    if (!intact_) return Leave::Broken;
    return complete ? Leave::NewImage : Leave::OldImage;
}

ReplyCode Flash::checkTarget(uint32_t address, uint32_t alignment) {
    if (address % alignment != 0 || !inRange(address, alignment)) return ReplyCode::BadAddress;
    if (address < kWritableStart) {
        const bool hitsProtected = address + alignment > kProtectedStart;
        return hitsProtected ? ReplyCode::Protected : ReplyCode::BadAddress;
    }
    return ReplyCode::Ok;
}

ReplyCode Flash::erase(uint32_t address) {
    if (!programMode_) return ReplyCode::NotInProgramMode;
    if (const ReplyCode code = checkTarget(address, kBlockSize); code != ReplyCode::Ok) return code;
    std::fill_n(bytes_.begin() + address, kBlockSize, 0xFF);
    intact_ = false;
    const uint32_t firstUnit = address / kUnitSize;
    std::fill_n(units_.begin() + firstUnit, kBlockSize / kUnitSize, Unit::Erased);
    if (copiedThisSession_) erasedSinceCopy_[address / kBlockSize] = true;
    return ReplyCode::Ok;
}

ReplyCode Flash::write(uint32_t address, std::span<const uint8_t> data) {
    if (!programMode_) return ReplyCode::NotInProgramMode;
    if (data.size() != kUnitSize) return ReplyCode::Unsupported;
    if (const ReplyCode code = checkTarget(address, kUnitSize); code != ReplyCode::Ok) return code;
    Unit &unit = units_[address / kUnitSize];
    if (unit != Unit::Erased) return ReplyCode::AlreadyWritten;
    if (broken_[address / kUnitSize]) return ReplyCode::WriteFailed;
    std::copy(data.begin(), data.end(), bytes_.begin() + address);
    unit = Unit::Written;
    return ReplyCode::Ok;
}

bool Flash::stagedUnitsWritten(bool sinceCopy) const {
    for (uint32_t unit = kStagingStart / kUnitSize; unit < kUnits; ++unit) {
        if (units_[unit] != Unit::Written) return false;
        if (sinceCopy && !erasedSinceCopy_[unit * kUnitSize / kBlockSize]) return false;
    }
    return true;
}

ReplyCode Flash::copy() {
    if (!programMode_) return ReplyCode::NotInProgramMode;
    // Only an image staged completely in this session may replace the running one.
    const bool staged = stagedUnitsWritten(false) &&
                        (!copiedThisSession_ || stagedUnitsWritten(true));
    if (!staged) return ReplyCode::ImageIncomplete;
    std::copy_n(bytes_.begin() + kStagingStart, kImageSize, bytes_.begin());
    copiedThisSession_ = true;
    erasedSinceCopy_.fill(false);
    return ReplyCode::Ok;
}

std::vector<uint8_t> Flash::read(uint32_t address, uint32_t length) const {
    if (!inRange(address, length)) return {};
    return {bytes_.begin() + address, bytes_.begin() + address + length};
}

}  // namespace pallixsim
