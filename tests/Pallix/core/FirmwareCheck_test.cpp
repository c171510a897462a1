#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "SimulatedDevice.h"
#include "app/AppState.h"
#include "app/NrErrors.h"
#include "watch/DeviceSearch.h"
#include "watch/FirmwareCheck.h"
#include "watch/MonitorState.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

const std::string expectedPrompt = ("Your Pallix requires a firmware update!\r\n"
                                              "\r\n"
                                              "   Local Version: 01.04\r\n"
                                              "   New Version: 01.03\r\n"
                                              "\r\n"
                                              "   IP Address: 127.0.0.2\r\n"
                                              "   MAC Address: 00-50-C2-8F-10-01\r\n"
                                              "\r\n"
                                              "Update now?");

const std::string expectedNetworksWarning = (
    "Pallix detects multiple networks.\r\n"
    "Please disable any wireless or secondary network devices before firmware update.");

const std::string expectedPowerWarning = (
    "NOTE:  During a firmware update, you must ensure that the PC connected to Pallix™ and the "
    "Pallix™ unit will be continuously powered during the entire programming process.  Make "
    "sure Pallix™ does not control the PC's power during a firmware update otherwise the "
    "programming process will fail and the unit will be non-functional.");

class FirmwareCheckTest : public ::testing::Test {
protected:
    FirmwareCheckTest()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
        appState().deviceList = {"127.0.0.2", std::string()};
        appState().deviceCount = 1;
        appState().macAddress = "00-50-C2-8F-10-01";
        appState().firmwareVersion = "01.04";
        monitorState().setWatching(true);
    }

    // The boxes shown so far, once the answered ones have had their turn.
    Lines boxesAfter(size_t count)
    {
        waitUntil([&] { return platform.boxes.size() >= count; }, 8000);
        waitUntil([] { return false; }, 50);
        return platform.boxTexts();
    }

    TestAppFolder folder;
    FakePlatform platform;
    FirmwareOffer offer;
};

TEST_F(FirmwareCheckTest, TheCarriedVersionAsksNothing)
{
    appState().firmwareVersion = "01.03";
    offer.check();
    EXPECT_TRUE(boxesAfter(0).empty());
}

class AnyOtherVersion : public FirmwareCheckTest,
                        public ::testing::WithParamInterface<const char *> {};

