// The firmware routine against the in-process simulated device.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "FirmwareTestSupport.h"
#include "NerrinAPI.h"
#include "State.h"
#include "firmwareImage.h"
#include "firmwareUpdate.h"

using namespace fwtest;
using namespace std::chrono_literals;

namespace {

constexpr const char *kDevice = "127.0.0.2";
constexpr const char *kCaption = "Pallix Firmware Update";
constexpr const char *kComplete = "Firmware Update Complete! You may now restart Pallix Control Center.";

constexpr NrFirmwareTimings kShort{0ms, 10ms, 10ms, 20s};

class FirmwareUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        nrResetState();
        recordBoxes();
    }
    void TearDown() override {
        NrSetMessageHandler(nullptr);
        if (sim_) sim_->stop();
    }

    pallixsim::Simulator &startDevice(const std::string &firmware = "01.02", int restartMs = 200) {
        pallixsim::SimOptions options;
        options.firmware = firmware;
        options.restartMs = restartMs;
        sim_ = std::make_unique<pallixsim::Simulator>(options);
        sim_->start();
        return *sim_;
    }

    // The discovery the updater runs first, then the routine; the request
    // log then holds only what the routine sent.
    int32_t update(const std::string &imagePath, const NrFirmwareTimings &timings = kShort) {
        NrDiscovery(kDevice);
        if (sim_) sim_->clearRequests();
        testing::internal::CaptureStdout();
        const int32_t result = nrFirmwareUpdateWith(kDevice, imagePath.c_str(), timings);
        output_ = testing::internal::GetCapturedStdout();
        return result;
    }

    std::vector<pallixsim::Request> requests() const { return sim_->requests(1); }
    const std::string &output() const { return output_; }

private:
    std::unique_ptr<pallixsim::Simulator> sim_;
    std::string output_;
};

TEST_F(FirmwareUpdateTest, CommentOnlyImageEntersErasesAndLeavesProgramMode) {
    startDevice();
    TempFile image("#one\n#two\n#three\n");
    EXPECT_EQ(update(image.path()), NR_FIRMWARE_UPDATED);

    std::vector<Control> expected{{1, 0}};
    for (const Control &erase : erases(0x10000, 0x1FC00)) expected.push_back(erase);
    expected.push_back({0, 0});
    EXPECT_EQ(controls(requests()), expected);
    EXPECT_EQ(requests().size(), 66u);
    EXPECT_EQ(output(), std::string(64, '.') + "\n\n" + "..." + "\n\n\nFirmware update complete!\n");
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0].caption, kCaption);
    EXPECT_EQ(shownBoxes()[0].text, kComplete);
}

TEST_F(FirmwareUpdateTest, IdentityRecordIsStagedWithTheDevicesMacAndEndsTheFirstPass) {
    pallixsim::Simulator &sim = startDevice();
    TempFile image(imageOf({0x00000, 0xFBC0, 0x10000, 0x10380}));
    EXPECT_EQ(update(image.path()), NR_FIRMWARE_UPDATED);

    // After the first pass records go to their own addresses, and none below
    // the copy threshold starts the flash copy.
    EXPECT_EQ(writeTargets(requests()), (std::vector<uint32_t>{0x10400, 0x1FFC0, 0x10000, 0x10380}));
    const auto mac = macBytes(sim.mac(1));
    const auto identity = requestsWith(requests(), 0x0A)[1].bytes;
    ASSERT_EQ(identity.size(), 74u);
    EXPECT_EQ(std::vector<uint8_t>(identity.begin() + 8, identity.begin() + 14),
              std::vector<uint8_t>(mac.begin(), mac.end()));
    EXPECT_EQ(identity[14], 2 + 6);  // the record's own data from byte 6 on
    EXPECT_EQ(sim.flash(1, 0x1FFC0, 6), std::vector<uint8_t>(mac.begin(), mac.end()));
    EXPECT_EQ(countOf(output(), "Restarting"), 0u);
}

