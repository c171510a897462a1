// Helpers of the firmware tests: image files, the requests a simulated
// device logged, and the boxes and progress the routine produced.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "Simulator.h"

namespace fwtest {

// One record token: address and 64 data bytes, byte k being fill + k.
std::string recordText(uint32_t address, uint8_t fill = 0);

// A file of the test's own (an image, a captured output), removed at its end.
class TempFile {
public:
    explicit TempFile(const std::string &text);
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// An image of the given records, one a line, after a comment line.
std::string imageOf(const std::vector<uint32_t> &addresses);
// The addresses of an image that covers the flash: 0x00000 to 0x1FFC0.
std::vector<uint32_t> wholeFlash();

std::array<uint8_t, 6> macBytes(const std::string &macText);

// The requests of one kind, in arrival order.
std::vector<pallixsim::Request> requestsWith(const std::vector<pallixsim::Request> &all, uint8_t opcode);
// Flash addresses of the write-block requests.
std::vector<uint32_t> writeTargets(const std::vector<pallixsim::Request> &all);
// The command of every program-control request, with its argument for erases.
struct Control {
    int command;
    uint32_t argument;
    bool operator==(const Control &) const = default;
};
std::vector<Control> controls(const std::vector<pallixsim::Request> &all);
std::vector<Control> erases(uint32_t first, uint32_t last);

size_t countOf(const std::string &text, const std::string &part);

// Message boxes the library showed, recorded instead of printed.
struct Box {
    std::string caption;
    std::string text;
};
std::vector<Box> &shownBoxes();
void recordBoxes();

}  // namespace fwtest
