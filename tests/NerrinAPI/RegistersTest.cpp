// Every register export against a fake device that keeps the 17 registers:
// which register each one addresses and how its value is encoded.
#include <gtest/gtest.h>

#include <functional>

#include "FakeDevice.h"
#include "LibraryFixture.h"
#include "Requests.h"
#include "Transport.h"

namespace {

constexpr const char *kDevice = "127.0.0.2";

class NrRegisters : public LibraryTest {
protected:
    void SetUp() override {
        LibraryTest::SetUp();
        NrSetDevice(kDevice);
    }

    // The one request `call` sends to a fresh device, empty when it sent
    // none or more than one.
    Bytes requestOf(const std::function<int32_t()> &call) {
        device_.reset();
        device_ = std::make_unique<FakeDevice>(kDevice, 11000, bank_.handler());
        EXPECT_EQ(call(), kNrOk);
        const std::vector<Bytes> requests = device_->requests();
        EXPECT_EQ(requests.size(), 1u);
        return requests.size() == 1 ? requests[0] : Bytes{};
    }

    // The register and data byte of the write request sent by `call`.
    std::pair<int, int> writeOf(const std::function<int32_t()> &call) {
        const Bytes request = requestOf(call);
        if (request.size() != 9 || request[1] != 0x04) return {-1, -1};
        return {request[4] << 8 | request[5], request[6]};
    }

    // The register read by `call`.
    int readOf(const std::function<int32_t()> &call) {
        const Bytes request = requestOf(call);
        if (request.size() != 10 || request[1] != 0x05) return -1;
        return request[4] << 8 | request[5];
    }

