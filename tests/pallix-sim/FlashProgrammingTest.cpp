#include <gtest/gtest.h>

#include <array>
#include <thread>

#include "SimulatorFixture.h"

using namespace pallixtest;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t kStaging = 0x10400;
constexpr uint32_t kImageEnd = 0x20000;

// A recognisable image byte for every address of the new firmware.
std::array<uint8_t, 64> imageUnit(uint32_t imageAddress, const std::string &mac, const char *version) {
    std::array<uint8_t, 64> data;
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(imageAddress / 64 + i * 3);
    if (imageAddress == 0xFBC0) {
        for (size_t i = 0; i < 6; ++i) data[i] = static_cast<uint8_t>(std::stoi(mac.substr(i * 3, 2), nullptr, 16));
        for (size_t i = 0; i < 5; ++i) data[6 + i] = static_cast<uint8_t>(version[i]);
    }
    return data;
}

class SimFlashProgrammingTest : public SimulatorTest {
protected:
    void SetUp() override { startSimulator({.restartMs = 300}); }

    int control(uint8_t command, uint32_t argument = 0) {
        const auto reply = ask(controlRequest(command, argument));
        return reply ? replyCode(reply->bytes) : -1;
    }
    int writeBlock(uint32_t address, const std::array<uint8_t, 64> &data) {
        const auto reply = ask(flashBlockRequest(address, data));
        return reply ? replyCode(reply->bytes) : -1;
    }
    void eraseFrom(uint32_t first) {
        for (uint32_t block = first; block < kImageEnd; block += 0x400) ASSERT_EQ(control(3, block), 0);
    }
    // The new image's 0x00000..0x0FBFF, written at the staging offset.
    void stageImage(const char *version) {
        for (uint32_t address = 0; address < 0xFC00; address += 64) {
            ASSERT_EQ(writeBlock(address + kStaging, imageUnit(address, sim().mac(1), version)), 0);
        }
    }
    bool answersProbe() {
        client().send(sim().address(1), 11000, probe());
        return client().receive(100ms).has_value();
    }
};

}  // namespace

TEST_F(SimFlashProgrammingTest, RefusedRequestsAreAnsweredCountedAndChangeNothing) {
    const auto before = sim().flash(1, 0x10000);
    EXPECT_EQ(control(3, 0x10000), 1) << "erase outside program mode";
    EXPECT_EQ(writeBlock(0x10000, {}), 1);
    ASSERT_EQ(control(1), 0);
    EXPECT_TRUE(sim().programMode(1));
    EXPECT_EQ(writeBlock(0x10000, {}), 4) << "not erased since the session began";
    EXPECT_EQ(writeBlock(0x10010, {}), 2);
    EXPECT_EQ(control(3, 0xFC00), 3);
    EXPECT_EQ(control(4), 5);
    EXPECT_EQ(control(9), 6);
    EXPECT_EQ(sim().flashRefusals(1), 7);
    EXPECT_EQ(sim().flash(1, 0x10000), before);
    EXPECT_EQ(command("flash-refusals"), "7");
}

TEST_F(SimFlashProgrammingTest, ACompleteUpdateRestartsTheDeviceAndChangesItsVersion) {
    ASSERT_EQ(control(1), 0);
    EXPECT_FALSE(answersProbe()) << "no probe answer in program mode before the restart";
    eraseFrom(0x10000);
    stageImage("02.07");
    const std::array<uint8_t, 64> blank{};
    for (uint32_t address = 0x10000; address < kStaging; address += 64) ASSERT_EQ(writeBlock(address, blank), 0);
    ASSERT_EQ(control(4), 0);

    EXPECT_FALSE(answersProbe()) << "silent while restarting";
    EXPECT_FALSE(ask(readRequest(0), 1, 100ms));
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(answersProbe());
    EXPECT_TRUE(sim().programMode(1)) << "still in program mode after the restart";
    const auto copied = imageUnit(0x1000, sim().mac(1), "");
    EXPECT_EQ(sim().flash(1, 0x1000), std::vector<uint8_t>(copied.begin(), copied.end()));
    EXPECT_EQ(sim().firmware(1), "01.03") << "the version changes only on leaving";

    eraseFrom(kStaging);
    stageImage("02.07");
    ASSERT_EQ(control(0), 0);
    EXPECT_FALSE(sim().programMode(1));
    EXPECT_EQ(sim().firmware(1), "02.07");
    client().send(sim().address(1), 11000, probe());
    const auto reply = client().receive(300ms);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->text(), "NERRIN:PALLIX:127.0.0.2:MAC:02-50-4C-00-00-01:FW:02.07");
    EXPECT_EQ(sim().flashRefusals(1), 0);
}

// Recovery: the device announces firmware 00.00 and answers no register
// request, until an update runs to the end.
TEST_F(SimFlashProgrammingTest, LeavingBeforeTheSecondPassLeavesRecovery) {
    ASSERT_EQ(control(1), 0);
    eraseFrom(0x10000);
    stageImage("02.07");
    ASSERT_EQ(control(4), 0);
    std::this_thread::sleep_for(350ms);
    eraseFrom(kStaging);
    ASSERT_EQ(control(0), 0);
    EXPECT_EQ(command("program-mode"), "0");
    EXPECT_EQ(command("recovery"), "1");
    EXPECT_EQ(sim().firmware(1), "00.00");
    client().send(sim().address(1), 11000, probe());
    const auto reply = client().receive(300ms);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->text(), "NERRIN:PALLIX:127.0.0.2:MAC:02-50-4C-00-00-01:FW:00.00");
    EXPECT_FALSE(ask(readRequest(0), 1, 200ms));
    EXPECT_FALSE(ask(writeRequest(9, 4), 1, 200ms));
}

TEST_F(SimFlashProgrammingTest, ARefusedCopyOrAnEraseLeftUnwrittenLeavesRecovery) {
    ASSERT_EQ(control(1), 0);
    EXPECT_EQ(control(4), 5);
    EXPECT_TRUE(sim().recovery(1)) << "refused copy";
    EXPECT_TRUE(answersProbe()) << "in recovery it answers probes, also in program mode";
    ASSERT_EQ(control(0), 0);
    EXPECT_TRUE(sim().recovery(1));

    startSimulator({.restartMs = 300});
    ASSERT_EQ(control(1), 0);
    ASSERT_EQ(control(0), 0);
    EXPECT_FALSE(sim().recovery(1)) << "nothing erased";
    ASSERT_EQ(control(1), 0);
    ASSERT_EQ(control(3, 0x1FC00), 0);
    ASSERT_EQ(control(0), 0);
    EXPECT_TRUE(sim().recovery(1)) << "upper flash erased";
    EXPECT_FALSE(ask(readRequest(0), 1, 200ms));
}

TEST_F(SimFlashProgrammingTest, ABadFlashUnitRefusesItsWritesSoTheCopyIsRefused) {
    command("bad-flash 0x10400");
    ASSERT_EQ(control(1), 0);
    eraseFrom(0x10000);
    EXPECT_EQ(writeBlock(kStaging, imageUnit(0, sim().mac(1), "02.07")), 8);
    EXPECT_EQ(writeBlock(kStaging + 64, imageUnit(64, sim().mac(1), "02.07")), 0);
    EXPECT_EQ(control(4), 5);
    EXPECT_EQ(sim().command("bad-flash 0x10410").rfind("error: address must be a multiple of 64", 0), 0u);
}
