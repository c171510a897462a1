// The device monitor: power-action request, power loss, a device that stops answering.
#include "AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "MonitorState.h"
#include "NrAPI.h"
#include "RecordingWatch.h"
#include "SimulatedDevice.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace pallixsim::registers;

namespace {

class MonitorTest : public ::testing::Test {
protected:
    MonitorTest()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
        EXPECT_TRUE(NrAPI::load());
        watch.start();
        EXPECT_TRUE(watch.monitor.monitorTimer.isActive());
        device.sim.clearRequests();
    }
    QStringList errorLines() const
    {
        return folder.logLines().filter(QRegularExpression(QStringLiteral("^Error: ")));
    }
    // One monitor tick now, the timer stopped so it cannot add its own.
    void tickOnce()
    {
        watch.monitor.monitorTimer.stop();
        watch.monitor.tick();
    }

    FakePlatform platform;
    TestAppFolder folder;
    SimulatedDevice device;
    RecordingWatch watch;
    Countdown &countdown = watch.countdown;

    int iconIndex() const { return watch.icons.isEmpty() ? -1 : watch.icons.last(); }
};

TEST_F(MonitorTest, APowerActionRequestIsAcknowledgedAndCountedDownToItsAction)
{
    device.sim.setReg(1, kPowerOffDelay, 5);    // 2.5 s: 2 seconds, ties to even
    device.sim.setReg(1, kShutdownAction, 3);   // code 4
    device.command("power-request");
    ASSERT_TRUE(waitUntil([&] { return countdown.counting(); }, 4000));
    EXPECT_FALSE(watch.monitor.monitorTimer.isActive());
    EXPECT_EQ(device.writesTo(kGlobalStatus), std::vector<int>{225});
    EXPECT_EQ(device.sim.reg(1, kGlobalStatus) & 1, 0);
    EXPECT_EQ(countdown.mode(), 4);
    EXPECT_LE(countdown.secondsLeft(), 2);

    ASSERT_TRUE(waitUntil([&] { return !platform.commands.isEmpty(); }, 4000));
    EXPECT_EQ(platform.commands[0].text(), QStringLiteral("systemctl suspend"));
    EXPECT_EQ(platform.commands.size(), 1);
    EXPECT_FALSE(countdown.counting());
    EXPECT_TRUE(watch.monitor.monitorTimer.isActive());
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(MonitorTest, ThePowerActionWinsOverAPowerLossInTheSameStatus)
{
    device.sim.setReg(1, kPowerOffDelay, 60);
    device.sim.setReg(1, kGlobalStatus, 0x41);
    tickOnce();
    EXPECT_TRUE(countdown.counting());
    EXPECT_EQ(countdown.secondsLeft(), 30);
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(device.writesTo(kGlobalStatus), std::vector<int>{225});
    countdown.cancel();
    EXPECT_TRUE(platform.commands.isEmpty());
}

// The box waits for the user; the monitor does not: a request raised while
// it is open is counted down, and the loss is not reported twice.
TEST_F(MonitorTest, APowerLossBoxLeavesTheMonitorPolling)
{
    platform.holdBoxes = true;
    device.sim.setReg(1, kGlobalStatus, 0x40);
    tickOnce();
    EXPECT_EQ(platform.boxTexts(), QStringList{powerLostText()});
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(device.writesTo(kGlobalStatus), std::vector<int>{225});
    EXPECT_EQ(appState().lastGlobalStatus, 0x40);

    device.sim.setReg(1, kGlobalStatus, 0xC0);   // still reported: no second box
    tickOnce();
    EXPECT_EQ(platform.boxes.size(), 1);

    device.sim.setReg(1, kPowerOffDelay, 60);
    device.command("power-request");
    tickOnce();
    EXPECT_TRUE(countdown.counting());
    countdown.cancel();
    platform.answerOpenBox(MsgOK);
    device.sim.setReg(1, kGlobalStatus, 0x80);   // a new loss after the box closed
    tickOnce();
    EXPECT_EQ(platform.boxes.size(), 2);
}

TEST_F(MonitorTest, OtherStatusBitsOnlyRefresh)
{
    device.sim.setReg(1, kGlobalStatus, 0x3E);
    tickOnce();
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_TRUE(device.writesTo(kGlobalStatus).empty());
    EXPECT_FALSE(countdown.counting());
    EXPECT_EQ(appState().lastGlobalStatus, 0x3E);
}

TEST_F(MonitorTest, NothingIsPolledWhileDiscoveryHasFailed)
{
    appState().discoveryFailed = true;
    tickOnce();
    EXPECT_EQ(device.sim.requestCount(1), 0u);
}

TEST_F(MonitorTest, ALostDeviceGraysTheIconLogsOnceAndIsFoundAgain)
{
    device.sim.setReg(1, kGlobalStatus, 0x0E);
    ASSERT_TRUE(waitUntil([&] { return appState().lastGlobalStatus == 0x0E; }, 4000));
    device.command("offline");
    ASSERT_TRUE(waitUntil([&] { return iconIndex() == 1; }, 8000));
    EXPECT_EQ(errorLines(), QStringList{"Error: Get Global Status (3)(Status:14)"});
    EXPECT_FALSE(watch.monitor.monitorTimer.isActive());
    EXPECT_TRUE(watch.search.discoveryTimer.isActive());
    EXPECT_TRUE(platform.boxes.isEmpty());

    device.command("online");
    ASSERT_TRUE(waitUntil([&] { return iconIndex() == 0; }, 15000));
    EXPECT_TRUE(waitUntil([&] { return watch.monitor.monitorTimer.isActive(); }, 2000));
    EXPECT_EQ(errorLines().size(), 1);
}

TEST_F(MonitorTest, TheEleventhFailureSwitchesQuietlyToSlowRediscovery)
{
    device.command("offline");
    watch.monitor.errorCount = 9;
    tickOnce();   // the tenth: reported
    EXPECT_EQ(watch.monitor.errorCount, 10);
    EXPECT_EQ(errorLines().size(), 1);
    EXPECT_EQ(watch.search.discoveryTimer.interval(), DeviceSearch::StartupInterval);

    watch.search.discoveryTimer.stop();
    watch.icons.clear();
    monitorState().setWatching(true);   // found again, still failing
    tickOnce();                         // the eleventh: silent
    EXPECT_EQ(watch.monitor.errorCount, 11);
    EXPECT_EQ(errorLines().size(), 1);
    EXPECT_TRUE(watch.icons.isEmpty());   // no icon change either
    EXPECT_TRUE(watch.search.discoveryTimer.isActive());
    EXPECT_EQ(watch.search.discoveryTimer.interval(), DeviceSearch::SlowInterval);
    EXPECT_FALSE(watch.monitor.monitorTimer.isActive());
    EXPECT_TRUE(platform.boxes.isEmpty());

    // Found again after the slow switch: a new count, the normal pace.
    device.command("online");
    ASSERT_TRUE(waitUntil([&] { return watch.monitor.monitorTimer.isActive(); }, 15000));
    EXPECT_EQ(watch.monitor.errorCount, 0);
    EXPECT_EQ(watch.search.discoveryTimer.interval(), DeviceSearch::StartupInterval);
}

// A PC that slept: timers stood still while the wall clock went on. The
// network gets time to come back before a failure counts.
TEST_F(MonitorTest, AfterAClockJumpFailuresDoNotCountAtFirst)
{
    qint64 now = 1'000'000;
    watch.monitor.wallClockMs = [&] { return now; };
    tickOnce();
    device.command("offline");
    now += DeviceMonitor::Interval + DeviceMonitor::ClockJumpMs + 1000;
    tickOnce();
    EXPECT_TRUE(monitorState().settling());
    EXPECT_EQ(watch.monitor.errorCount, 0);
    EXPECT_TRUE(errorLines().isEmpty());
    EXPECT_TRUE(monitorState().watching());
    EXPECT_EQ(iconIndex(), 0);

    monitorState().settle(0);
    tickOnce();
    EXPECT_EQ(errorLines().size(), 1);
}

TEST_F(MonitorTest, ACompletedTickResetsTheFailureCount)
{
    watch.monitor.errorCount = 7;
    tickOnce();
    EXPECT_EQ(watch.monitor.errorCount, 0);
}

}   // namespace
