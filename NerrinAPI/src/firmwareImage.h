// Reading a firmware image text file. The whole image is read and checked
// before anything is sent, so a broken file can never half-program a device.
#pragma once

#include "firmwareRecord.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct FirmwareRecord {
    uint32_t address = 0;
    std::array<uint8_t, firmware_record::kDataBytes> data{};
};

// One token of the image in file order: a comment has no record. The
// routine writes one progress dot per token, comments included.
struct FirmwareToken {
    std::optional<FirmwareRecord> record;
    int line = 0;  // where the token starts in the file, from 1
};

struct FirmwareImage {
    std::vector<FirmwareToken> tokens;
    std::string error;  // empty when the image was accepted

    bool accepted() const { return error.empty(); }
};

// The text alone: refuses a token of 2000 characters or more, a record
// shorter than 137 characters, or a character in a record's address or
// data that is not a hex digit. The error names the line and the fault.
FirmwareImage nrParseFirmwareImage(std::istream &text);
// The file as the routine may send it: refuses, besides what the text
// check refuses, a file that cannot be opened and one whose records do
// not cover the flash in order (firmwareLayout.h).
FirmwareImage nrReadFirmwareImage(const std::string &path);
