// Finding the device: address helpers, one discovery run, and the search with its retries.
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "RecordingWatch.h"
#include "SimulatedDevice.h"
#include "app/AppState.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "watch/DeviceSearch.h"
#include "watch/MonitorState.h"
#include "watch/NrDiscovery.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <regex>

namespace {

using Lines = std::vector<std::string>;

TEST(BroadcastAddressOf, ReplacesTheLastPartWith255)
{
    EXPECT_EQ(broadcastAddress("192.168.1.20"), "192.168.1.255");
    EXPECT_EQ(broadcastAddress("10.0.0.5"), "10.0.0.255");
    EXPECT_EQ(broadcastAddress("a.b"), "a.255");
    EXPECT_THROW(broadcastAddress("localhost"), NrError);
}

TEST(AddressFromReply, IsTheThirdField)
{
    EXPECT_EQ(deviceAddressFromReply("A:B:192.168.1.50:rest"), "192.168.1.50");
    EXPECT_EQ(deviceAddressFromReply("NERRIN:PALLIX:127.0.0.2:MAC:00-11-22-33-44-55:FW:01.03"),
              "127.0.0.2");
    EXPECT_EQ(deviceAddressFromReply("A:B::rest"), "");
    try {
        deviceAddressFromReply("A:B:192.168.1.50");
        FAIL() << "no error raised";
    } catch (const NrError &error) {
        EXPECT_EQ(error.number(), 1);
        EXPECT_EQ(error.description(), "No Pallix detected.");
    }
}

// Each record says its own device's, as the library reads the first one.
TEST(MacAndFirmwareFromReply, AreTheFieldsAfterTheFourthAndSixthColon)
{
    const std::string record = "NERRIN:PALLIX:127.0.0.3:MAC:02-50-4C-00-00-02:FW:01.04b";
    EXPECT_EQ(macAddressFromReply(record), "02-50-4C-00-00-02");
    EXPECT_EQ(firmwareVersionFromReply(record), "01.04");
    EXPECT_EQ(macAddressFromReply("A:B:C"), "");
}

class DiscoveryTest : public ::testing::Test {
protected:
    DiscoveryTest()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
    }
    // Runs of no find, as the log counts them: a line, then its repeats.
    int discoveryLines() const
    {
        flushLogFile();
        int runs = 0;
        static const std::regex repeated("^Discovery Count < 1  \\(repeated (\\d+) times?\\)$");
        for (const std::string &line : folder.logLines()) {
            if (line == "Discovery Count < 1 ") ++runs;
            std::smatch match;
            if (std::regex_match(line, match, repeated)) runs += std::stoi(match[1]);
        }
        return runs;
    }

    // One discovery tick, run to its end.
    void searchOnce(DeviceSearch &search)
    {
        search.tick();
        waitUntil([&] { return !search.searching(); }, 60000);
    }

    FakePlatform platform;
    TestAppFolder folder;
    RecordingWatch tray;
};

TEST_F(DiscoveryTest, FindsTheDeviceOnTheSecondNetwork)
{
    SimulatedDevice device;
    // 10.0.0.255 cannot leave the private namespace; the loopback network answers.
    platform.addresses = {"10.0.0.5", "127.0.0.1"};
    runTask(runDiscovery());
    const AppState &state = appState();
    EXPECT_FALSE(state.discoveryFailed);
    EXPECT_EQ(state.deviceCount, 1);
    EXPECT_EQ(state.deviceList, (Lines{"127.0.0.2", ""}));
    EXPECT_EQ(state.firmwareVersion, "01.03");
    EXPECT_EQ(state.macAddress, device.sim.mac(1));
    EXPECT_TRUE(monitorState().watching());
    EXPECT_EQ(discoveryLines(), 0);
}

TEST_F(DiscoveryTest, TwoDevicesAreListedInReplyOrderWithASpare)
{
    pallixsim::SimOptions options;
    options.devices = 2;
    SimulatedDevice devices(options);
    runTask(runDiscovery());
    const AppState &state = appState();
    EXPECT_EQ(state.deviceCount, 2);
    ASSERT_EQ(state.deviceList.size(), 3u);
    Lines found(state.deviceList.begin(), state.deviceList.begin() + 2);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Lines{"127.0.0.2", "127.0.0.3"}));
    EXPECT_TRUE(state.deviceList[2].empty());
}

TEST_F(DiscoveryTest, NoAddressCountsAsNoDevice)
{
    platform.addresses.clear();
    runTask(runDiscovery());
    EXPECT_TRUE(appState().discoveryFailed);
    EXPECT_EQ(discoveryLines(), 1);
    EXPECT_FALSE(monitorState().watching());
}

TEST_F(DiscoveryTest, ASearchWithoutADeviceLogsFiveLinesAndKeepsTheTimerRunning)
{
    DeviceSearch &search = tray.search;
    search.start(DeviceSearch::StartupInterval);
    searchOnce(search);
    EXPECT_EQ(discoveryLines(), 5);
    EXPECT_TRUE(search.lastDiscoveryFailed);
    EXPECT_TRUE(search.discoveryTimer.isActive());
    EXPECT_EQ(search.discoveryTicks, 1);
    EXPECT_EQ(tray.icons, (std::vector<int>{1, 1}));   // the first search shows its state
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(DiscoveryTest, ASuccessfulSearchTurnsTheIconRedAndStartsTheMonitor)
{
    SimulatedDevice device;
    DeviceSearch &search = tray.search;
    search.start(DeviceSearch::StartupInterval);
    searchOnce(search);
    EXPECT_EQ(tray.icons, (std::vector<int>{1, 0}));
    EXPECT_FALSE(search.discoveryTimer.isActive());
    EXPECT_TRUE(monitorState().watching());
    EXPECT_FALSE(search.lastDiscoveryFailed);
    EXPECT_EQ(search.discoveryTicks, 1);

    // A rediscovery after a single device error: red again, not left gray.
    tray.icons.clear();
    searchOnce(search);
    EXPECT_EQ(tray.icons, std::vector<int>{0});
    EXPECT_EQ(search.discoveryTicks, 2);
}

TEST_F(DiscoveryTest, ATickDueDuringASearchIsSkipped)
{
    WatchEvents events;
    DeviceSearch search(events);
    search.tick();
    // A tick while the first search waits must not start a second one.
    ASSERT_TRUE(waitUntil([] { return false; }, 100) || search.searching());
    search.tick();
    ASSERT_TRUE(waitUntil([&] { return !search.searching(); }, 60000));
    EXPECT_EQ(search.discoveryTicks, 1);
    EXPECT_EQ(discoveryLines(), 5);
}

}   // namespace
