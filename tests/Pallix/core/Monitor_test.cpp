// The device monitor: power-action request, power loss, a device that stops answering.
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "RecordingWatch.h"
#include "SimulatedDevice.h"
#include "app/AppState.h"
#include "config/SavedConfigs.h"
#include "device/NrAPI.h"
#include "watch/DeviceMonitor.h"
#include "watch/MonitorState.h"

#include <gtest/gtest.h>

using namespace pallixsim::registers;

namespace {

using Lines = std::vector<std::string>;

class MonitorTest : public ::testing::Test {
protected:
    MonitorTest()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
        EXPECT_TRUE(NrAPI::load());
        watch.start();
        EXPECT_TRUE(waitUntil(
            [&] { return watch.monitor.monitorTimer.isActive() && !watch.search.searching(); },
            10000));
        device.sim.clearRequests();
    }
    Lines errorLines() const
    {
        Lines errors;
        for (const std::string &line : folder.logLines())
            if (line.starts_with("Error: ")) errors.push_back(line);
        return errors;
    }
    void tickOnce() { watch.tickMonitorOnce(); }

    FakePlatform platform;
    TestAppFolder folder;
    SimulatedDevice device;
    RecordingWatch watch;
    Countdown &countdown = watch.countdown;

    int iconIndex() const { return watch.icons.empty() ? -1 : watch.icons.back(); }
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

    ASSERT_TRUE(waitUntil([&] { return !platform.commands.empty(); }, 4000));
    EXPECT_EQ(platform.commands[0].text(), "systemctl suspend");
    EXPECT_EQ(platform.commands.size(), 1u);
    EXPECT_FALSE(countdown.counting());
    EXPECT_TRUE(watch.monitor.monitorTimer.isActive());
    EXPECT_TRUE(platform.boxes.empty());
}

// An action the device did not give twice in a row may be another request's
// reply: nothing is counted down, the failure is logged.
TEST_F(MonitorTest, AnUnconfirmedPowerActionIsNotActedOn)
{
    device.sim.setReg(1, kShutdownAction, 0);   // Shutdown, reading Restart every other time
    device.command("flicker 16 1");
    device.command("power-request");
    tickOnce();
    EXPECT_FALSE(countdown.counting());
    EXPECT_TRUE(platform.commands.empty());
    EXPECT_EQ(errorLines(), Lines{"Error: Get Shutdown Action (answers differ) (3)(Status:1)"});
}

TEST_F(MonitorTest, ThePowerActionWinsOverAPowerLossInTheSameStatus)
{
    device.sim.setReg(1, kPowerOffDelay, 60);
    device.sim.setReg(1, kGlobalStatus, 0x41);
    tickOnce();
    EXPECT_TRUE(countdown.counting());
    EXPECT_EQ(countdown.secondsLeft(), 30);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(device.writesTo(kGlobalStatus), std::vector<int>{225});
    countdown.cancel();
    EXPECT_TRUE(platform.commands.empty());
}

// The box waits for the user; the monitor does not: a request raised while
// it is open is counted down, and the loss is not reported twice.
TEST_F(MonitorTest, APowerLossBoxLeavesTheMonitorPolling)
{
    platform.holdBoxes = true;
    device.sim.setReg(1, kGlobalStatus, 0x40);
    tickOnce();
    EXPECT_EQ(platform.boxTexts(), Lines{powerLostText()});
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(device.writesTo(kGlobalStatus), std::vector<int>{225});
    EXPECT_EQ(appState().lastGlobalStatus, 0x40);

    device.sim.setReg(1, kGlobalStatus, 0xC0);   // still reported: no second box
    tickOnce();
    EXPECT_EQ(platform.boxes.size(), 1u);

    device.sim.setReg(1, kPowerOffDelay, 60);
    device.command("power-request");
    tickOnce();
    EXPECT_TRUE(countdown.counting());
    countdown.cancel();
    platform.answerOpenBox(MsgOK);
    device.sim.setReg(1, kGlobalStatus, 0x80);   // a new loss after the box closed
    tickOnce();
    EXPECT_EQ(platform.boxes.size(), 2u);
    platform.answerOpenBox(MsgOK);   // open notices outlive a test where the cases share a process
}

