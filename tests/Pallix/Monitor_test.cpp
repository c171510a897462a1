// The device monitor: power-action request, power loss, a device that stops answering.
#include "AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "MonitorState.h"
#include "NrAPI.h"
#include "SimulatedDevice.h"
#include "WindowHooks.h"
#include "frmPallixSysTray.h"
#include "frmShutdown.h"

#include <QLabel>
#include <QRegularExpression>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

constexpr int GlobalStatus = 0, PowerOffDelay = 10, ShutdownAction = 16;

class MonitorTest : public ::testing::Test {
protected:
    MonitorTest() {
        appState() = AppState{};
        appState().AppPath = folder.path();
        EXPECT_TRUE(window.start());
        EXPECT_TRUE(window.monitor.Timer1.isActive());
        device.sim.clearRequests();
    }
    QStringList errorLines() const {
        return folder.logLines().filter(QRegularExpression(QStringLiteral("^Error: ")));
    }
    // One monitor tick now, the timer stopped so it cannot add its own.
    void tickOnce() {
        window.monitor.Timer1.stop();
        window.monitor.tick();
    }

    FakePlatform platform;
    TestAppFolder folder;
    SimulatedDevice device;
    frmPallixSysTray window;
};

TEST_F(MonitorTest, APowerActionRequestIsAcknowledgedAndCountedDownToItsAction) {
    device.sim.setReg(1, PowerOffDelay, 5);   // 2.5 s: 2 seconds, ties to even
    device.sim.setReg(1, ShutdownAction, 3);  // code 4
    device.command("power-request");
    frmShutdown &countdown = frmShutdown::instance();
    ASSERT_TRUE(waitUntil([&] { return countdown.isVisible(); }, 4000));
    EXPECT_FALSE(window.monitor.Timer1.isActive());
    EXPECT_EQ(device.writesTo(GlobalStatus), std::vector<int>{225});
    EXPECT_EQ(device.sim.reg(1, GlobalStatus) & 1, 0);
    EXPECT_EQ(countdown.ShutDownMode, 4);
    EXPECT_LE(countdown.Delay, 2);
    EXPECT_EQ(countdown.cmdNow->text(), QStringLiteral("Stand By Now."));

    ASSERT_TRUE(waitUntil([&] { return !platform.commands.isEmpty(); }, 4000));
    EXPECT_EQ(platform.commands[0].text(), QStringLiteral("systemctl suspend"));
    EXPECT_EQ(platform.commands.size(), 1);
    EXPECT_FALSE(countdown.isVisible());
    EXPECT_TRUE(window.monitor.Timer1.isActive());
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(MonitorTest, ThePowerActionWinsOverAPowerLossInTheSameStatus) {
    device.sim.setReg(1, PowerOffDelay, 60);
    device.sim.setReg(1, GlobalStatus, 0x41);
    tickOnce();
    EXPECT_TRUE(frmShutdown::instance().isVisible());
    EXPECT_EQ(frmShutdown::instance().Delay, 30);
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(device.writesTo(GlobalStatus), std::vector<int>{225});
    frmShutdown::instance().cmdCancel_Click();
    EXPECT_TRUE(platform.commands.isEmpty());
}

// The box waits for the user; the monitor does not: a request raised while
// it is open is counted down, and the loss is not reported twice.
TEST_F(MonitorTest, APowerLossBoxLeavesTheMonitorPolling) {
    platform.holdBoxes = true;
    device.sim.setReg(1, GlobalStatus, 0x40);
    tickOnce();
    EXPECT_EQ(platform.boxTexts(), QStringList{PowerLostText()});
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(device.writesTo(GlobalStatus), std::vector<int>{225});
    EXPECT_EQ(appState().LastGlobalStatus, 0x40);

    device.sim.setReg(1, GlobalStatus, 0xC0);   // still reported: no second box
    tickOnce();
    EXPECT_EQ(platform.boxes.size(), 1);

    device.sim.setReg(1, PowerOffDelay, 60);
    device.command("power-request");
    tickOnce();
    EXPECT_TRUE(frmShutdown::instance().isVisible());
    frmShutdown::instance().cmdCancel_Click();
    platform.answerOpenBox(MsgOK);
    device.sim.setReg(1, GlobalStatus, 0x80);   // a new loss after the box closed
    tickOnce();
    EXPECT_EQ(platform.boxes.size(), 2);
}

TEST_F(MonitorTest, OtherStatusBitsOnlyRefresh) {
    device.sim.setReg(1, GlobalStatus, 0x3E);
    tickOnce();
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_TRUE(device.writesTo(GlobalStatus).empty());
    EXPECT_FALSE(frmShutdown::instance().isVisible());
    EXPECT_EQ(appState().LastGlobalStatus, 0x3E);
}

TEST_F(MonitorTest, NothingIsPolledWhileDiscoveryHasFailed) {
    appState().DiscoveryFailed = true;
    tickOnce();
    EXPECT_EQ(device.sim.requestCount(1), 0u);
}

TEST_F(MonitorTest, ALostDeviceGraysTheIconLogsOnceAndIsFoundAgain) {
    device.sim.setReg(1, GlobalStatus, 0x0E);
    ASSERT_TRUE(waitUntil([&] { return appState().LastGlobalStatus == 0x0E; }, 4000));
    device.command("offline");
    ASSERT_TRUE(waitUntil([&] { return window.iconIndex() == 1; }, 8000));
    EXPECT_EQ(errorLines(), QStringList{"Error: Get Global Status (3)(Status:14)"});
    EXPECT_FALSE(window.monitor.Timer1.isActive());
    EXPECT_TRUE(window.search.tmrDiscovery.isActive());
    EXPECT_TRUE(platform.boxes.isEmpty());

    device.command("online");
    ASSERT_TRUE(waitUntil([&] { return window.iconIndex() == 0; }, 15000));
    EXPECT_TRUE(waitUntil([&] { return window.monitor.Timer1.isActive(); }, 2000));
    EXPECT_EQ(errorLines().size(), 1);
}

TEST_F(MonitorTest, TheEleventhFailureSwitchesQuietlyToSlowRediscovery) {
    device.command("offline");
    window.monitor.ErrorCount = 9;
    tickOnce();   // the tenth: reported
    EXPECT_EQ(window.monitor.ErrorCount, 10);
    EXPECT_EQ(errorLines().size(), 1);
    EXPECT_EQ(window.search.tmrDiscovery.interval(), DeviceSearch::StartupInterval);

    window.search.tmrDiscovery.stop();
    window.ChangeIcon(0);
    monitorState().setWatching(true);   // found again, still failing
    tickOnce();   // the eleventh: silent
    EXPECT_EQ(window.monitor.ErrorCount, 11);
    EXPECT_EQ(errorLines().size(), 1);
    EXPECT_EQ(window.iconIndex(), 0);
    EXPECT_TRUE(window.search.tmrDiscovery.isActive());
    EXPECT_EQ(window.search.tmrDiscovery.interval(), DeviceSearch::SlowInterval);
    EXPECT_FALSE(window.monitor.Timer1.isActive());
    EXPECT_TRUE(platform.boxes.isEmpty());

    // Found again after the slow switch: a new count, the normal pace.
    device.command("online");
    ASSERT_TRUE(waitUntil([&] { return window.monitor.Timer1.isActive(); }, 15000));
    EXPECT_EQ(window.monitor.ErrorCount, 0);
    EXPECT_EQ(window.search.tmrDiscovery.interval(), DeviceSearch::StartupInterval);
}

// A PC that slept: timers stood still while the wall clock went on. The
// network gets time to come back before a failure counts.
TEST_F(MonitorTest, AfterAClockJumpFailuresDoNotCountAtFirst) {
    qint64 now = 1'000'000;
    window.monitor.wallClockMs = [&] { return now; };
    tickOnce();
    device.command("offline");
    now += DeviceMonitor::Interval + DeviceMonitor::ClockJumpMs + 1000;
    tickOnce();
    EXPECT_TRUE(monitorState().settling());
    EXPECT_EQ(window.monitor.ErrorCount, 0);
    EXPECT_TRUE(errorLines().isEmpty());
    EXPECT_TRUE(monitorState().watching());
    EXPECT_EQ(window.iconIndex(), 0);

    monitorState().settle(0);
    tickOnce();
    EXPECT_EQ(errorLines().size(), 1);
}

TEST_F(MonitorTest, ACompletedTickResetsTheFailureCount) {
    window.monitor.ErrorCount = 7;
    tickOnce();
    EXPECT_EQ(window.monitor.ErrorCount, 0);
}

// With the configuration window open on another device, the lamp refresh
// must not leave that device selected: a self test running beside it would
// write its test values there.
TEST(MonitorWithConfigWindow, TheWatchedDeviceStaysSelectedAfterTheLampRefresh) {
    appState() = AppState{};
    FakePlatform platform;
    TestAppFolder folder;
    SimulatedDevice devices(pallixsim::SimOptions{.devices = 2});
    frmPallixSysTray window;
    ASSERT_TRUE(window.start());
    ASSERT_EQ(appState().DeviceCount, 2);
    ShowConfig();   // opens on the last device found
    ASSERT_TRUE(ConfigWindowVisible());

    window.monitor.Timer1.stop();
    devices.sim.clearRequests();
    window.monitor.tick();
    EXPECT_GE(devices.sim.requestCount(2), 4u);   // the lamps show the device in the window

    devices.sim.clearRequests();
    int value = 0;
    ASSERT_EQ(NrAPI::pallixGetPowerOnDelay(value), 0);
    EXPECT_EQ(devices.sim.requestCount(1), 1u);
    EXPECT_EQ(devices.sim.requestCount(2), 0u);
}

}  // namespace
