#include <gtest/gtest.h>

#include "SimulatorFixture.h"

using namespace pallixtest;
using namespace std::chrono_literals;

namespace {

class SimRegisterAccessTest : public SimulatorTest {
protected:
    void SetUp() override { startSimulator({.devices = 2}); }
};

}  // namespace

TEST_F(SimRegisterAccessTest, AReadReplyCarriesTheValueAtOffsetFiveAndASignature) {
    sim().setReg(1, 9, 0x2C);
    const auto reply = ask(readRequest(9));
    ASSERT_TRUE(reply);
    const auto &bytes = reply->bytes;
    ASSERT_EQ(bytes.size(), 8u);
    EXPECT_EQ(bytes[0], 0xA5);
    EXPECT_EQ(bytes[1], 0x05);
    EXPECT_EQ(replyCode(bytes), 0);
    EXPECT_EQ(replyValue(bytes), 0x2C);
    const uint16_t crc = crc16Arc(std::span(bytes).subspan(1, 5));
    EXPECT_EQ(bytes[6] << 8 | bytes[7], crc);
}

TEST_F(SimRegisterAccessTest, WritesReachOnlyTheAddressedDevice) {
    EXPECT_EQ(writeRegister(16, 3, 2), 0);
    EXPECT_EQ(readRegister(16, 2), 3);
    EXPECT_EQ(readRegister(16, 1), 0);
    // Two data bytes fill two registers, high byte first.
    ASSERT_TRUE(ask(writeRequest16(13, 0x0507)));
    EXPECT_EQ(sim().reg(1, 13), 5);
    EXPECT_EQ(sim().reg(1, 14), 7);
}

TEST_F(SimRegisterAccessTest, GlobalStatusAcknowledgeClearsBothEvents) {
    sim().requestPowerAction(1);
    sim().losePower(1);
    EXPECT_EQ(readRegister(0), 0xC1);
    EXPECT_EQ(writeRegister(0, 225), 0);
    EXPECT_EQ(readRegister(0), 0);
    writeRegister(0, 255);
    EXPECT_EQ(readRegister(0), 0x0E);
    writeRegister(0, 0);
    EXPECT_EQ(readRegister(0), 0);
}

TEST_F(SimRegisterAccessTest, OutputStateFollowsManualDriveOrInputs) {
    writeRegister(5, 0x3C);  // both manual, both driven on
    EXPECT_EQ(readRegister(5), 0x3F);
    writeRegister(5, 0x0C);
    EXPECT_EQ(readRegister(5), 0x0C);
    writeRegister(5, 0x00);
    writeRegister(7, 0x06);  // output 1 by input 2, output 2 by input 1
    sim().setInput(1, 1, true);
    EXPECT_EQ(readRegister(5), 0x02);
    EXPECT_EQ(readRegister(12), 0x01);
}

TEST_F(SimRegisterAccessTest, InputStateIsReadOnly) {
    sim().setInput(1, 2, true);
    EXPECT_EQ(writeRegister(12, 0), 7);
    EXPECT_EQ(readRegister(12), 2);
}

TEST_F(SimRegisterAccessTest, NonsenseIsRefusedOrIgnored) {
    auto reply = ask(readRequest(17));
    ASSERT_TRUE(reply);
    EXPECT_NE(replyCode(reply->bytes), 0);
    EXPECT_EQ(replyValue(reply->bytes), 0);

    auto broken = writeRequest(9, 1);
    broken[7] ^= 0xFF;
    EXPECT_FALSE(ask(broken, 1, 300ms)) << "a frame with a bad CRC gets no answer";
    EXPECT_EQ(sim().reg(1, 9), 10);
    EXPECT_FALSE(sim().requests(1).back().answered);
}

TEST_F(SimRegisterAccessTest, StuckRegisterFailsEveryWriteButTheOneItHolds) {
    sim().stick(1, 9, 0);
    int mismatches = 0;
    for (int value = 0; value < 256; ++value) {
        writeRegister(9, value);
        if (readRegister(9) != value) ++mismatches;
    }
    EXPECT_EQ(mismatches, 255);
}

TEST_F(SimRegisterAccessTest, MisreadAndStuckOutputShowOverTheWire) {
    sim().misread(1, 10, 9, 7);
    writeRegister(10, 9);
    EXPECT_EQ(readRegister(10), 7);
    sim().stickOutput(1, 1);
    writeRegister(5, 0x3C);
    EXPECT_EQ(readRegister(5), 0x3E);
    sim().clearFaults(1);
    EXPECT_EQ(readRegister(5), 0x3F);
    EXPECT_EQ(readRegister(10), 9);
}

TEST_F(SimRegisterAccessTest, PowerLossReturnsTheConfigurationToDefaults) {
    writeRegister(9, 99);
    writeRegister(5, 0x3C);
    command("power-lost");
    EXPECT_EQ(readRegister(0), 0xC0);
    EXPECT_EQ(readRegister(9), 10);
    EXPECT_EQ(readRegister(5), 0);
}

TEST_F(SimRegisterAccessTest, TheRequestLogKeepsEveryRequestInOrder) {
    writeRegister(9, 30);
    readRegister(9);
    ask(controlRequest(1));
    const auto log = sim().requests(1);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].opcode, 0x04);
    EXPECT_EQ(log[0].address, 9);
    EXPECT_EQ(log[0].value, 30);
    EXPECT_EQ(log[1].opcode, 0x05);
    EXPECT_EQ(log[1].address, 9);
    EXPECT_EQ(log[1].value, -1);
    EXPECT_EQ(log[2].opcode, 0x07);
    EXPECT_EQ(log[2].value, 1);
    EXPECT_TRUE(log[2].answered);
    EXPECT_EQ(command("requests"), "3");
    EXPECT_EQ(command("requests-clear"), "ok");
    EXPECT_EQ(sim().requestCount(1), 0u);
}
