#include "firmwareLayout.h"

#include <cstdio>

#include "firmwareImage.h"

namespace firmware_layout {

std::string hexAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%05X", static_cast<unsigned>(address));
    return text;
}

}  // namespace firmware_layout

namespace {

using namespace firmware_layout;

std::string recordAt(const FirmwareToken &token) {
    return "line " + std::to_string(token.line) + ": the record at " + hexAddress(token.record->address);
}

// What a record in the place of `expected` does wrong.
std::string misplaced(const FirmwareToken &token, uint32_t expected) {
    const uint32_t address = token.record->address;
    if (address >= kFlashSize)
        return recordAt(token) + " lies outside the flash (0x00000 to 0x1FFFF)";
    if (expected <= kMacRecordAddress && address > kMacRecordAddress)
        return recordAt(token) + " skips the identity record at " + hexAddress(kMacRecordAddress);
    if (expected == kFlashSize)
        return recordAt(token) + " follows the last record at " + hexAddress(kFlashSize - kRecordStep);
    return recordAt(token) + " is out of place: records must ascend without gaps, and the next one must be at " +
           hexAddress(expected);
}

}  // namespace

std::string nrCheckFirmwareLayout(const FirmwareImage &image) {
    uint32_t expected = 0;
    int lastLine = 0;
    for (const FirmwareToken &token : image.tokens) {
        if (!token.record)
            continue;
        if (expected == kFlashSize || token.record->address != expected)
            return misplaced(token, expected);
        expected += kRecordStep;
        lastLine = token.line;
    }
    if (expected == 0)
        return "the image holds no records";
    if (expected < kFlashSize)
        return "the image ends at line " + std::to_string(lastLine) + " after the record at " +
               hexAddress(expected - kRecordStep) + "; it must run to " +
               hexAddress(kFlashSize - kRecordStep);
    return {};
}
