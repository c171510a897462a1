#include "Protocol.h"

#include "Crc16.h"

namespace pallixsim {
namespace {

constexpr size_t kHeaderSize = 4;  // start, opcode, length (2)
constexpr size_t kCrcSize = 2;

// Payload sizes each opcode may carry and the length field it must hold.
// A two-byte memory write still says 3 in its length field.
struct Shape {
    uint16_t lengthField;
    size_t minPayload;
    size_t maxPayload;
};

std::optional<Shape> shapeOf(uint8_t opcode) {
    switch (static_cast<Opcode>(opcode)) {
    case Opcode::ReadMemory: return Shape{4, 4, 4};
    case Opcode::WriteMemory: return Shape{3, 3, 4};
    case Opcode::ProgramControl: return Shape{6, 6, 6};
    case Opcode::WriteFlashBlock: return Shape{0x44, 0x44, 0x44};
    }
    return std::nullopt;
}

void appendBigEndian16(std::vector<uint8_t> &out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value & 0xFF));
}

}  // namespace

const char *describe(ReplyCode code) {
    switch (code) {
    case ReplyCode::Ok: return "ok";
    case ReplyCode::NotInProgramMode: return "not in program mode";
    case ReplyCode::BadAddress: return "bad address";
    case ReplyCode::Protected: return "protected range";
    case ReplyCode::AlreadyWritten: return "unit already written since its erase";
    case ReplyCode::ImageIncomplete: return "staged image incomplete";
    case ReplyCode::Unsupported: return "unsupported request";
    case ReplyCode::ReadOnly: return "read-only register";
    case ReplyCode::WriteFailed: return "flash unit failed to program";
    }
    return "unknown";
}

bool isProbe(std::span<const uint8_t> datagram) {
    return datagram.size() == 2 && datagram[0] == kStartByte && datagram[1] == kProbeByte;
}

uint32_t bigEndian(std::span<const uint8_t> bytes) {
    uint32_t value = 0;
    for (uint8_t b : bytes) value = (value << 8) | b;
    return value;
}

RequestFields fieldsOf(const Frame &frame) {
    const std::span<const uint8_t> payload(frame.payload);
    switch (static_cast<Opcode>(frame.opcode)) {
    case Opcode::ReadMemory: return {static_cast<int>(bigEndian(payload.first(2))), -1};
    case Opcode::WriteMemory:
        return {static_cast<int>(bigEndian(payload.first(2))), static_cast<int>(bigEndian(payload.subspan(2)))};
    case Opcode::ProgramControl: {
        const bool erase = payload[1] == static_cast<uint8_t>(Control::Erase);
        return {erase ? static_cast<int>(bigEndian(payload.subspan(2, 4))) : -1, payload[1]};
    }
    case Opcode::WriteFlashBlock: return {static_cast<int>(bigEndian(payload.first(4))), -1};
    }
    return {};
}

std::optional<Frame> parseFrame(std::span<const uint8_t> datagram, std::string &why) {
    if (datagram.size() < kHeaderSize + kCrcSize) {
        why = "frame of " + std::to_string(datagram.size()) + " bytes is too short";
        return std::nullopt;
    }
    if (datagram[0] != kStartByte) {
        why = "bad start byte";
        return std::nullopt;
    }
    const size_t crcAt = datagram.size() - kCrcSize;
    const uint16_t expected = crc16(datagram.subspan(1, crcAt - 1));
    const uint16_t carried = static_cast<uint16_t>(bigEndian(datagram.subspan(crcAt, kCrcSize)));
    if (expected != carried) {
        why = "bad CRC";
        return std::nullopt;
    }
    Frame frame;
    frame.opcode = datagram[1];
    const auto shape = shapeOf(frame.opcode);
    if (!shape) {
        // Well formed but unknown: the caller refuses it with a reply.
        frame.payload.assign(datagram.begin() + kHeaderSize, datagram.begin() + crcAt);
        return frame;
    }
    const uint16_t lengthField = static_cast<uint16_t>(bigEndian(datagram.subspan(2, 2)));
    const size_t payloadSize = crcAt - kHeaderSize;
    if (lengthField != shape->lengthField || payloadSize < shape->minPayload || payloadSize > shape->maxPayload) {
        why = "bad length for opcode";
        return std::nullopt;
    }
    frame.payload.assign(datagram.begin() + kHeaderSize, datagram.begin() + crcAt);
    return frame;
}

std::vector<uint8_t> buildReply(uint8_t opcode, ReplyCode code, std::span<const uint8_t> data) {
    std::vector<uint8_t> reply{kStartByte, opcode};
    appendBigEndian16(reply, static_cast<uint16_t>(1 + data.size()));
    reply.push_back(static_cast<uint8_t>(code));
    reply.insert(reply.end(), data.begin(), data.end());
    appendBigEndian16(reply, crc16(std::span<const uint8_t>(reply).subspan(1)));
    return reply;
}

}  // namespace pallixsim
