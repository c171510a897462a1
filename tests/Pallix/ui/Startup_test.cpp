// Start-up of the tray window: single instance, the notification area, the first search.
#include "app/AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "app/LogFile.h"
#include "SimulatedDevice.h"
#include "QtText.h"
#include "frmPallixSysTray.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

class StartupTest : public ::testing::Test {
protected:
    StartupTest()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
    }
    // Starts and waits out the first search.
    bool startAndSearch(frmPallixSysTray &window)
    {
        const bool started = window.start();
        waitUntil([&] { return !window.search.searching(); }, 60000);
        return started;
    }

    FakePlatform platform;
    TestAppFolder folder;
};

TEST_F(StartupTest, ASecondCopyIsRefusedBeforeTheIconAppears)
{
    platform.copies = 2;
    frmPallixSysTray window;
    EXPECT_FALSE(window.start());
    EXPECT_EQ(platform.boxTexts(), Lines{"Pallix Control Center is already running."});
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::OK);
    EXPECT_FALSE(window.trayIcon.isVisible());
    EXPECT_FALSE(window.search.discoveryTimer.isActive());
    EXPECT_TRUE(folder.logLines().empty());
}

TEST_F(StartupTest, TheRunningServiceIsNamedAndNoSearchStarts)
{
    platform.monitorHolder = MonitorHolder{"pallixd", 4242, 0};
    frmPallixSysTray window;
    EXPECT_FALSE(window.start());
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(contains(platform.boxes[0].text, "systemctl stop pallixd"));
    EXPECT_TRUE(contains(platform.boxes[0].text, "process 4242"));
    EXPECT_FALSE(window.trayIcon.isVisible());
    EXPECT_FALSE(window.search.discoveryTimer.isActive());
}

// Every login would greet the user with that box: started at login, the
// gray icon's tooltip and the log say why it does not watch, and it ends.
TEST_F(StartupTest, AtLoginBesideTheServiceItSaysSoQuietly)
{
    platform.monitorHolder = MonitorHolder{"pallixd", 4242, 0};
    appState().startedAtLogin = true;
    frmPallixSysTray window;
    EXPECT_TRUE(window.start());
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(window.trayIcon.isVisible());
    EXPECT_EQ(window.iconIndex(), 1);
    EXPECT_TRUE(contains(stdText(window.trayIcon.toolTip()), "The Pallix service pallixd"));
    ASSERT_EQ(folder.logLines().size(), 1u);
    EXPECT_TRUE(contains(folder.logLines()[0], "The Pallix service pallixd"));
    EXPECT_FALSE(window.search.discoveryTimer.isActive());
}

TEST_F(StartupTest, WithoutANotificationAreaItWaitsThenSaysSoAndEnds)
{
    platform.tray = false;
    frmPallixSysTray window;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(window.start(600));
    EXPECT_GE(clock.elapsed(), 600);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(contains(platform.boxes[0].text, "notification area"));
    EXPECT_FALSE(window.trayIcon.isVisible());
}

TEST_F(StartupTest, ANotificationAreaThatAppearsLateIsUsed)
{
    platform.tray = false;
    QTimer::singleShot(300, [&] { platform.tray = true; });
    SimulatedDevice device;
    frmPallixSysTray window;
    EXPECT_TRUE(window.start(5000));
    EXPECT_TRUE(window.trayIcon.isVisible());
}

TEST_F(StartupTest, FindsTheDeviceWatchesItAndShowsTheRedIcon)
{
    SimulatedDevice device;
    frmPallixSysTray window;
    ASSERT_TRUE(startAndSearch(window));
    EXPECT_TRUE(window.trayIcon.isVisible());
    EXPECT_EQ(window.trayIcon.toolTip(),
              QStringLiteral("Pallix Control Center — watching 127.0.0.2 (firmware 01.03)"));
    EXPECT_EQ(window.iconIndex(), 0);
    EXPECT_TRUE(window.monitor.monitorTimer.isActive());
    EXPECT_FALSE(window.search.discoveryTimer.isActive());
    EXPECT_EQ(window.search.discoveryTicks, 1);
    EXPECT_EQ(appState().firstDevice(), "127.0.0.2");
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_TRUE(folder.logLines().empty());
}

TEST_F(StartupTest, WithoutADeviceItKeepsSearchingWithTheGrayIcon)
{
    frmPallixSysTray window;
    ASSERT_TRUE(startAndSearch(window));
    EXPECT_EQ(window.iconIndex(), 1);
    EXPECT_TRUE(window.search.discoveryTimer.isActive());
    EXPECT_EQ(window.search.discoveryTimer.interval(), DeviceSearch::StartupInterval);
    EXPECT_FALSE(window.monitor.monitorTimer.isActive());
    flushLogFile();   // five runs without a find: one line and its count
    EXPECT_EQ(folder.logLines(),
              (Lines{"Discovery Count < 1 ", "Discovery Count < 1  (repeated 4 times)"}));
}

TEST_F(StartupTest, AnUnwritableLogIsReportedAndTheSearchGoesOn)
{
    QDir().mkdir(qText(folder.path() + "log.txt"));   // not even root can append to it
    frmPallixSysTray window;
    ASSERT_TRUE(startAndSearch(window));
    ASSERT_EQ(platform.boxes.size(), 1u);   // once per run, not once per failed search
    EXPECT_TRUE(contains(platform.boxes[0].text, folder.path() + "log.txt"));
    EXPECT_FALSE(window.monitor.monitorTimer.isActive());
    EXPECT_EQ(window.iconIndex(), 1);
    EXPECT_TRUE(window.search.discoveryTimer.isActive());
}

TEST_F(StartupTest, DiscoveryProcessSearchesEveryTenSecondsUntilFound)
{
    SimulatedDevice device;
    frmPallixSysTray window;
    ASSERT_TRUE(startAndSearch(window));
    window.mnuDiscoverDevicesClicked();
    EXPECT_FALSE(window.monitor.monitorTimer.isActive());   // while it searches
    EXPECT_EQ(window.search.discoveryTimer.interval(), DeviceSearch::SlowInterval);
    waitUntil([&] { return !window.search.searching(); }, 60000);
    EXPECT_EQ(window.search.discoveryTicks, 2);
    // Found again: the search stops, the monitor runs, and a later loss
    // searches at the normal pace.
    EXPECT_FALSE(window.search.discoveryTimer.isActive());
    EXPECT_EQ(window.search.discoveryTimer.interval(), DeviceSearch::StartupInterval);
    EXPECT_TRUE(window.monitor.monitorTimer.isActive());
}

}   // namespace