TEST_P(AnyOtherVersion, IsOfferedInTheMessageWindow)
{
    appState().firmwareVersion = GetParam();
    platform.answers = {MsgCancel};
    offer.check();
    ASSERT_EQ(boxesAfter(1).size(), 1u);
    EXPECT_TRUE(platform.boxes[0].window);
    EXPECT_TRUE(contains(platform.boxes[0].text,
                         std::string("   Local Version: ") + GetParam() + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Versions, AnyOtherVersion,
                         ::testing::Values("01.04", "1.03", "01.02", "", "01.03 "));

TEST_F(FirmwareCheckTest, TheOpenPromptLeavesTheMonitorWatchingAndComesOncePerRun)
{
    platform.holdBoxes = true;
    offer.check();
    ASSERT_EQ(platform.boxTexts(), Lines{expectedPrompt});
    EXPECT_TRUE(platform.boxes[0].window);
    EXPECT_TRUE(monitorState().polling());

    platform.answerOpenBox(MsgCancel);
    offer.check();   // the next discovery
    EXPECT_EQ(boxesAfter(1).size(), 1u);
    EXPECT_TRUE(platform.updaters.empty());
    EXPECT_FALSE(appState().ending);
}

TEST_F(FirmwareCheckTest, MultipleNetworksWarningRepeatsUntilOneNetworkRemains)
{
    platform.addresses = {"10.0.0.5", "192.168.1.20"};
    int warnings = 0;
    platform.onBox = [&](const RecordedBox &box) {
        if (box.text == expectedNetworksWarning && ++warnings == 2)
            platform.addresses = {"192.168.1.20"};
    };
    platform.answers = {MsgOK, MsgOK, MsgOK, MsgCancel};
    offer.check();

    ASSERT_EQ(boxesAfter(4).size(), 4u);
    for (size_t i : {1, 2}) {
        EXPECT_EQ(platform.boxes[i].text, expectedNetworksWarning);
        EXPECT_EQ(platform.boxes[i].icon, MsgIcon::Information);
        EXPECT_EQ(platform.boxes[i].buttons, MsgButtons::OKCancel);
        EXPECT_FALSE(platform.boxes[i].window);
    }
    EXPECT_EQ(platform.boxes[3].text, expectedPowerWarning);
    EXPECT_EQ(platform.boxes[3].icon, MsgIcon::Critical);
    EXPECT_TRUE(platform.updaters.empty());   // Cancel in the power warning
}

TEST_F(FirmwareCheckTest, NetworksAreCountedAsDiscoverySeesThem)
{
    // Two addresses on one interface are one network; the command line's
    // list replaces the PC's own.
    platform.networks = {{"10.0.0.5", {}, "eth0", true},
                         {"10.0.1.5", {}, "eth0", true},
                         {"172.17.0.1", {}, "docker0", false}};
    platform.answers = {MsgOK, MsgCancel};
    offer.check();
    EXPECT_EQ(boxesAfter(2), (Lines{expectedPrompt, expectedPowerWarning}));
}

TEST_F(FirmwareCheckTest, AcceptingEverythingStartsTheUpdaterAndEnds)
{
    offer.check();
    ASSERT_TRUE(waitUntil([] { return appState().ending; }, 8000));
    ASSERT_EQ(platform.updaters.size(), 1u);
    EXPECT_EQ(platform.updaters[0].program, folder.path() + "nrfwupdate");
    EXPECT_EQ(platform.updaters[0].arguments,
              (Lines{"127.0.0.2", folder.path() + "download/test_out.hex"}));
    EXPECT_EQ(platform.closedAll, 1);
    EXPECT_EQ(platform.boxTexts(), (Lines{expectedPrompt, expectedPowerWarning}));
}

TEST_F(FirmwareCheckTest, TheLastAnswerIsCheckedAgainstWhatHoldsByThen)
{
    platform.holdBoxes = true;
    offer.check();
    platform.answerOpenBox(MsgOK);
    ASSERT_TRUE(waitUntil([&] { return platform.boxes.size() == 2; }, 2000));
    monitorState().hold(MonitorHold::Countdown);   // the device asked for a power action meanwhile
    platform.answerOpenBox(MsgOK);
    ASSERT_TRUE(waitUntil([&] { return platform.boxes.size() == 3; }, 2000));
    EXPECT_EQ(platform.boxes[2].text,
              "The firmware update was not started: a PC power action is being counted down.");
    EXPECT_TRUE(platform.updaters.empty());
    monitorState().release(MonitorHold::Countdown);
    EXPECT_FALSE(appState().ending);
}

TEST_F(FirmwareCheckTest, AnUpdaterThatCannotStartIsReportedAndTheMonitorGoesOn)
{
    platform.updaterStarts = false;
    offer.check();
    ASSERT_EQ(boxesAfter(3).size(), 3u);
    EXPECT_EQ(platform.boxes[2].icon, MsgIcon::Critical);
    EXPECT_TRUE(platform.boxes[2].text.starts_with("Cannot start the firmware updater "
                                                   + folder.path() + "nrfwupdate"));
    EXPECT_TRUE(platform.boxes[2].text.ends_with(" (53)"));
    EXPECT_EQ(folder.logLines().size(), 1u);
    EXPECT_FALSE(appState().ending);
    EXPECT_EQ(platform.closedAll, 0);
    EXPECT_TRUE(monitorState().polling());
}

// The check as discovery runs it, against the simulated device.
class FirmwareCheckAfterDiscovery : public FirmwareCheckTest {
protected:
    FirmwareCheckAfterDiscovery()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
        monitorState().setWatching(false);
        platform.addresses = {"127.0.0.1"};
    }
    // One discovery tick, run to its end.
    void searchOnce()
    {
        search.tick();
        waitUntil([&] { return !search.searching(); }, 30000);
    }

    static pallixsim::SimOptions firmware(const char *version)
    {
        pallixsim::SimOptions options;
        options.firmware = version;
        return options;
    }

    WatchEvents events;
    DeviceSearch search{events};
};

TEST_F(FirmwareCheckAfterDiscovery, AnOlderDeviceIsOfferedItsUpdateWhileItIsWatched)
{
    SimulatedDevice device(firmware("01.02"));
    platform.holdBoxes = true;
    searchOnce();

    ASSERT_EQ(platform.boxes.size(), 1u);
    const std::string prompt = platform.boxes[0].text;
    EXPECT_TRUE(contains(prompt, "   Local Version: 01.02\r\n"));
    EXPECT_TRUE(contains(prompt, "   IP Address: 127.0.0.2\r\n"));
    EXPECT_TRUE(contains(prompt, "   MAC Address: " + device.sim.mac(1) + "\r\n"));
    EXPECT_TRUE(monitorState().polling());
    EXPECT_FALSE(search.discoveryTimer.isActive());
}

TEST_F(FirmwareCheckAfterDiscovery, TheCarriedVersionAsksNothing)
{
    SimulatedDevice device(firmware("01.03"));
    searchOnce();
    EXPECT_TRUE(boxesAfter(0).empty());
    EXPECT_EQ(appState().firmwareVersion, "01.03");
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(FirmwareCheckAfterDiscovery, AcceptingHandsTheDeviceToTheUpdater)
{
    SimulatedDevice device(firmware("01.02"));
    search.tick();
    ASSERT_TRUE(waitUntil([] { return appState().ending; }, 8000));
    ASSERT_EQ(platform.updaters.size(), 1u);
    EXPECT_EQ(platform.updaters[0].arguments.at(0), "127.0.0.2");
    EXPECT_EQ(platform.closedAll, 1);
}

}   // namespace
