// Writes the firmware image the Control Center carries: records for flash
// 0x00000 to 0x1FFFF in ascending order, the firmware version at 0xFBC6
// (right after the MAC slot the updater fills) and a deterministic pattern
// everywhere else, so a test can compare a device's flash with the file.
//
//   make-test-image OUTPUT [VERSION]     (VERSION: 5 ASCII characters, default 01.03)

#include "firmwareRecord.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

using namespace firmware_record;

constexpr uint32_t kFlashSize = 0x20000;
constexpr uint32_t kVersionAddress = 0xFBC6;
constexpr size_t kVersionLength = 5;
constexpr uint32_t kMacAddress = 0xFBC0;
constexpr size_t kMacLength = 6;

// A multiplicative hash of the whole address, so a block written to the
// wrong place never matches by accident.
uint8_t patternByte(uint32_t address) {
    return static_cast<uint8_t>((address * 2654435761u) >> 24);
}

uint8_t imageByte(uint32_t address, const std::string &version) {
    if (address >= kVersionAddress && address < kVersionAddress + kVersionLength)
        return static_cast<uint8_t>(version[address - kVersionAddress]);
    if (address >= kMacAddress && address < kMacAddress + kMacLength)
        return 0xFF;  // erased flash until the updater writes the device's MAC
    return patternByte(address);
}

std::string record(uint32_t address, const std::string &version) {
    char text[kLength + 1];
    int at = std::snprintf(text, sizeof text, "%c%02X%06X", kRecordMark, unsigned(kDataBytes),
                           unsigned(address));
    for (uint32_t k = 0; k < kDataBytes; ++k)
        at += std::snprintf(text + at, sizeof text - size_t(at), "%02X",
                            unsigned(imageByte(address + k, version)));
    return std::string(text, size_t(at));
}

bool validVersion(const std::string &version) {
    if (version.size() != kVersionLength)
        return false;
    for (char c : version) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return true;
}

// Comment tokens hold no whitespace: the reader splits tokens at whitespace.
bool writeImage(const std::filesystem::path &output, const std::string &version) {
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file << "#Pallix-firmware-image\n"
         << "#version-" << version << "\n"
         << "#records-00000-to-1FFFF\n";
    for (uint32_t address = 0; address < kFlashSize; address += kDataBytes)
        file << record(address, version) << '\n';
    file.flush();
    return bool(file);
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: make-test-image OUTPUT [VERSION]\n";
        return 2;
    }
    const std::filesystem::path output = argv[1];
    const std::string version = argc == 3 ? argv[2] : "01.03";
    if (!validVersion(version)) {
        std::cerr << "make-test-image: the version must be 5 printable ASCII characters without spaces, not \""
                  << version << "\"\n";
        return 2;
    }
    std::error_code ignored;
    if (output.has_parent_path())
        std::filesystem::create_directories(output.parent_path(), ignored);
    // Write beside the target and rename, so a failed run leaves no half image.
    const std::filesystem::path partial = output.string() + ".partial";
    if (!writeImage(partial, version)) {
        std::filesystem::remove(partial, ignored);
        std::cerr << "make-test-image: cannot write " << output.string() << "\n";
        return 1;
    }
    std::error_code renamed;
    std::filesystem::rename(partial, output, renamed);
    if (renamed) {
        std::filesystem::remove(partial, ignored);
        std::cerr << "make-test-image: cannot write " << output.string() << ": " << renamed.message() << "\n";
        return 1;
    }
    return 0;
}
