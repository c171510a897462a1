// The firmware routine against the in-process simulated device.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "FakeDevice.h"
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

// The addresses every request of a whole update goes to, in order.
std::vector<uint32_t> designedTargets() {
    std::vector<uint32_t> targets;
    for (uint32_t a = 0; a <= 0xFBC0; a += 64) targets.push_back(a + 0x10400);  // staged
    for (uint32_t a = 0x10000; a <= 0x103C0; a += 64) targets.push_back(a);      // up to the copy
    for (uint32_t a = 0x10400; a <= 0x1FFC0; a += 64) targets.push_back(a);      // after the restart
    return targets;
}

TEST_F(FirmwareUpdateTest, WholeImageIsStagedCopiedAndWrittenInTheDesignedOrder) {
    pallixsim::Simulator &sim = startDevice();
    TempFile image(imageOf(wholeFlash()));
    EXPECT_EQ(update(image.path()), NR_FIRMWARE_UPDATED);

    const auto all = requests();
    EXPECT_EQ(writeTargets(all), designedTargets());  // the protected range is never sent
    std::vector<Control> expected{{1, 0}};
    for (const Control &erase : erases(0x10000, 0x1FC00)) expected.push_back(erase);
    expected.push_back({4, 0});
    for (const Control &erase : erases(0x10400, 0x1FC00)) expected.push_back(erase);
    expected.push_back({0, 0});
    EXPECT_EQ(controls(all), expected);

    // The copy follows the block at 0x103C0 directly; the device is found
    // again by a unicast probe before the second erase; a register read
    // after leaving shows it runs again.
    size_t copyAt = 0;
    while (copyAt < all.size() && !(all[copyAt].opcode == 0x07 && all[copyAt].value == 4)) ++copyAt;
    ASSERT_LT(copyAt + 1, all.size());
    EXPECT_EQ(all[copyAt - 1].address, 0x103C0);
    EXPECT_EQ(all[copyAt + 1].opcode, 0x63);
    EXPECT_EQ(all.back().opcode, 0x05);
    EXPECT_EQ(all.back().address, 0);

    // The identity record is staged first-pass at 0x1FFC0 with the device's MAC.
    const auto mac = macBytes(sim.mac(1));
    const auto staged = requestsWith(all, 0x0A)[0xFBC0 / 64].bytes;
    EXPECT_EQ(std::vector<uint8_t>(staged.begin() + 8, staged.begin() + 14), std::vector<uint8_t>(mac.begin(), mac.end()));
    EXPECT_EQ(staged[14], uint8_t(1 + 0xFBC0 / 64 + 6));  // the record's own data from byte 6 on

    EXPECT_EQ(output().substr(0, 66), std::string(64, '.') + "\n\n");
    EXPECT_NE(output().find("\n\nPallix Restarting...\nDO NOT DISCONNECT...\n\n"), std::string::npos);
    EXPECT_EQ(output().substr(output().size() - 29), "\n\n\nFirmware update complete!\n");
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_EQ(shownBoxes()[0].caption, kCaption);
    EXPECT_EQ(shownBoxes()[0].text, kComplete);
    EXPECT_FALSE(sim.recovery(1));
}

TEST_F(FirmwareUpdateTest, IdentityRecordGetsTheMacOfTheDiscoveryNotOfTheLastReply) {
    // Every reply but the probe's carries a MAC field of its own.
    const Bytes probeReply = textBytes("NERRIN:PALLIX:127.0.0.2:MAC:02-50-4C-00-00-07:FW:01.02");
    const Bytes otherReply = textBytes("NERRIN:PALLIX:127.0.0.2:MAC:AA-BB-CC-DD-EE-FF:FW:66.66");
    FakeDevice device(kDevice, 11000, [&](const Bytes &request, size_t) {
        return std::optional(request == Bytes{0xA5, 0x63} ? probeReply : otherReply);
    });
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE), NR_FIRMWARE_UPDATED);
    // The first write to 0x1FFC0 stages the identity record.
    for (const Bytes &request : device.requests()) {
        if (request.size() != 74 || request[1] != 0x0A || request[5] != 0x01 || request[6] != 0xFF || request[7] != 0xC0)
            continue;
        EXPECT_EQ(Bytes(request.begin() + 8, request.begin() + 14), (Bytes{0x02, 0x50, 0x4C, 0x00, 0x00, 0x07}));
        return;
    }
    ADD_FAILURE() << "the identity record was never staged";
}

