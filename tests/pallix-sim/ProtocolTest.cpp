#include <gtest/gtest.h>

#include "Crc16.h"
#include "Frames.h"
#include "Protocol.h"

using namespace pallixsim;

namespace {

std::vector<uint8_t> bytesOf(const char *text) { return {text, text + std::char_traits<char>::length(text)}; }

}  // namespace

TEST(SimCrc16, MatchesTheCheckValueAndAnIndependentBitwiseCrc) {
    EXPECT_EQ(crc16(bytesOf("123456789")), 0xBB3D);
    EXPECT_EQ(crc16({}), 0);
    std::vector<uint8_t> all(71);
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i * 37 + 11);
    EXPECT_EQ(crc16(all), pallixtest::crc16Arc(all));
}

TEST(SimParseFrame, AcceptsTheRequestsThePcSends) {
    std::string why;
    const std::vector<uint8_t> readReg12{0xA5, 0x05, 0x00, 0x04, 0x00, 0x0C, 0x00, 0x01, 0x03, 0xA5};
    const auto read = parseFrame(readReg12, why);
    ASSERT_TRUE(read) << why;
    EXPECT_EQ(read->opcode, 0x05);
    EXPECT_EQ(read->payload, (std::vector<uint8_t>{0x00, 0x0C, 0x00, 0x01}));

    const std::vector<uint8_t> write9{0xA5, 0x04, 0x00, 0x03, 0x00, 0x09, 0x1E, 0x98, 0x87};
    ASSERT_TRUE(parseFrame(write9, why)) << why;
    ASSERT_TRUE(parseFrame(pallixtest::writeRequest16(3, 0x1234), why)) << why;
    const std::vector<uint8_t> enter{0xA5, 0x07, 0x00, 0x06, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x7D};
    ASSERT_TRUE(parseFrame(enter, why)) << why;
}

TEST(SimParseFrame, RejectsBrokenFramesWithAReason) {
    std::string why;
    auto frame = pallixtest::readRequest(0);
    frame.back() ^= 1;
    EXPECT_FALSE(parseFrame(frame, why));
    EXPECT_EQ(why, "bad CRC");

    frame = pallixtest::readRequest(0);
    frame[0] = 0x5A;
    EXPECT_FALSE(parseFrame(frame, why));

    EXPECT_FALSE(parseFrame(std::vector<uint8_t>{0xA5, 0x05, 0x00}, why));
    EXPECT_NE(why.find("too short"), std::string::npos);

    // A read whose length field claims the size of a write.
    std::vector<uint8_t> wrongLength{0xA5, 0x05, 0x00, 0x03, 0x00, 0x00, 0x01};
    const uint16_t crc = pallixtest::crc16Arc(std::span(wrongLength).subspan(1));
    wrongLength.push_back(static_cast<uint8_t>(crc >> 8));
    wrongLength.push_back(static_cast<uint8_t>(crc));
    EXPECT_FALSE(parseFrame(wrongLength, why));
    EXPECT_EQ(why, "bad length for opcode");
}

TEST(SimBuildReply, CarriesOpcodeCodeAndValueAndASignature) {
    const uint8_t value = 0x2C;
    const auto reply = buildReply(0x05, ReplyCode::Ok, std::span(&value, 1));
    ASSERT_EQ(reply.size(), 8u);
    EXPECT_EQ(reply[0], 0xA5);
    EXPECT_EQ(reply[1], 0x05);
    EXPECT_EQ(reply[4], 0);
    EXPECT_EQ(reply[5], 0x2C);
    const uint16_t crc = pallixtest::crc16Arc(std::span(reply).subspan(1, 5));
    EXPECT_EQ(reply[6], crc >> 8);
    EXPECT_EQ(reply[7], crc & 0xFF);
    EXPECT_EQ(buildReply(0x0A, ReplyCode::AlreadyWritten)[4], 4);
}
