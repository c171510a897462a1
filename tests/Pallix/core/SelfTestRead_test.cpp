// The read loop test, the log filter, the indicator refresh and the loop count.
#include "SelfTestFixture.h"

#include <algorithm>
#include <climits>

TEST(LoopCountFromText, TakesTheLeadingNumberRoundedHalfToEven)
{
    EXPECT_EQ(loopCountFromText("1000"), 1000);
    EXPECT_EQ(loopCountFromText(" 7 loops"), 7);
    EXPECT_EQ(loopCountFromText("2.5"), 2);
    EXPECT_EQ(loopCountFromText("3.5"), 4);
    EXPECT_EQ(loopCountFromText("0.4"), 0);
    EXPECT_EQ(loopCountFromText("-2"), -2);
    EXPECT_EQ(loopCountFromText(""), 0);
    EXPECT_EQ(loopCountFromText("ten"), 0);
    EXPECT_EQ(loopCountFromText("99999999999"), INT_MAX);
}

using SelfTestLog = SelfTestFixture;

TEST_F(SelfTestLog, WithoutDetailsDropsOnlyTextsStartingWithTesting)
{
    view.details = false;
    for (const char *text : {"Testing: Get Power On Delay", "Testing:", "testing: lower case",
                             "Testing without colon", "Read Test Complete"})
        test.addLog(text);
    EXPECT_EQ(view.lines, (Lines{"testing: lower case", "Testing without colon", "Read Test Complete"}));

    view.details = true;
    test.addLog("Testing:");
    EXPECT_EQ(view.lines.back(), "Testing:");
}

using SelfTestIndicators = SelfTestFixture;

TEST_F(SelfTestIndicators, RefreshColoursTheLampsAndQuotesTheGlobalStatus)
{
    storeUserConfiguration();   // output 1 driven on; both outputs follow input 1; power on input 1
    simCommand("set 0 8");
    runTask(test.updateStatusIndicators());
    EXPECT_EQ(view.caption, "Status 8");
    EXPECT_EQ(appState().lastGlobalStatus, 8);
    EXPECT_EQ(view.lamps.out1, LampState::Triggered);
    EXPECT_EQ(view.lamps.out2, LampState::Armed);
    EXPECT_EQ(view.lamps.in1, LampState::Armed);
    EXPECT_EQ(view.lamps.in2, LampState::Disabled);
    EXPECT_TRUE(view.lines.empty());   // the refresh logs nothing

    simCommand("input 2 on");
    runTask(test.updateStatusIndicators());
    EXPECT_EQ(view.lamps.in2, LampState::Triggered);
}

TEST_F(SelfTestIndicators, AllZeroTurnsEveryLampGrey)
{
    runTask(test.updateStatusIndicators());
    for (LampState lamp : {view.lamps.in1, view.lamps.in2, view.lamps.out1, view.lamps.out2})
        EXPECT_EQ(lamp, LampState::Disabled);
}

TEST_F(SelfTestIndicators, LoadFillsTheLoopCountsOnlyWhenTheRefreshWorked)
{
    test.load();
    ASSERT_TRUE(waitUntil([&] { return view.filledUpTo != 0; }, 5000));
    EXPECT_EQ(view.filledUpTo, SelfTest::MaxLoops);

    RecordingView other;
    SelfTest failing(other);
    appState().discoveryFailed = true;
    failing.load();
    ASSERT_TRUE(waitUntil([&] { return !platform.boxes.empty(); }, 5000));
    EXPECT_EQ(other.filledUpTo, 0);
    EXPECT_EQ(platform.boxTexts(), Lines{"Cannot Load Settings - Device Discovery Failed. (1)"});
}

using SelfTestReadLoop = SelfTestFixture;

TEST_F(SelfTestReadLoop, WithoutDetailsEachPassLogsOneLine)
{
    view.details = false;
    view.loops = "3";
    bool busyDuringPass = false;
    view.onLine = [&](const std::string &) {
        busyDuringPass = appState().testBusy && view.runningShown;
    };
    runRead();

    EXPECT_EQ(view.lines, Lines(3, "Read Test Complete"));
    EXPECT_EQ(view.progress, "Read Loops: 3");
    EXPECT_TRUE(busyDuringPass);
    EXPECT_FALSE(appState().testBusy);
    EXPECT_FALSE(view.runningShown);
    // Five refresh reads and sixteen register reads per pass.
    EXPECT_EQ(sim.requestCount(1), 3u * 21u);
    EXPECT_TRUE(writes().empty());
}

