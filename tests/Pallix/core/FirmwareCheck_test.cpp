#include "AppState.h"
#include "AppTestSupport.h"
#include "DeviceSearch.h"
#include "FakePlatform.h"
#include "FirmwareCheck.h"
#include "MonitorState.h"
#include "NrErrors.h"
#include "SimulatedDevice.h"

#include <gtest/gtest.h>

namespace {

const QString expectedPrompt = QStringLiteral("Your Pallix requires a firmware update!\r\n"
                                              "\r\n"
                                              "   Local Version: 01.04\r\n"
                                              "   New Version: 01.03\r\n"
                                              "\r\n"
                                              "   IP Address: 127.0.0.2\r\n"
                                              "   MAC Address: 00-50-C2-8F-10-01\r\n"
                                              "\r\n"
                                              "Update now?");

const QString expectedNetworksWarning = QStringLiteral(
    "Pallix detects multiple networks.\r\n"
    "Please disable any wireless or secondary network devices before firmware update.");

const QString expectedPowerWarning = QStringLiteral(
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
        appState().deviceList = {QStringLiteral("127.0.0.2"), QString()};
        appState().deviceCount = 1;
        appState().macAddress = QStringLiteral("00-50-C2-8F-10-01");
        appState().firmwareVersion = QStringLiteral("01.04");
        monitorState().setWatching(true);
    }

    // The boxes shown so far, once the answered ones have had their turn.
    QStringList boxesAfter(int count)
    {
        waitUntil([&] { return platform.boxes.size() >= count; }, 8000);
        waitUntil([] { return false; }, 50);
        return platform.boxTexts();
    }

    TestAppFolder folder;
    FakePlatform platform;
};

TEST_F(FirmwareCheckTest, TheCarriedVersionAsksNothing)
{
    appState().firmwareVersion = QStringLiteral("01.03");
    firmwareCheck();
    EXPECT_TRUE(boxesAfter(0).isEmpty());
}

class AnyOtherVersion : public FirmwareCheckTest,
                        public ::testing::WithParamInterface<const char *> {};

TEST_P(AnyOtherVersion, IsOfferedInTheMessageWindow)
{
    appState().firmwareVersion = QString::fromLatin1(GetParam());
    platform.answers = {MsgCancel};
    firmwareCheck();
    ASSERT_EQ(boxesAfter(1).size(), 1);
    EXPECT_TRUE(platform.boxes[0].window);
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("   Local Version: ")
                                                + QString::fromLatin1(GetParam()) + "\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Versions, AnyOtherVersion,
                         ::testing::Values("01.04", "1.03", "01.02", "", "01.03 "));

TEST_F(FirmwareCheckTest, TheOpenPromptLeavesTheMonitorWatchingAndComesOncePerRun)
{
    platform.holdBoxes = true;
    firmwareCheck();
    ASSERT_EQ(platform.boxTexts(), QStringList{expectedPrompt});
    EXPECT_TRUE(platform.boxes[0].window);
    EXPECT_TRUE(monitorState().polling());

    platform.answerOpenBox(MsgCancel);
    firmwareCheck();   // the next discovery
    EXPECT_EQ(boxesAfter(1).size(), 1);
    EXPECT_TRUE(platform.updaters.isEmpty());
    EXPECT_FALSE(appState().ending);
}

TEST_F(FirmwareCheckTest, MultipleNetworksWarningRepeatsUntilOneNetworkRemains)
{
    platform.addresses = {QStringLiteral("10.0.0.5"), QStringLiteral("192.168.1.20")};
    int warnings = 0;
    platform.onBox = [&](const RecordedBox &box) {
        if (box.text == expectedNetworksWarning && ++warnings == 2)
            platform.addresses = {QStringLiteral("192.168.1.20")};
    };
    platform.answers = {MsgOK, MsgOK, MsgOK, MsgCancel};
    firmwareCheck();

    ASSERT_EQ(boxesAfter(4).size(), 4);
    for (int i : {1, 2}) {
        EXPECT_EQ(platform.boxes[i].text, expectedNetworksWarning);
        EXPECT_EQ(platform.boxes[i].icon, MsgIcon::Information);
        EXPECT_EQ(platform.boxes[i].buttons, MsgButtons::OKCancel);
        EXPECT_FALSE(platform.boxes[i].window);
    }
    EXPECT_EQ(platform.boxes[3].text, expectedPowerWarning);
    EXPECT_EQ(platform.boxes[3].icon, MsgIcon::Critical);
    EXPECT_TRUE(platform.updaters.isEmpty());   // Cancel in the power warning
}

