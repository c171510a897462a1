// The countdown of a power action: power inputs, Now, Cancel, a device that
// stops answering, and decisions checked again after the device answered.
#include "CountdownFixture.h"
#include "loop/Waits.h"
#include "watch/Countdown.h"

#include <gtest/gtest.h>

using namespace pallixsim::registers;

namespace {

using Lines = std::vector<std::string>;

class CountdownTest : public CountdownFixture {
protected:
    bool ended() const { return !countdown.counting() && !countdown.timer.isActive(); }
    // One tick, run to its end, the timer stopped so it adds none.
    void tickOnce()
    {
        countdown.timer.stop();
        countdown.tick();
        waitUntil([&] { return !countdown.ticking(); }, 30000);
    }
};

TEST_F(CountdownTest, AtZeroTheActionRunsOnceAndMonitoringResumes)
{
    appState().dryRun = true;
    testing::internal::CaptureStdout();
    countdown.shutdown(1, 2);
    const bool done = waitUntil([&] { return ended(); }, 5000);
    const std::string out = testing::internal::GetCapturedStdout();
    appState().dryRun = false;
    ASSERT_TRUE(done);
    EXPECT_EQ(out, "Dry run: systemctl poweroff\n");
    EXPECT_EQ(folder.logLines(), Lines{"Dry run: systemctl poweroff"});
    EXPECT_EQ(countdown.secondsLeft(), 0);
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, AnEnabledPowerInputAbandonsIt)
{
    device.sim.setReg(1, kPowerInEnable, 0x01);
    device.command("input 1 on");
    countdown.shutdown(1, 1);   // would run at this very tick
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(platform.commands.empty());
    EXPECT_EQ(countdown.secondsLeft(), 1);
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, AnInputThatIsNotAPowerInputDoesNot)
{
    device.sim.setReg(1, kPowerInEnable, 0x01);
    device.command("input 2 on");
    countdown.shutdown(2, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].text(), "systemctl reboot");
}

TEST_F(CountdownTest, TheMonitorIsHeldForAsLongAsItCounts)
{
    countdown.shutdown(3, 30);
    EXPECT_FALSE(monitorState().polling());
    monitorState().setWatching(false);   // lost and found again meanwhile
    monitorState().setWatching(true);
    EXPECT_FALSE(monitorState().polling());
    countdown.cancel();
    EXPECT_TRUE(monitorState().polling());
}

// A Cancel handled while the tick's input check waits on the device ends
// the countdown there: the tick neither counts nor acts.
TEST_F(CountdownTest, ACancelDuringTheInputCheckIsFinal)
{
    countdown.shutdown(1, 1);
    countdown.timer.stop();
    countdown.tick();
    ASSERT_TRUE(countdown.ticking());
    countdown.cancel();
    ASSERT_TRUE(waitUntil([&] { return !countdown.ticking(); }, 5000));
    EXPECT_TRUE(ended());
    EXPECT_EQ(countdown.secondsLeft(), 1);
    tickOnce();
    EXPECT_TRUE(platform.commands.empty());
}

TEST_F(CountdownTest, ANewCountdownStartedDuringTheCheckIsNotCountedByTheOldTick)
{
    countdown.shutdown(1, 1);
    countdown.timer.stop();
    countdown.tick();
    countdown.shutdown(2, 20);
    countdown.timer.stop();
    ASSERT_TRUE(waitUntil([&] { return !countdown.ticking(); }, 5000));
    EXPECT_EQ(countdown.secondsLeft(), 20);
    EXPECT_TRUE(platform.commands.empty());
}

// At zero what is already on its way comes first: a Cancel there stops the
// action; otherwise the action waits for the others that shut down with
// this PC, the monitor still held.
TEST_F(CountdownTest, AtZeroAPendingCancelWinsAndTheActionWaitsItsTurn)
{
    countdown.beforeDeciding = [this]() -> loop::Task<> {
        countdown.cancel();
        co_return;
    };
    countdown.shutdown(1, 1);
    tickOnce();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(platform.commands.empty());

    countdown.beforeDeciding = nullptr;
    bool heldMeanwhile = false;
    countdown.beforeAction = [&](int mode) -> loop::Task<> {
        EXPECT_EQ(mode, 2);
        co_await loop::delay{loop::Duration(300)};
        heldMeanwhile = !monitorState().polling() && platform.commands.empty();
    };
    countdown.shutdown(2, 1);
    tickOnce();
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].text(), "systemctl reboot");
    EXPECT_TRUE(heldMeanwhile);
    EXPECT_TRUE(monitorState().polling());

    // Told to end while the others shut down: the one who ends it decides.
    countdown.beforeAction = [](int) -> loop::Task<> {
        appState().ending = true;
        co_return;
    };
    countdown.shutdown(1, 1);
    tickOnce();
    EXPECT_EQ(platform.commands.size(), 1u);
    appState().ending = false;
}

// The request was acknowledged, so the device asked for real: without an
// answer the count goes on, logged once, and the search starts.
TEST_F(CountdownTest, AnUnreadableDeviceDoesNotStopTheCount)
{
    device.command("offline");
    countdown.shutdown(1, 2);
    tickOnce();
    EXPECT_EQ(countdown.secondsLeft(), 1);
    EXPECT_EQ(watch.icons, std::vector<int>{1});
    EXPECT_EQ(watch.searching(), true);
    tickOnce();   // no second wait on the device
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].text(), "systemctl poweroff");
    EXPECT_EQ(folder.logLines(),
              (Lines{"Error: Get Global Status (3)(Status:0)", inputCheckSkippedText()}));
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(CountdownTest, AfterAFailedSearchItCountsOnWithoutABox)
{
    appState().discoveryFailed = true;
    countdown.shutdown(1, 3);
    for (int i = 0; i < 3; ++i)
        tickOnce();
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(folder.logLines(), Lines{inputCheckSkippedText()});
}

TEST_F(CountdownTest, AfterStandByTheNetworkGetsTimeBeforeFailuresCount)
{
    countdown.shutdown(4, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(monitorState().settling());
}

}   // namespace