    RegisterBank bank_;
    std::unique_ptr<FakeDevice> device_;
};

using WriteCase = std::pair<int32_t (*)(int32_t), int>;

TEST_F(NrRegisters, ByteSettersWriteTheirRegister) {
    const WriteCase cases[] = {
        {pallixSetGlobalStatus, 0},     {pallixSetOutOnDelay1, 1},
        {pallixSetOutOnDelay2, 2},      {pallixSetOutOffDelay1, 3},
        {pallixSetOutOffDelay2, 4},     {pallixSetPowerOnDelay, 9},
        {pallixSetPowerOffDelay, 10},   {pallixSetACPIPulseWidth1, 13},
        {pallixSetACPIPulseWidth2, 14}, {pallixSetWDTEnable, 15},
        {pallixSetShutdownAction, 16},
    };
    int value = 40;
    for (const auto &[setter, reg] : cases) {
        EXPECT_EQ(writeOf([&] { return setter(value); }), std::make_pair(reg, value)) << reg;
        EXPECT_EQ(bank_.get(reg), value);
        ++value;
    }
}

using ReadCase = std::pair<int32_t (*)(int32_t *), int>;

TEST_F(NrRegisters, ByteGettersReadTheirRegister) {
    const ReadCase cases[] = {
        {pallixGetGlobalStatus, 0},     {pallixGetOutOnDelay1, 1},
        {pallixGetOutOnDelay2, 2},      {pallixGetOutOffDelay1, 3},
        {pallixGetOutOffDelay2, 4},     {pallixGetPowerOnDelay, 9},
        {pallixGetPowerOffDelay, 10},   {pallixGetACPIPulseWidth1, 13},
        {pallixGetACPIPulseWidth2, 14}, {pallixGetWDTEnable, 15},
        {pallixGetShutdownAction, 16},
    };
    for (const auto &[getter, reg] : cases) {
        bank_.set(reg, 200 + reg);
        int32_t value = -1;
        EXPECT_EQ(readOf([&] { return getter(&value); }), reg);
        EXPECT_EQ(value, 200 + reg);
    }
}

TEST_F(NrRegisters, FlagSettersComposeTheirBits) {
    EXPECT_EQ(writeOf([] { return pallixSetOutACPIEnable(1, 1); }), std::make_pair(8, 3));
    EXPECT_EQ(writeOf([] { return pallixSetOutACPIEnable(0, 1); }), std::make_pair(8, 2));
    EXPECT_EQ(writeOf([] { return pallixSetPowerInEnable(1, 0); }), std::make_pair(11, 1));
    EXPECT_EQ(writeOf([] { return pallixSetOutState(1, 0, 1, 0); }), std::make_pair(5, 0x14));
    EXPECT_EQ(writeOf([] { return pallixSetOutState(0, 0, 0, 0); }), std::make_pair(5, 0));
    EXPECT_EQ(writeOf([] { return pallixSetOutState(0, 1, 0, 1); }), std::make_pair(5, 0x28));
    EXPECT_EQ(writeOf([] { return pallixSetOutInEnable(1, 1, 1, 1); }), std::make_pair(7, 0x0F));
    EXPECT_EQ(writeOf([] { return pallixSetOutInEnable(0, 1, 0, 0); }), std::make_pair(7, 0x02));
}

TEST_F(NrRegisters, ValuesAreSentAsTheirLowByte) {
    EXPECT_EQ(writeOf([] { return pallixSetPowerOnDelay(300); }), std::make_pair(9, 0x2C));
    EXPECT_EQ(writeOf([] { return pallixSetACPIPulseWidth1(-1); }), std::make_pair(13, 0xFF));
}

TEST_F(NrRegisters, FlagGettersSplitTheirBits) {
    int32_t f[6] = {-1, -1, -1, -1, -1, -1};
    bank_.set(5, 0x3F);
    EXPECT_EQ(readOf([&] { return pallixGetOutState(&f[0], &f[1], &f[2], &f[3], &f[4], &f[5]); }),
              5);
    EXPECT_EQ(std::vector<int>(f, f + 6), (std::vector<int>{1, 1, 1, 1, 1, 1}));

    bank_.set(5, 0x12);
    readOf([&] { return pallixGetOutState(&f[0], &f[1], &f[2], &f[3], &f[4], &f[5]); });
    EXPECT_EQ(std::vector<int>(f, f + 6), (std::vector<int>{0, 1, 0, 0, 1, 0}));

    bank_.set(7, 0x05);
    EXPECT_EQ(readOf([&] { return pallixGetOutInEnable(&f[0], &f[1], &f[2], &f[3]); }), 7);
    EXPECT_EQ(std::vector<int>(f, f + 4), (std::vector<int>{1, 0, 1, 0}));

    bank_.set(8, 0x02);
    EXPECT_EQ(readOf([&] { return pallixGetOutACPIEnable(&f[0], &f[1]); }), 8);
    EXPECT_EQ(std::vector<int>(f, f + 2), (std::vector<int>{0, 1}));

    bank_.set(11, 0x01);
    EXPECT_EQ(readOf([&] { return pallixGetPowerInEnable(&f[0], &f[1]); }), 11);
    EXPECT_EQ(std::vector<int>(f, f + 2), (std::vector<int>{1, 0}));

    bank_.set(12, 0x03);
    EXPECT_EQ(readOf([&] { return pallixGetInState(&f[0], &f[1]); }), 12);
    EXPECT_EQ(std::vector<int>(f, f + 2), (std::vector<int>{1, 1}));
}

TEST_F(NrRegisters, ReplyTooShortForAValueLeavesTheGetterUntouched) {
    FakeDevice device(kDevice, 11000, [](const Bytes &, size_t) {
        return std::optional(Bytes{0xA5, 0x05, 0x00, 0x01, 0x00});
    });
    int32_t value = 99;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(pallixGetPowerOffDelay(&value), kNrNoReply);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(value, 99);
    EXPECT_EQ(device.requestCount(), 4u);
}

TEST_F(NrRegisters, UnsupportedByteCountSendsNothing) {
    FakeDevice device(kDevice, 11000, bank_.handler());
    EXPECT_EQ(nrSetMemInt(kDevice, 1, 5, 3), kNrBadByteCount);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Bad Byte Count on nrSetMemInt"});
    EXPECT_EQ(shownBoxes()[0].caption, "Nerrin");
    EXPECT_EQ(device.requestCount(), 0u);
}

TEST_F(NrRegisters, TwoByteWriteGoesOutWhole) {
    FakeDevice device(kDevice, 11000, bank_.handler());
    EXPECT_EQ(nrSetMemInt(kDevice, 2, 0x0102, 2), kNrOk);
    ASSERT_EQ(device.requestCount(), 1u);
    const Bytes sent = device.requests()[0];
    ASSERT_EQ(sent.size(), 10u);
    EXPECT_EQ(sent[6], 0x01);
    EXPECT_EQ(sent[7], 0x02);
}

}  // namespace
