// The countdown window: its texts, its buttons, closing it.
#include "CountdownFixture.h"
#include "frmShutdown.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using namespace pallixsim::registers;

namespace {

class CountdownTest : public CountdownFixture {
protected:
    bool ended() const { return !window.isVisible() && !countdown.timer.isActive(); }

    frmShutdown window{countdown};
};

TEST_F(CountdownTest, ShowsTheActionAndTheSecondsLeft)
{
    countdown.shutdown(1, 15);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(countdown.timer.isActive());
    EXPECT_EQ(countdown.timer.interval(), loop::Duration(1000));
    EXPECT_EQ(window.cmdNow->text(), QStringLiteral("Shutdown Now."));
    EXPECT_EQ(window.lblShutdown->text(), QStringLiteral("Shutting down in 15 second(s)."));
    EXPECT_EQ(window.cmdCancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Nerrin Pallix™"));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    countdown.timer.stop();
    countdown.tick();
    ASSERT_TRUE(waitUntil([&] { return !countdown.ticking(); }, 5000));
    EXPECT_EQ(window.lblShutdown->text(), QStringLiteral("Shutting down in 14 second(s)."));
}

TEST_F(CountdownTest, CancelEndsItWithoutActionOrDeviceWrites)
{
    countdown.shutdown(3, 30);
    device.sim.clearRequests();
    window.cmdCancel->click();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(monitorState().polling());
    waitUntil([] { return false; }, 1300);
    EXPECT_TRUE(platform.commands.empty());
    EXPECT_EQ(device.sim.requestCount(1), 0u);
}

TEST_F(CountdownTest, ClosingTheWindowIsACancel)
{
    countdown.shutdown(3, 30);
    window.close();
    EXPECT_TRUE(ended());
    EXPECT_TRUE(monitorState().polling());
}

TEST_F(CountdownTest, NowRunsTheActionAtTheNextTick)
{
    countdown.shutdown(5, 30);
    EXPECT_EQ(window.cmdNow->text(), QStringLiteral("Log Out Now."));
    EXPECT_EQ(window.lblShutdown->text(), QStringLiteral("Logging Out in 30 second(s)."));
    window.cmdNow->click();
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 2500));
    ASSERT_EQ(platform.commands.size(), 1u);
    EXPECT_EQ(platform.commands[0].program, "loginctl");
    EXPECT_EQ(platform.commands[0].arguments.at(0), "terminate-session");
}

TEST_F(CountdownTest, UnknownCodesCountDownWithEmptyTextsAndDoNothing)
{
    countdown.shutdown(9, 1);
    EXPECT_EQ(window.cmdNow->text(), QStringLiteral(" Now."));
    EXPECT_EQ(window.lblShutdown->text(), QStringLiteral(" in 1 second(s)."));
    ASSERT_TRUE(waitUntil([&] { return ended(); }, 3000));
    EXPECT_TRUE(platform.commands.empty());
}

}   // namespace
