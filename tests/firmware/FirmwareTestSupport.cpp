#include "FirmwareTestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "NerrinAPI.h"

namespace fwtest {

std::string recordText(uint32_t address, uint8_t fill) {
    char head[16];
    std::snprintf(head, sizeof head, ":40%06X", unsigned(address));
    std::string text = head;
    for (unsigned k = 0; k < 64; ++k) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02X", unsigned(uint8_t(fill + k)));
        text += pair;
    }
    return text;
}

TempFile::TempFile(const std::string &text) {
    std::string pattern = (std::filesystem::temp_directory_path() / "pallix-image-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw std::runtime_error("cannot create a temporary image file");
    close(fd);
    path_ = pattern;
    std::ofstream(path_, std::ios::binary) << text;
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

std::string imageOf(const std::vector<uint32_t> &addresses) {
    std::string text = "#test-image\n";
    uint8_t fill = 1;
    for (uint32_t address : addresses) text += recordText(address, fill++) + "\n";
    return text;
}

std::vector<uint32_t> wholeFlash() {
    std::vector<uint32_t> addresses;
    for (uint32_t address = 0; address < 0x20000; address += 64) addresses.push_back(address);
    return addresses;
}

std::array<uint8_t, 6> macBytes(const std::string &macText) {
    std::array<uint8_t, 6> bytes{};
    for (size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<uint8_t>(std::stoi(macText.substr(3 * k, 2), nullptr, 16));
    return bytes;
}

std::vector<pallixsim::Request> requestsWith(const std::vector<pallixsim::Request> &all, uint8_t opcode) {
    std::vector<pallixsim::Request> chosen;
    for (const auto &request : all)
        if (request.opcode == opcode) chosen.push_back(request);
    return chosen;
}

std::vector<uint32_t> writeTargets(const std::vector<pallixsim::Request> &all) {
    std::vector<uint32_t> targets;
    for (const auto &request : requestsWith(all, 0x0A)) targets.push_back(uint32_t(request.address));
    return targets;
}

std::vector<Control> controls(const std::vector<pallixsim::Request> &all) {
    std::vector<Control> list;
    for (const auto &request : requestsWith(all, 0x07)) {
        const auto &b = request.bytes;
        const uint32_t argument = uint32_t(b[6]) << 24 | uint32_t(b[7]) << 16 | uint32_t(b[8]) << 8 | b[9];
        list.push_back({b[5], argument});
    }
    return list;
}

std::vector<Control> erases(uint32_t first, uint32_t last) {
    std::vector<Control> list;
    for (uint32_t block = first; block <= last; block += 0x400) list.push_back({3, block});
    return list;
}

size_t countOf(const std::string &text, const std::string &part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

std::vector<Box> &shownBoxes() {
    static std::vector<Box> boxes;
    return boxes;
}

void recordBoxes() {
    shownBoxes().clear();
    NrSetMessageHandler([](const char *caption, const char *text) { shownBoxes().push_back({caption, text}); });
}

}  // namespace fwtest