TEST_F(SelfTestReadLoop, WithDetailsEachPassLogsTheRegistersInOrder)
{
    view.loops = "2";
    storeUserConfiguration();
    runRead();

    const Lines pass = readPassTexts() + Lines{"Read Test Complete"};
    EXPECT_EQ(view.lines, pass + pass);
    EXPECT_EQ(test.savedSettings().powerOnDelay, 40);
    EXPECT_EQ(test.savedSettings().outOffDelay1, 13);
    EXPECT_EQ(test.savedSettings().outInEnable[2], 1);
    EXPECT_EQ(test.savedSettings().wdtEnable, 1);
}

TEST_F(SelfTestReadLoop, StopEndsTheRunAfterTheCurrentPass)
{
    view.details = false;
    view.loops = "1000";
    view.onLine = [&](const std::string &) {
        if (view.lines.size() == 2) test.stop();
    };
    runRead();
    EXPECT_EQ(view.lines.size(), 2u);
    EXPECT_EQ(view.progress, "Read Loops: 2");
    EXPECT_FALSE(appState().testBusy);
}

TEST_F(SelfTestReadLoop, FailingReadEndsTheRunWithoutAMessageBox)
{
    view.loops = "3";
    const std::string failing = "Testing: Get Out On Delay 1";
    view.onLine = [&](const std::string &line) {
        if (line == failing && view.count(failing) == 2) simCommand("offline");
    };
    runRead();

    EXPECT_EQ(view.progress, "Read Loops: 1");
    EXPECT_EQ(view.lines.back(), failing);
    EXPECT_EQ(view.count("Read Test Complete"), 1);
    EXPECT_FALSE(appState().testBusy);
    // testBusy was already clear, so the device error shows no message window.
    EXPECT_TRUE(platform.boxes.empty());
    ASSERT_EQ(folder.logLines().size(), 1u);
    EXPECT_TRUE(folder.logLines().front().starts_with("Error: Get Out On Delay 1 (3)(Status:"));
    // The failed read's attempts are the last requests: nothing was read after it.
    const auto requests = sim.requests(1);
    auto lastAnswered = std::find_if(requests.rbegin(), requests.rend(),
                                     [](const pallixsim::Request &r) { return r.answered; });
    ASSERT_NE(lastAnswered, requests.rend());
    EXPECT_EQ(lastAnswered->address, 12);   // In State, the read before Out On Delay 1
    EXPECT_EQ(std::distance(requests.rbegin(), lastAnswered), 4);
}

TEST_F(SelfTestReadLoop, NoDeviceIsReportedBeforeTheLoopCount)
{
    appState().deviceCount = 0;
    view.progress = "Read Loops: 9";
    runRead();
    EXPECT_EQ(platform.boxTexts(), Lines{"No Device Available (1)"});
    EXPECT_EQ(platform.boxes.front().icon, MsgIcon::Critical);
    EXPECT_TRUE(view.progress.empty());
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(SelfTestReadLoop, EmptyLoopCountDoesNothing)
{
    view.loops.clear();
    runRead();
    EXPECT_TRUE(view.lines.empty());
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(SelfTestReadLoop, FailedDiscoveryStopsTheRunBeforeAnyDeviceCall)
{
    appState().discoveryFailed = true;
    runRead();
    EXPECT_EQ(platform.boxTexts(), Lines{"Cannot Load Settings - Device Discovery Failed. (1)"});
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_FALSE(appState().testBusy);
}

TEST_F(SelfTestReadLoop, ASecondTestStartedDuringARunDoesNothing)
{
    view.details = false;
    view.loops = "2";
    view.onLine = [&](const std::string &) {
        test.writeTest();
        test.readTest();
    };
    runRead();
    letLoopRun();
    EXPECT_EQ(view.lines, Lines(2, "Read Test Complete"));
    EXPECT_TRUE(platform.boxes.empty());   // no write-test warning either
    EXPECT_EQ(sim.requestCount(1), 2u * 21u);
}