TEST_F(FirmwareUpdateTest, ProtectedRangeIsNeverSent) {
    startDevice();
    TempFile image(imageOf({0xFC00, 0xFBC0, 0xFC00, 0xFD40, 0xFFC0, 0x10000}));
    EXPECT_EQ(update(image.path()), NR_FIRMWARE_UPDATED);
    EXPECT_EQ(writeTargets(requests()), (std::vector<uint32_t>{0x1FFC0, 0x10000}));
    // One dot per token all the same.
    EXPECT_EQ(output(), std::string(64, '.') + "\n\n" + std::string(7, '.') + "\n\n\nFirmware update complete!\n");
}

TEST_F(FirmwareUpdateTest, FlashCopyRunsOnceAtTheThresholdThenTheUpperFlashIsErasedAgain) {
    startDevice();
    TempFile image(imageOf({0xFBC0, 0x10380, 0x103C0, 0x10400, 0x103C0, 0x1FFC0}));
    EXPECT_EQ(update(image.path()), NR_FIRMWARE_UPDATED);

    const auto all = requests();
    EXPECT_EQ(writeTargets(all), (std::vector<uint32_t>{0x1FFC0, 0x10380, 0x103C0, 0x10400, 0x103C0, 0x1FFC0}));
    std::vector<Control> expected{{1, 0}};
    for (const Control &erase : erases(0x10000, 0x1FC00)) expected.push_back(erase);
    expected.push_back({4, 0});
    for (const Control &erase : erases(0x10400, 0x1FC00)) expected.push_back(erase);
    expected.push_back({0, 0});
    EXPECT_EQ(controls(all), expected);

    // The copy follows the block at 0x103C0 directly; the device is found
    // again by a unicast probe before the second erase.
    size_t copyAt = 0;
    while (copyAt < all.size() && !(all[copyAt].opcode == 0x07 && all[copyAt].value == 4)) ++copyAt;
    ASSERT_LT(copyAt + 1, all.size());
    EXPECT_EQ(all[copyAt - 1].opcode, 0x0A);
    EXPECT_EQ(all[copyAt - 1].address, 0x103C0);
    EXPECT_EQ(all[copyAt + 1].opcode, 0x63);
    EXPECT_NE(output().find("\n\nPallix Restarting...\nDO NOT DISCONNECT...\n\n"), std::string::npos);
}

TEST_F(FirmwareUpdateTest, CarriedImageLeavesTheDeviceRunningItAndReporting0103) {
    pallixsim::Simulator &sim = startDevice("01.02", 300);
    const auto bootBefore = sim.flash(1, 0xFC00, 0x400);
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE), NR_FIRMWARE_UPDATED);
    EXPECT_EQ(sim.flashRefusals(1), 0);
    EXPECT_FALSE(sim.programMode(1));
    EXPECT_EQ(sim.firmware(1), "01.03");

    const auto mac = macBytes(sim.mac(1));
    const FirmwareImage image = nrReadFirmwareImage(PALLIX_CARRIED_IMAGE);
    ASSERT_TRUE(image.accepted());
    for (const FirmwareToken &token : image.tokens) {
        if (!token.record) continue;
        const uint32_t address = token.record->address;
        if (address >= 0xFC00 && address <= 0xFFFF) continue;
        std::vector<uint8_t> expected(token.record->data.begin(), token.record->data.end());
        if (address == 0xFBC0) std::copy(mac.begin(), mac.end(), expected.begin());
        ASSERT_EQ(sim.flash(1, address), expected) << "flash at " << std::hex << address;
    }
    EXPECT_EQ(sim.flash(1, 0xFC00, 0x400), bootBefore);

    NrDiscovery(kDevice);
    char *version = NrGetFirmwareVersion();
    EXPECT_EQ(std::string(version, SysStringByteLen(version)), "01.03");
    SysFreeString(version);
}

