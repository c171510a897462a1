// The power-action countdown: texts, power inputs, Now, Cancel and failures.
#include "AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "MonitorState.h"
#include "RecordingTray.h"
#include "SimulatedDevice.h"
#include "frmShutdown.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int PowerInEnable = 11;

class CountdownTest : public ::testing::Test {
protected:
    CountdownTest() {
        appState() = AppState{};
        appState().AppPath = folder.path();
        appState().DeviceList = {device.address(), QString()};
        appState().DeviceCount = 1;
        device.sim.setReg(1, PowerInEnable, 0);
        monitorState().setWatching(true);
    }
    ~CountdownTest() override { countdown.Timer1.stop(); countdown.hide(); }

    bool ended() const { return !countdown.isVisible() && !countdown.Timer1.isActive(); }

    FakePlatform platform;
    TestAppFolder folder;
    RecordingTray tray;
    SimulatedDevice device;
    frmShutdown &countdown = frmShutdown::instance();
};

TEST_F(CountdownTest, ShowsTheActionAndTheSecondsLeft) {
    countdown.Shutdown(1, 15);
    EXPECT_TRUE(countdown.isVisible());
    EXPECT_TRUE(countdown.Timer1.isActive());
    EXPECT_EQ(countdown.Timer1.interval(), 1000);
    EXPECT_EQ(countdown.cmdNow->text(), QStringLiteral("Shutdown Now."));
    EXPECT_EQ(countdown.lblShutdown->text(), QStringLiteral("Shutting down in 15 second(s)."));
    EXPECT_EQ(countdown.cmdCancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(countdown.windowTitle(), QStringLiteral("Nerrin Pallix™"));
    EXPECT_TRUE(countdown.windowFlags() & Qt::WindowStaysOnTopHint);
    countdown.tick();
    EXPECT_EQ(countdown.lblShutdown->text(), QStringLiteral("Shutting down in 14 second(s)."));
}

TEST_F(CountdownTest, AtZeroTheActionRunsOnceAndMonitoringResumes) {
    appState().DryRun = true;
    testing::internal::CaptureStdout();
    countdown.Shutdown(1, 2);
    const bool done = waitUntil([&] { return ended(); }, 5000);
    const std::string out = testing::internal::GetCapturedStdout();
    appState().DryRun = false;
    ASSERT_TRUE(done);
    EXPECT_EQ(out, "Dry run: systemctl poweroff\n");
    EXPECT_EQ(folder.logLines(), QStringList{"Dry run: systemctl poweroff"});
    EXPECT_EQ(countdown.Delay, 0);
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, AnEnabledPowerInputAbandonsIt) {
    device.sim.setReg(1, PowerInEnable, 0x01);
    device.command("input 1 on");
    countdown.Shutdown(1, 1);   // would run at this very tick
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(platform.commands.isEmpty());
    EXPECT_EQ(countdown.Delay, 1);
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, AnInputThatIsNotAPowerInputDoesNot) {
    device.sim.setReg(1, PowerInEnable, 0x01);
    device.command("input 2 on");
    countdown.Shutdown(2, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    ASSERT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(platform.commands[0].text(), QStringLiteral("systemctl reboot"));
}

TEST_F(CountdownTest, CancelEndsItWithoutActionOrDeviceWrites) {
    countdown.Shutdown(3, 30);
    device.sim.clearRequests();
    countdown.cmdCancel->click();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(monitorState().polling());
    waitUntil([] { return false; }, 1300);
    EXPECT_TRUE(platform.commands.isEmpty());
    EXPECT_EQ(device.sim.requestCount(1), 0u);
}

TEST_F(CountdownTest, ClosingTheWindowIsACancel) {
    countdown.Shutdown(3, 30);
    countdown.close();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, NowRunsTheActionAtTheNextTick) {
    countdown.Shutdown(5, 30);
    EXPECT_EQ(countdown.cmdNow->text(), QStringLiteral("Log Out Now."));
    EXPECT_EQ(countdown.lblShutdown->text(), QStringLiteral("Logging Out in 30 second(s)."));
    countdown.cmdNow->click();
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 2500));
    ASSERT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(platform.commands[0].program, QStringLiteral("loginctl"));
    EXPECT_EQ(platform.commands[0].arguments.value(0), QStringLiteral("terminate-session"));
}

TEST_F(CountdownTest, UnknownCodesCountDownWithEmptyTextsAndDoNothing) {
    countdown.Shutdown(9, 1);
    EXPECT_EQ(countdown.cmdNow->text(), QStringLiteral(" Now."));
    EXPECT_EQ(countdown.lblShutdown->text(), QStringLiteral(" in 1 second(s)."));
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(platform.commands.isEmpty());
}

TEST_F(CountdownTest, TheMonitorIsHeldForAsLongAsItCounts) {
    countdown.Shutdown(3, 30);
    EXPECT_FALSE(monitorState().polling());
    monitorState().setWatching(false);   // lost and found again meanwhile
    monitorState().setWatching(true);
    EXPECT_FALSE(monitorState().polling());
    countdown.cmdCancel->click();
    EXPECT_TRUE(monitorState().polling());
}

// A Cancel handled while the tick's input check lets events run ends the
// countdown there: the tick neither counts nor acts.
TEST_F(CountdownTest, ACancelDuringTheInputCheckIsFinal) {
    countdown.Shutdown(1, 1);
    countdown.Timer1.stop();
    QTimer::singleShot(0, [&] { countdown.cmdCancel->click(); });
    countdown.tick();
    EXPECT_TRUE(ended());
    EXPECT_EQ(countdown.Delay, 1);
    countdown.tick();
    EXPECT_TRUE(platform.commands.isEmpty());
}

TEST_F(CountdownTest, ANewCountdownStartedDuringTheCheckIsNotCountedByTheOldTick) {
    countdown.Shutdown(1, 1);
    countdown.Timer1.stop();
    QTimer::singleShot(0, [&] { countdown.Shutdown(2, 20); });
    countdown.tick();
    EXPECT_EQ(countdown.Delay, 20);
    EXPECT_TRUE(platform.commands.isEmpty());
}

// The request was acknowledged, so the device asked for real: without an
// answer the count goes on, logged once, and the search starts.
TEST_F(CountdownTest, AnUnreadableDeviceDoesNotStopTheCount) {
    device.command("offline");
    countdown.Shutdown(1, 2);
    countdown.Timer1.stop();
    countdown.tick();
    EXPECT_EQ(countdown.Delay, 1);
    EXPECT_EQ(tray.icons, QList<int>{1});
    EXPECT_EQ(tray.discoveryEnabled, 1);
    countdown.tick();   // no second wait on the device
    ASSERT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(platform.commands[0].text(), QStringLiteral("systemctl poweroff"));
    EXPECT_EQ(folder.logLines(), (QStringList{"Error: Get Global Status (3)(Status:0)",
                                              InputCheckSkippedText()}));
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(CountdownTest, AfterAFailedSearchItCountsOnWithoutABox) {
    appState().DiscoveryFailed = true;
    countdown.Shutdown(1, 3);
    countdown.Timer1.stop();
    for (int i = 0; i < 3; ++i) countdown.tick();
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(folder.logLines(), QStringList{InputCheckSkippedText()});
}

TEST_F(CountdownTest, AfterStandByTheNetworkGetsTimeBeforeFailuresCount) {
    countdown.Shutdown(4, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(monitorState().settling());
}

}  // namespace
