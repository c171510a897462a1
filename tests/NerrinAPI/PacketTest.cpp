#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Packet.h"

namespace {

std::vector<int> wire(const NrFrame &frame) {
    return std::vector<int>(frame.bytes, frame.bytes + frame.length);
}

uint16_t crcOf(const std::string &text) {
    return nrCrc16(reinterpret_cast<const uint8_t *>(text.data()),
                   static_cast<uint8_t>(text.size()));
}

// Bit-at-a-time CRC-16/ARC to hold the nibble table against.
uint16_t referenceCrc(const std::vector<uint8_t> &bytes) {
    uint16_t crc = 0;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

TEST(NrCrc16, CheckValueAndEmptyInput) {
    EXPECT_EQ(crcOf("123456789"), 0xBB3D);
    EXPECT_EQ(crcOf(""), 0);
}

TEST(NrCrc16, AgreesWithBitwiseReferenceOnEveryLengthUpToTheFlashFrame) {
    std::vector<uint8_t> bytes;
    for (int length = 1; length <= 71; ++length) {
        bytes.push_back(static_cast<uint8_t>(length * 37 + 11));
        EXPECT_EQ(nrCrc16(bytes.data(), static_cast<uint8_t>(length)), referenceCrc(bytes))
            << "length " << length;
    }
}

TEST(NrFrames, ReadMemoryExamples) {
    EXPECT_EQ(wire(nrReadMemFrame(0, 1)),
              (std::vector<int>{0xA5, 0x05, 0x00, 0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x65}));
    EXPECT_EQ(wire(nrReadMemFrame(12, 1)),
              (std::vector<int>{0xA5, 0x05, 0x00, 0x04, 0x00, 0x0C, 0x00, 0x01, 0x03, 0xA5}));
}

TEST(NrFrames, ReadMemoryCarriesSixteenBitAddress) {
    const NrFrame frame = nrReadMemFrame(0x1234, 1);
    EXPECT_EQ(frame.bytes[4], 0x12);
    EXPECT_EQ(frame.bytes[5], 0x34);
}

TEST(NrFrames, WriteMemoryOneByte) {
    EXPECT_EQ(wire(nrWriteMemFrame(9, 30, 1)),
              (std::vector<int>{0xA5, 0x04, 0x00, 0x03, 0x00, 0x09, 0x1E, 0x98, 0x87}));
}

TEST(NrFrames, WriteMemoryTakesTheLowByteOfTheValue) {
    const NrFrame frame = nrWriteMemFrame(9, 300, 1);
    ASSERT_EQ(frame.length, 9);
    EXPECT_EQ(frame.bytes[6], 0x2C);
    EXPECT_EQ(nrWriteMemFrame(13, -1, 1).bytes[6], 0xFF);
}

TEST(NrFrames, WriteMemoryTwoBytesKeepsLengthFieldThreeAndCrcFollowsData) {
    const NrFrame frame = nrWriteMemFrame(2, 0x1234, 2);
    ASSERT_EQ(frame.length, 10);
    EXPECT_EQ(frame.bytes[2], 0x00);
    EXPECT_EQ(frame.bytes[3], 0x03);
    EXPECT_EQ(frame.bytes[6], 0x12);
    EXPECT_EQ(frame.bytes[7], 0x34);
    const uint16_t crc = nrCrc16(frame.bytes + 1, 7);
    EXPECT_EQ(frame.bytes[8], crc >> 8);
    EXPECT_EQ(frame.bytes[9], crc & 0xFF);
}

TEST(NrFrames, ProgramControlEnter) {
    EXPECT_EQ(
        wire(nrControlFrame(kNrEnterProgramMode, 0)),
        (std::vector<int>{0xA5, 0x07, 0x00, 0x06, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x7D}));
}

TEST(NrFrames, ProgramControlArgumentIsBigEndian) {
    const NrFrame frame = nrControlFrame(kNrBlockErase, 0x0001FC00);
    EXPECT_EQ((std::vector<int>(frame.bytes + 5, frame.bytes + 10)),
              (std::vector<int>{0x03, 0x00, 0x01, 0xFC, 0x00}));
}

TEST(NrFrames, FlashBlockLayout) {
    uint8_t data[kNrFlashBlockSize];
    for (int i = 0; i < kNrFlashBlockSize; ++i) data[i] = static_cast<uint8_t>(0x80 + i);
    const NrFrame frame = nrWriteBlockFrame(0x10400, data);
    ASSERT_EQ(frame.length, 74);
    EXPECT_EQ((std::vector<int>(frame.bytes, frame.bytes + 8)),
              (std::vector<int>{0xA5, 0x0A, 0x00, 0x44, 0x00, 0x01, 0x04, 0x00}));
    for (int i = 0; i < kNrFlashBlockSize; ++i) EXPECT_EQ(frame.bytes[8 + i], 0x80 + i);
    const uint16_t crc = nrCrc16(frame.bytes + 1, 71);
    EXPECT_EQ(frame.bytes[72], crc >> 8);
    EXPECT_EQ(frame.bytes[73], crc & 0xFF);
}

TEST(NrFrames, ProbeIsTwoBytes) { EXPECT_EQ(wire(nrProbeFrame()), (std::vector<int>{0xA5, 0x63})); }

TEST(NrFrames, NothingIsWrittenPastTheFrame) {
    const NrFrame frame = nrReadMemFrame(0xFFFF, 0xFF);
    for (int i = frame.length; i < kNrFrameCapacity; ++i) ASSERT_EQ(frame.bytes[i], 0) << i;
}

TEST(NrReplies, RegisterValueIsTheSixthByte) {
    const char reply[8] = {'\xA5', 5, 0, 1, 0, '\xF0', 0, 0};
    EXPECT_EQ(nrReplyValue(reply), 0xF0);
}

}  // namespace