// With a configuration kept for the device, the box offers it back; Restore
// writes it and names the setting the device did not take.
TEST_F(MonitorTest, ThePowerLossBoxOffersTheKeptConfiguration)
{
    savedConfigs().setFolder(folder.path() + "state");
    device.sim.setReg(1, kGlobalStatus, 0x40);
    tickOnce();
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].buttons, MsgButtons::OK);   // nothing kept yet
    letLoopRun();

    DeviceConfig kept;
    kept.powerOffDelay = 61;
    kept.acpiPulseWidth2 = 2;
    savedConfigs().written(appState().macAddress, kept);
    device.command("stuck 14 9");
    platform.answers = {MsgRestore};
    device.sim.setReg(1, kGlobalStatus, 0x80);
    tickOnce();
    ASSERT_TRUE(waitUntil([&] { return platform.boxes.size() == 3; }, 10000));
    EXPECT_EQ(platform.boxes[1].buttons, MsgButtons::OKRestore);
    EXPECT_EQ(device.sim.reg(1, kPowerOffDelay), 61);
    EXPECT_EQ(platform.boxes[2].icon, MsgIcon::Critical);
    EXPECT_NE(platform.boxes[2].text.find("acpiPulseWidth2 did not take: wanted 1, read 4.5"),
              std::string::npos)
        << platform.boxes[2].text;
    savedConfigs().setFolder(std::string());
}

TEST_F(MonitorTest, OtherStatusBitsOnlyRefresh)
{
    device.sim.setReg(1, kGlobalStatus, 0x3E);
    tickOnce();
    EXPECT_TRUE(platform.boxes.empty());
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
    EXPECT_EQ(errorLines(), Lines{"Error: Get Global Status (3)(Status:14)"});
    EXPECT_FALSE(watch.monitor.monitorTimer.isActive());
    EXPECT_TRUE(watch.search.discoveryTimer.isActive());
    EXPECT_TRUE(platform.boxes.empty());

    device.command("online");
    ASSERT_TRUE(waitUntil([&] { return iconIndex() == 0; }, 15000));
    EXPECT_TRUE(waitUntil([&] { return watch.monitor.monitorTimer.isActive(); }, 2000));
    EXPECT_EQ(errorLines().size(), 1u);
}

TEST_F(MonitorTest, TheEleventhFailureSwitchesQuietlyToSlowRediscovery)
{
    device.command("offline");
    watch.monitor.errorCount = 9;
    tickOnce();   // the tenth: reported
    EXPECT_EQ(watch.monitor.errorCount, 10);
    EXPECT_EQ(errorLines().size(), 1u);
    EXPECT_EQ(watch.search.discoveryTimer.interval(), DeviceSearch::StartupInterval);

    watch.search.discoveryTimer.stop();
    watch.icons.clear();
    monitorState().setWatching(true);   // found again, still failing
    tickOnce();                         // the eleventh: silent
    EXPECT_EQ(watch.monitor.errorCount, 11);
    EXPECT_EQ(errorLines().size(), 1u);
    EXPECT_TRUE(watch.icons.empty());   // no icon change either
    EXPECT_TRUE(watch.search.discoveryTimer.isActive());
    EXPECT_EQ(watch.search.discoveryTimer.interval(), DeviceSearch::SlowInterval);
    EXPECT_FALSE(watch.monitor.monitorTimer.isActive());
    EXPECT_TRUE(platform.boxes.empty());

    // Found again after the slow switch: a new count, the normal pace.
    device.command("online");
    ASSERT_TRUE(waitUntil(
        [&] { return watch.monitor.monitorTimer.isActive() && !watch.search.searching(); }, 15000));
    EXPECT_EQ(watch.monitor.errorCount, 0);
    EXPECT_EQ(watch.search.discoveryTimer.interval(), DeviceSearch::StartupInterval);
}

// A PC that slept: timers stood still while the wall clock went on. The
// network gets time to come back before a failure counts.
TEST_F(MonitorTest, AfterAClockJumpFailuresDoNotCountAtFirst)
{
    std::int64_t now = 1'000'000;
    watch.monitor.wallClockMs = [&] { return now; };
    tickOnce();
    device.command("offline");
    now += DeviceMonitor::Interval.count() + DeviceMonitor::ClockJumpMs + 1000;
    tickOnce();
    EXPECT_TRUE(monitorState().settling());
    EXPECT_EQ(watch.monitor.errorCount, 0);
    EXPECT_TRUE(errorLines().empty());
    EXPECT_TRUE(monitorState().watching());
    EXPECT_EQ(iconIndex(), 0);

    monitorState().settle(loop::Duration(0));
    tickOnce();
    EXPECT_EQ(errorLines().size(), 1u);
}

TEST_F(MonitorTest, ACompletedTickResetsTheFailureCount)
{
    watch.monitor.errorCount = 7;
    tickOnce();
    EXPECT_EQ(watch.monitor.errorCount, 0);
}

}   // namespace
