// The bytes on the wire: request frames as the device parses them and the
// replies it builds.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pallixsim {

constexpr uint8_t kStartByte = 0xA5;
constexpr uint8_t kProbeByte = 0x63;
constexpr size_t kMaxDatagram = 512;

enum class Opcode : uint8_t {
    WriteMemory = 0x04,
    ReadMemory = 0x05,
    ProgramControl = 0x07,
    WriteFlashBlock = 0x0A,
};

// Program-control commands.
enum class Control : uint8_t { Leave = 0, Enter = 1, Erase = 3, Copy = 4 };

// The code a reply carries at offset 4: zero when the request was carried
// out, otherwise why it was refused.
enum class ReplyCode : uint8_t {
    Ok = 0,
    NotInProgramMode = 1,
    BadAddress = 2,
    Protected = 3,
    AlreadyWritten = 4,
    ImageIncomplete = 5,
    Unsupported = 6,
    ReadOnly = 7,
    WriteFailed = 8,
};

const char *describe(ReplyCode code);

// One decoded request frame. The payload's meaning depends on the opcode.
struct Frame {
    uint8_t opcode = 0;
    std::vector<uint8_t> payload;  // bytes between the length field and the CRC
};

// The address and value a request names, -1 where it names none: register
// or flash address, written value, program-control command.
struct RequestFields {
    int address = -1;
    int value = -1;
};
RequestFields fieldsOf(const Frame &frame);

bool isProbe(std::span<const uint8_t> datagram);

// Checks start byte, CRC, and the length each opcode requires. On failure
// returns nothing and says why.
std::optional<Frame> parseFrame(std::span<const uint8_t> datagram, std::string &why);

// Reply: start byte, opcode, length, code, then the data bytes, then CRC.
std::vector<uint8_t> buildReply(uint8_t opcode, ReplyCode code, std::span<const uint8_t> data = {});

uint32_t bigEndian(std::span<const uint8_t> bytes);

}  // namespace pallixsim
