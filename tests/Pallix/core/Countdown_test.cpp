// The countdown of a power action: power inputs, Now, Cancel, a device that
// stops answering, and decisions checked again after events ran.
#include "CountdownFixture.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace pallixsim::registers;

namespace {

class CountdownTest : public CountdownFixture {
protected:
    bool ended() const { return !countdown.counting() && !countdown.timer.isActive(); }
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
    EXPECT_EQ(folder.logLines(), QStringList{"Dry run: systemctl poweroff"});
    EXPECT_EQ(countdown.secondsLeft(), 0);
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, AnEnabledPowerInputAbandonsIt)
{
    device.sim.setReg(1, kPowerInEnable, 0x01);
    device.command("input 1 on");
    countdown.shutdown(1, 1);   // would run at this very tick
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(platform.commands.isEmpty());
    EXPECT_EQ(countdown.secondsLeft(), 1);
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, AnInputThatIsNotAPowerInputDoesNot)
{
    device.sim.setReg(1, kPowerInEnable, 0x01);
    device.command("input 2 on");
    countdown.shutdown(2, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    ASSERT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(platform.commands[0].text(), QStringLiteral("systemctl reboot"));
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

// A Cancel handled while the tick's input check lets events run ends the
// countdown there: the tick neither counts nor acts.
TEST_F(CountdownTest, ACancelDuringTheInputCheckIsFinal)
{
    countdown.shutdown(1, 1);
    countdown.timer.stop();
    QTimer::singleShot(0, [&] { countdown.cancel(); });
    countdown.tick();
    EXPECT_TRUE(ended());
    EXPECT_EQ(countdown.secondsLeft(), 1);
    countdown.tick();
    EXPECT_TRUE(platform.commands.isEmpty());
}

TEST_F(CountdownTest, ANewCountdownStartedDuringTheCheckIsNotCountedByTheOldTick)
{
    countdown.shutdown(1, 1);
    countdown.timer.stop();
    QTimer::singleShot(0, [&] { countdown.shutdown(2, 20); });
    countdown.tick();
    EXPECT_EQ(countdown.secondsLeft(), 20);
    EXPECT_TRUE(platform.commands.isEmpty());
}

// The request was acknowledged, so the device asked for real: without an
// answer the count goes on, logged once, and the search starts.
TEST_F(CountdownTest, AnUnreadableDeviceDoesNotStopTheCount)
{
    device.command("offline");
    countdown.shutdown(1, 2);
    countdown.timer.stop();
    countdown.tick();
    EXPECT_EQ(countdown.secondsLeft(), 1);
    EXPECT_EQ(watch.icons, QList<int>{1});
    EXPECT_EQ(watch.searching(), true);
    countdown.tick();   // no second wait on the device
    ASSERT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(platform.commands[0].text(), QStringLiteral("systemctl poweroff"));
    EXPECT_EQ(folder.logLines(),
              (QStringList{"Error: Get Global Status (3)(Status:0)", inputCheckSkippedText()}));
    EXPECT_TRUE(platform.boxes.isEmpty());
}

TEST_F(CountdownTest, AfterAFailedSearchItCountsOnWithoutABox)
{
    appState().discoveryFailed = true;
    countdown.shutdown(1, 3);
    countdown.timer.stop();
    for (int i = 0; i < 3; ++i)
        countdown.tick();
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(folder.logLines(), QStringList{inputCheckSkippedText()});
}

TEST_F(CountdownTest, AfterStandByTheNetworkGetsTimeBeforeFailuresCount)
{
    countdown.shutdown(4, 1);
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(monitorState().settling());
}

}   // namespace
