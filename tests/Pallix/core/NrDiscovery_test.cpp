// Finding the device: address helpers, one discovery run, and the search with its retries.
#include "AppState.h"
#include "AppTestSupport.h"
#include "DeviceSearch.h"
#include "FakePlatform.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "RecordingWatch.h"
#include "SimulatedDevice.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

TEST(BroadcastAddressOf, ReplacesTheLastPartWith255)
{
    EXPECT_EQ(broadcastAddress("192.168.1.20"), QStringLiteral("192.168.1.255"));
    EXPECT_EQ(broadcastAddress("10.0.0.5"), QStringLiteral("10.0.0.255"));
    EXPECT_EQ(broadcastAddress("a.b"), QStringLiteral("a.255"));
    EXPECT_THROW(broadcastAddress("localhost"), NrError);
}

TEST(AddressFromReply, IsTheThirdField)
{
    EXPECT_EQ(deviceAddressFromReply("A:B:192.168.1.50:rest"), QStringLiteral("192.168.1.50"));
    EXPECT_EQ(deviceAddressFromReply("NERRIN:PALLIX:127.0.0.2:MAC:00-11-22-33-44-55:FW:01.03"),
              QStringLiteral("127.0.0.2"));
    EXPECT_EQ(deviceAddressFromReply("A:B::rest"), QString());
    try {
        deviceAddressFromReply("A:B:192.168.1.50");
        FAIL() << "no error raised";
    } catch (const NrError &error) {
        EXPECT_EQ(error.number(), 1);
        EXPECT_EQ(error.description(), QStringLiteral("No Pallix detected."));
    }
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
        for (const QString &line : folder.logLines()) {
            if (line == QStringLiteral("Discovery Count < 1 ")) ++runs;
            static const QRegularExpression repeated(
                QStringLiteral("^Discovery Count < 1  \\(repeated (\\d+) times?\\)$"));
            if (const auto match = repeated.match(line); match.hasMatch())
                runs += match.captured(1).toInt();
        }
        return runs;
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
    runDiscovery();
    const AppState &state = appState();
    EXPECT_FALSE(state.discoveryFailed);
    EXPECT_EQ(state.deviceCount, 1);
    EXPECT_EQ(state.deviceList, (QStringList{"127.0.0.2", ""}));
    EXPECT_EQ(state.firmwareVersion, QStringLiteral("01.03"));
    EXPECT_EQ(state.macAddress.toStdString(), device.sim.mac(1));
    EXPECT_TRUE(monitorState().watching());
    EXPECT_EQ(discoveryLines(), 0);
}

TEST_F(DiscoveryTest, TwoDevicesAreListedInReplyOrderWithASpare)
{
    pallixsim::SimOptions options;
    options.devices = 2;
    SimulatedDevice devices(options);
    runDiscovery();
    const AppState &state = appState();
    EXPECT_EQ(state.deviceCount, 2);
    ASSERT_EQ(state.deviceList.size(), 3);
    QStringList found = state.deviceList.mid(0, 2);
    found.sort();
    EXPECT_EQ(found, (QStringList{"127.0.0.2", "127.0.0.3"}));
    EXPECT_TRUE(state.deviceList[2].isEmpty());
}

TEST_F(DiscoveryTest, NoAddressCountsAsNoDevice)
{
    platform.addresses.clear();
    runDiscovery();
    EXPECT_TRUE(appState().discoveryFailed);
    EXPECT_EQ(discoveryLines(), 1);
    EXPECT_FALSE(monitorState().watching());
}

TEST_F(DiscoveryTest, ASearchWithoutADeviceLogsFiveLinesAndKeepsTheTimerRunning)
{
    DeviceSearch &search = tray.search;
    search.start(DeviceSearch::StartupInterval);
    search.tick();
    EXPECT_EQ(discoveryLines(), 5);
    EXPECT_TRUE(search.lastDiscoveryFailed);
    EXPECT_TRUE(search.discoveryTimer.isActive());
    EXPECT_EQ(search.discoveryTicks, 1);
    EXPECT_EQ(tray.icons, (QList<int>{1, 1}));   // the first search shows its state
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(DiscoveryTest, ASuccessfulSearchTurnsTheIconRedAndStartsTheMonitor)
{
    SimulatedDevice device;
    DeviceSearch &search = tray.search;
    search.start(DeviceSearch::StartupInterval);
    search.tick();
    EXPECT_EQ(tray.icons, (QList<int>{1, 0}));
    EXPECT_FALSE(search.discoveryTimer.isActive());
    EXPECT_TRUE(monitorState().watching());
    EXPECT_FALSE(search.lastDiscoveryFailed);
    EXPECT_EQ(search.discoveryTicks, 1);

    // A rediscovery after a single device error: red again, not left gray.
    tray.icons.clear();
    search.tick();
    EXPECT_EQ(tray.icons, QList<int>{0});
    EXPECT_EQ(search.discoveryTicks, 2);
}

TEST_F(DiscoveryTest, ATickDueDuringASearchIsSkipped)
{
    DeviceSearch search;
    int nested = 0;
    // The first wait of the search runs events; a tick then must not start a second search.
    QTimer::singleShot(100, [&] {
        search.tick();
        ++nested;
    });
    search.tick();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(search.discoveryTicks, 1);
    EXPECT_EQ(discoveryLines(), 5);
}

}   // namespace