TEST_F(FirmwareUpdateTest, CarriedImageLeavesTheDeviceRunningItAndReporting0103) {
    pallixsim::Simulator &sim = startDevice("01.02", 300);
    const auto bootBefore = sim.flash(1, 0xFC00, 0x400);
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE), NR_FIRMWARE_UPDATED);
    EXPECT_EQ(sim.flashRefusals(1), 0);
    EXPECT_FALSE(sim.programMode(1));
    EXPECT_EQ(sim.firmware(1), "01.03");
    EXPECT_FALSE(sim.recovery(1));

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
    EXPECT_NE(shownBoxes()[0].text.find("of its restart"), std::string::npos);
    EXPECT_NE(shownBoxes()[0].text.find("has copied the new image"), std::string::npos);
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

std::vector<uint32_t> without(std::vector<uint32_t> addresses, uint32_t address) {
    std::erase(addresses, address);
    return addresses;
}

TEST_F(FirmwareUpdateTest, BrokenImagesAreRefusedBeforeAnyRequest) {
    pallixsim::Simulator &sim = startDevice();
    std::string badDigit = recordText(0x40);
    badDigit[70] = 'x';
    const std::string good = imageOf({0xFBC0, 0x10000, 0x103C0});
    std::vector<uint32_t> lowerHalf = wholeFlash();
    lowerHalf.resize(0x10000 / 64);
    std::vector<uint32_t> swapped = wholeFlash();
    std::swap(swapped[1], swapped[2]);
    std::vector<uint32_t> pastTheEnd = wholeFlash();
    pastTheEnd.push_back(0x20000);
    const std::vector<std::pair<std::string, std::string>> broken{
        {good + recordText(0x10400).substr(0, 136), "shorter than 137"},
        {good + recordText(0x10400) + std::string(2000, '0'), "2000 characters or more"},
        {good + badDigit, "is not a hex digit"},
        // Images that would wipe the upper flash, leave it half written or
        // write outside the staging order.
        {"#one\n#two\n#three\n", "the image holds no records"},
        {imageOf(lowerHalf), "ends at line 1025 after the record at 0x0FFC0; it must run to 0x1FFC0"},
        {imageOf(without(wholeFlash(), 0xFBC0)), "line 1009: the record at 0x0FC00 skips the identity record"},
        {imageOf(swapped), "line 3: the record at 0x00080 is out of place"},
        {imageOf(pastTheEnd), "line 2050: the record at 0x20000 lies outside the flash"},
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

// A device that answers no probe may still wait in program mode: it is
// released, whatever the image.
TEST_F(FirmwareUpdateTest, WithoutAProbeAnswerOnlyTheLeaveCommandIsSent) {
    pallixsim::Simulator &sim = startDevice();
    nrLib.discoveryCount = 0;  // as after a discovery nobody answered
    testing::internal::CaptureStdout();
    EXPECT_EQ(nrFirmwareUpdateWith(kDevice, "/nonexistent/image.hex", kShort), NR_FIRMWARE_NO_DEVICE);
    EXPECT_EQ(nrFirmwareUpdateWith("127.0.0.9", PALLIX_CARRIED_IMAGE, kShort), NR_FIRMWARE_NO_DEVICE);
    const std::string progress = testing::internal::GetCapturedStdout();
    EXPECT_EQ(controls(sim.requests(1)), (std::vector<Control>{{0, 0}}));
    EXPECT_EQ(sim.requestCount(1), 1u);
    ASSERT_EQ(shownBoxes().size(), 2u);
    EXPECT_NE(shownBoxes()[0].text.find("answered the request to leave program mode"), std::string::npos);
    EXPECT_EQ(shownBoxes()[1].text, "No Pallix answered at 127.0.0.9. Nothing was written to it.");
    EXPECT_EQ(countOf(progress, "complete"), 0u);
}

// Each step the device leaves unanswered ends the update with its own
// result and a box that names the step and what the device is left with.
TEST_F(FirmwareUpdateTest, AnUnansweredStepStopsTheUpdateAndSaysWhatIsLeft) {
    struct Stop {
        const char *fault;  // the device goes silent after that many answers
        int32_t result;
        std::vector<std::string> says;
        bool recovery;
    };
    // The discovery's probe is the first answer. The write that fails is the
    // 36th, record 0x008C0 on line 37; the flash copy follows 1089 requests.
    const std::vector<Stop> stops{
        {"offline-after 1 3.5", NR_FIRMWARE_ENTER_FAILED,
         {"did not answer the request to enter program mode", "still runs its old firmware", "released from program mode"},
         false},
        {"offline-after 101 4.5", NR_FIRMWARE_WRITE_FAILED,
         {"the write of the record at 0x008C0 (line 37) to flash 0x10CC0", "upper flash is erased",
          "released from program mode"},
         true},
        {"offline-after 1090 4.5", NR_FIRMWARE_COPY_FAILED,
         {"did not answer the flash-copy request", "may have copied", "released from program mode"}, true},
        {"offline-after 1092", NR_FIRMWARE_ERASE_FAILED,
         {"the erase of flash block 0x10400", "has copied the new image and restarted",
          "did not answer the request to leave program mode either"},
         false},
    };
    const std::string image = imageOf(wholeFlash());
    for (const Stop &stop : stops) {
        pallixsim::Simulator &sim = startDevice();
        TempFile file(image);
        shownBoxes().clear();
        sim.command(stop.fault);
        EXPECT_EQ(update(file.path()), stop.result) << stop.fault;
        ASSERT_EQ(shownBoxes().size(), 1u) << stop.fault;
        const std::string &box = shownBoxes()[0].text;
        EXPECT_EQ(box.rfind("Firmware update failed: Pallix at 127.0.0.2 ", 0), 0u) << box;
        for (const std::string &part : stop.says) EXPECT_NE(box.find(part), std::string::npos) << box;
        EXPECT_NE(box.find("run the update again"), std::string::npos) << box;
        EXPECT_EQ(countOf(output(), "complete"), 0u);
        EXPECT_EQ(sim.recovery(1), stop.recovery) << stop.fault;
        EXPECT_EQ(controls({requests().back()}), (std::vector<Control>{{0, 0}})) << "leave is tried last";
    }
}

// The stopped update leaves the device in program mode, where it answers no
// probe; the next run releases it into recovery, and only a complete update
// brings it back.
TEST_F(FirmwareUpdateTest, AStoppedUpdateLeavesRecoveryUntilTheNextOneCompletes) {
    pallixsim::Simulator &sim = startDevice();
    sim.command("offline-after 10");  // the probe, enter and eight erases
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE), NR_FIRMWARE_ERASE_FAILED);
    EXPECT_NE(shownBoxes().back().text.find("the erase of flash block 0x12000"), std::string::npos);
    EXPECT_TRUE(sim.programMode(1));

    sim.command("online");
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE), NR_FIRMWARE_NO_DEVICE);
    EXPECT_NE(shownBoxes().back().text.find("has been released"), std::string::npos);
    EXPECT_FALSE(sim.programMode(1));
    EXPECT_EQ(sim.firmware(1), "00.00");
    NrSetDevice(kDevice);
    int32_t status = 0;
    EXPECT_EQ(pallixGetGlobalStatus(&status), 3) << "no register answers in recovery";

    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE), NR_FIRMWARE_UPDATED);
    EXPECT_FALSE(sim.recovery(1));
    EXPECT_EQ(sim.firmware(1), "01.03");
}

// A device that refuses a block with a reply still answers every request;
// what the update left shows only when it does not run again.
TEST_F(FirmwareUpdateTest, ARefusedFlashCopyEndsInRecoveryNotInSuccess) {
    pallixsim::Simulator &sim = startDevice();
    sim.command("bad-flash 0x10400");
    EXPECT_EQ(update(PALLIX_CARRIED_IMAGE), NR_FIRMWARE_NOT_RUNNING);
    ASSERT_EQ(shownBoxes().size(), 1u);
    EXPECT_NE(shownBoxes()[0].text.find("does not answer a register read: it is in recovery"), std::string::npos)
        << shownBoxes()[0].text;
    EXPECT_EQ(countOf(output(), "complete"), 0u);
    EXPECT_TRUE(sim.recovery(1));
    EXPECT_EQ(sim.firmware(1), "00.00");
}

}  // namespace