TEST_F(FirmwareUpdateTest, DeviceThatNeverComesBackIsGivenUpAfterTheBound) {
    pallixsim::Simulator &sim = startDevice("01.02", 600000);
    const NrFirmwareTimings timings{0ms, 10ms, 10ms, 1500ms};
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE, timings), NR_FIRMWARE_DEVICE_LOST);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 15s);

    const auto all = requests();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(controls({all.back()}), (std::vector<Control>{{0, 0}}));  // leave program mode
    EXPECT_EQ(writeTargets(all).back(), 0x103C0u);  // nothing written after the copy
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0].caption, kCaption);
    EXPECT_NE(shownBoxes()[0].text.find("did not answer"), std::string::npos);
    EXPECT_EQ(countOf(output(), "Firmware update complete!"), 0u);
    EXPECT_NE(sim.firmware(1), "01.03");
}

TEST_F(FirmwareUpdateTest, NetworkRenewalFollowsEveryFifthFailedRediscovery) {
    startDevice("01.02", 600000);
    // Each silent attempt lasts the one-second discovery wait, so this bound
    // allows eleven or twelve attempts.
    const NrFirmwareTimings timings{0ms, 1ms, 1ms, 11500ms};
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE, timings), NR_FIRMWARE_DEVICE_LOST);

    const size_t attempts = requestsWith(requests(), 0x63).size();
    EXPECT_GE(attempts, 10u);
    EXPECT_EQ(countOf(output(), "Network renewal"), attempts / 5);
    const std::string restart = "DO NOT DISCONNECT...\n\n";
    const size_t waitAt = output().find(restart) + restart.size();
    // Two dots per attempt; the first renewal comes right after the fifth.
    EXPECT_EQ(output().substr(waitAt, 11), std::string(10, '.') + "\n");
    EXPECT_EQ(output().find("Network renewal"), waitAt + 11);
}

TEST_F(FirmwareUpdateTest, BrokenImagesAreRefusedBeforeAnyRequest) {
    pallixsim::Simulator &sim = startDevice();
    std::string badDigit = recordText(0x40);
    badDigit[70] = 'x';
    const std::string good = imageOf({0xFBC0, 0x10000, 0x103C0});
    const std::vector<std::pair<std::string, std::string>> broken{
        {good + recordText(0x10400).substr(0, 136), "shorter than 137"},
        {good + recordText(0x10400) + std::string(2000, '0'), "2000 characters or more"},
        {good + badDigit, "is not a hex digit"},
    };
    for (const auto &[text, fault] : broken) {
        shownBoxes().clear();
        TempFile image(text);
        EXPECT_EQ(update(image.path()), NR_FIRMWARE_IMAGE_REFUSED) << fault;
        EXPECT_EQ(sim.requestCount(1), 0u) << fault;
        ASSERT_EQ(shownBoxes().size(), 1u);
        EXPECT_EQ(shownBoxes()[0].caption, kCaption);
        EXPECT_NE(shownBoxes()[0].text.find("refused"), std::string::npos);
        EXPECT_NE(shownBoxes()[0].text.find(fault), std::string::npos) << shownBoxes()[0].text;
    }
    shownBoxes().clear();
    EXPECT_EQ(update("/nonexistent/download/test_out.hex"), NR_FIRMWARE_IMAGE_REFUSED);
    EXPECT_EQ(sim.requestCount(1), 0u);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("cannot open /nonexistent/download/test_out.hex"), std::string::npos);
}

TEST_F(FirmwareUpdateTest, WithoutADiscoveredDeviceOnlyTheLeaveCommandIsSent) {
    pallixsim::Simulator &sim = startDevice();
    nrLib.discoveryCount = 0;  // as after a discovery nobody answered
    testing::internal::CaptureStdout();
    EXPECT_EQ(nrFirmwareUpdateWith(kDevice, PALLIX_CARRIED_IMAGE, kShort), NR_FIRMWARE_NO_DEVICE);
    const std::string progress = testing::internal::GetCapturedStdout();
    EXPECT_EQ(controls(sim.requests(1)), (std::vector<Control>{{0, 0}}));
    EXPECT_EQ(sim.requestCount(1), 1u);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("No Pallix answered at 127.0.0.2"), std::string::npos);
    EXPECT_EQ(countOf(progress, "complete"), 0u);
}

}  // namespace