TEST_F(FirmwareCheckTest, NetworksAreCountedAsDiscoverySeesThem)
{
    // Two addresses on one interface are one network; the command line's
    // list replaces the PC's own.
    platform.networks = {{QStringLiteral("10.0.0.5"), {}, QStringLiteral("eth0"), true},
                         {QStringLiteral("10.0.1.5"), {}, QStringLiteral("eth0"), true},
                         {QStringLiteral("172.17.0.1"), {}, QStringLiteral("docker0"), false}};
    platform.answers = {MsgOK, MsgCancel};
    firmwareCheck();
    EXPECT_EQ(boxesAfter(2), (QStringList{expectedPrompt, expectedPowerWarning}));
}

TEST_F(FirmwareCheckTest, AcceptingEverythingStartsTheUpdaterAndEnds)
{
    firmwareCheck();
    ASSERT_TRUE(waitUntil([] { return appState().ending; }, 8000));
    ASSERT_EQ(platform.updaters.size(), 1);
    EXPECT_EQ(platform.updaters[0].program, folder.path() + QStringLiteral("nrfwupdate"));
    EXPECT_EQ(platform.updaters[0].arguments,
              (QStringList{QStringLiteral("127.0.0.2"),
                           folder.path() + QStringLiteral("download/test_out.hex")}));
    EXPECT_EQ(platform.closedAll, 1);
    EXPECT_EQ(platform.boxTexts(), (QStringList{expectedPrompt, expectedPowerWarning}));
}

TEST_F(FirmwareCheckTest, TheLastAnswerIsCheckedAgainstWhatHoldsByThen)
{
    platform.holdBoxes = true;
    firmwareCheck();
    platform.answerOpenBox(MsgOK);
    ASSERT_EQ(platform.boxes.size(), 2);
    monitorState().hold(MonitorHold::Countdown);   // the device asked for a power action meanwhile
    platform.answerOpenBox(MsgOK);
    ASSERT_EQ(platform.boxes.size(), 3);
    EXPECT_EQ(platform.boxes[2].text, QStringLiteral("The firmware update was not started: a PC "
                                                     "power action is being counted down."));
    EXPECT_TRUE(platform.updaters.isEmpty());
    EXPECT_FALSE(appState().ending);
}

TEST_F(FirmwareCheckTest, AnUpdaterThatCannotStartIsReportedAndTheMonitorGoesOn)
{
    platform.updaterStarts = false;
    firmwareCheck();
    ASSERT_EQ(boxesAfter(3).size(), 3);
    EXPECT_EQ(platform.boxes[2].icon, MsgIcon::Critical);
    EXPECT_TRUE(platform.boxes[2].text.startsWith(
        QStringLiteral("Cannot start the firmware updater ") + folder.path() + "nrfwupdate"));
    EXPECT_TRUE(platform.boxes[2].text.endsWith(QStringLiteral(" (53)")));
    EXPECT_EQ(folder.logLines().size(), 1);
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
        platform.addresses = {QStringLiteral("127.0.0.1")};
    }

    static pallixsim::SimOptions firmware(const char *version)
    {
        pallixsim::SimOptions options;
        options.firmware = version;
        return options;
    }

    DeviceSearch search;
};

TEST_F(FirmwareCheckAfterDiscovery, AnOlderDeviceIsOfferedItsUpdateWhileItIsWatched)
{
    SimulatedDevice device(firmware("01.02"));
    platform.holdBoxes = true;
    search.tick();

    ASSERT_EQ(platform.boxes.size(), 1);
    const QString prompt = platform.boxes[0].text;
    EXPECT_TRUE(prompt.contains(QStringLiteral("   Local Version: 01.02\r\n")));
    EXPECT_TRUE(prompt.contains(QStringLiteral("   IP Address: 127.0.0.2\r\n")));
    EXPECT_TRUE(prompt.contains(QStringLiteral("   MAC Address: ")
                                + QString::fromStdString(device.sim.mac(1)) + "\r\n"));
    EXPECT_TRUE(monitorState().polling());
    EXPECT_FALSE(search.discoveryTimer.isActive());
}

TEST_F(FirmwareCheckAfterDiscovery, TheCarriedVersionAsksNothing)
{
    SimulatedDevice device(firmware("01.03"));
    search.tick();
    EXPECT_TRUE(boxesAfter(0).isEmpty());
    EXPECT_EQ(appState().firmwareVersion, QStringLiteral("01.03"));
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(FirmwareCheckAfterDiscovery, AcceptingHandsTheDeviceToTheUpdater)
{
    SimulatedDevice device(firmware("01.02"));
    search.tick();
    ASSERT_TRUE(waitUntil([] { return appState().ending; }, 8000));
    ASSERT_EQ(platform.updaters.size(), 1);
    EXPECT_EQ(platform.updaters[0].arguments.value(0), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(platform.closedAll, 1);
}

}   // namespace
