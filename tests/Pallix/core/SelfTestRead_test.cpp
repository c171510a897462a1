// The read loop test, the log filter, the indicator refresh and the loop count.
#include "SelfTestFixture.h"

#include <algorithm>
#include <climits>

TEST(LoopCountFromText, TakesTheLeadingNumberRoundedHalfToEven)
{
    EXPECT_EQ(loopCountFromText(QStringLiteral("1000")), 1000);
    EXPECT_EQ(loopCountFromText(QStringLiteral(" 7 loops")), 7);
    EXPECT_EQ(loopCountFromText(QStringLiteral("2.5")), 2);
    EXPECT_EQ(loopCountFromText(QStringLiteral("3.5")), 4);
    EXPECT_EQ(loopCountFromText(QStringLiteral("0.4")), 0);
    EXPECT_EQ(loopCountFromText(QStringLiteral("-2")), -2);
    EXPECT_EQ(loopCountFromText(QString()), 0);
    EXPECT_EQ(loopCountFromText(QStringLiteral("ten")), 0);
    EXPECT_EQ(loopCountFromText(QStringLiteral("99999999999")), INT_MAX);
}

using SelfTestLog = SelfTestFixture;

TEST_F(SelfTestLog, WithoutDetailsDropsOnlyTextsStartingWithTesting)
{
    view.details = false;
    for (const char *text : {"Testing: Get Power On Delay", "Testing:", "testing: lower case",
                             "Testing without colon", "Read Test Complete"})
        test.addLog(QString::fromLatin1(text));
    EXPECT_EQ(view.lines,
              (QStringList{"testing: lower case", "Testing without colon", "Read Test Complete"}));

    view.details = true;
    test.addLog(QStringLiteral("Testing:"));
    EXPECT_EQ(view.lines.last(), QStringLiteral("Testing:"));
}

using SelfTestIndicators = SelfTestFixture;

TEST_F(SelfTestIndicators, RefreshColoursTheLampsAndQuotesTheGlobalStatus)
{
    storeUserConfiguration();   // output 1 driven on; both outputs follow input 1; power on input 1
    simCommand("set 0 8");
    test.updateStatusIndicators();
    EXPECT_EQ(view.caption, QStringLiteral("Status 8"));
    EXPECT_EQ(appState().lastGlobalStatus, 8);
    EXPECT_EQ(view.lamps.out1, LampState::Triggered);
    EXPECT_EQ(view.lamps.out2, LampState::Armed);
    EXPECT_EQ(view.lamps.in1, LampState::Armed);
    EXPECT_EQ(view.lamps.in2, LampState::Disabled);
    EXPECT_TRUE(view.lines.isEmpty());   // the refresh logs nothing

    simCommand("input 2 on");
    test.updateStatusIndicators();
    EXPECT_EQ(view.lamps.in2, LampState::Triggered);
}

TEST_F(SelfTestIndicators, AllZeroTurnsEveryLampGrey)
{
    test.updateStatusIndicators();
    for (LampState lamp : {view.lamps.in1, view.lamps.in2, view.lamps.out1, view.lamps.out2})
        EXPECT_EQ(lamp, LampState::Disabled);
}

TEST_F(SelfTestIndicators, LoadFillsTheLoopCountsOnlyWhenTheRefreshWorked)
{
    test.load();
    EXPECT_EQ(view.filledUpTo, SelfTest::MaxLoops);

    RecordingView other;
    SelfTest failing(other);
    appState().discoveryFailed = true;
    failing.load();
    EXPECT_EQ(other.filledUpTo, 0);
    EXPECT_EQ(platform.boxTexts(),
              QStringList{"Cannot Load Settings - Device Discovery Failed. (1)"});
}

using SelfTestReadLoop = SelfTestFixture;

TEST_F(SelfTestReadLoop, WithoutDetailsEachPassLogsOneLine)
{
    view.details = false;
    view.loops = QStringLiteral("3");
    bool busyDuringPass = false;
    view.onLine = [&](const QString &) {
        busyDuringPass = appState().testBusy && view.runningShown;
    };
    test.readTest();

    EXPECT_EQ(view.lines, QStringList(3, QStringLiteral("Read Test Complete")));
    EXPECT_EQ(view.progress, QStringLiteral("Read Loops: 3"));
    EXPECT_TRUE(busyDuringPass);
    EXPECT_FALSE(appState().testBusy);
    EXPECT_FALSE(view.runningShown);
    // Five refresh reads and sixteen register reads per pass.
    EXPECT_EQ(sim.requestCount(1), 3u * 21u);
    EXPECT_TRUE(writes().empty());
}

TEST_F(SelfTestReadLoop, WithDetailsEachPassLogsTheRegistersInOrder)
{
    view.loops = QStringLiteral("2");
    storeUserConfiguration();
    test.readTest();

    const QStringList pass = readPassTexts() << QStringLiteral("Read Test Complete");
    EXPECT_EQ(view.lines, pass + pass);
    EXPECT_EQ(test.savedSettings().powerOnDelay, 40);
    EXPECT_EQ(test.savedSettings().outOffDelay1, 13);
    EXPECT_EQ(test.savedSettings().outInEnable[2], 1);
    EXPECT_EQ(test.savedSettings().wdtEnable, 1);
}

TEST_F(SelfTestReadLoop, StopEndsTheRunAfterTheCurrentPass)
{
    view.details = false;
    view.loops = QStringLiteral("1000");
    view.onLine = [&](const QString &) {
        if (view.lines.size() == 2) test.stop();
    };
    test.readTest();
    EXPECT_EQ(view.lines.size(), 2);
    EXPECT_EQ(view.progress, QStringLiteral("Read Loops: 2"));
    EXPECT_FALSE(appState().testBusy);
}

TEST_F(SelfTestReadLoop, FailingReadEndsTheRunWithoutAMessageBox)
{
    view.loops = QStringLiteral("3");
    const QString failing = QStringLiteral("Testing: Get Out On Delay 1");
    view.onLine = [&](const QString &line) {
        if (line == failing && view.count(failing) == 2) simCommand("offline");
    };
    test.readTest();

    EXPECT_EQ(view.progress, QStringLiteral("Read Loops: 1"));
    EXPECT_EQ(view.lines.last(), failing);
    EXPECT_EQ(view.count(QStringLiteral("Read Test Complete")), 1);
    EXPECT_FALSE(appState().testBusy);
    // testBusy was already clear, so the device error shows no message window.
    EXPECT_TRUE(platform.boxes.isEmpty());
    ASSERT_EQ(folder.logLines().size(), 1);
    EXPECT_TRUE(folder.logLines().first().startsWith(
        QStringLiteral("Error: Get Out On Delay 1 (3)(Status:")));
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
    view.progress = QStringLiteral("Read Loops: 9");
    test.readTest();
    EXPECT_EQ(platform.boxTexts(), QStringList{"No Device Available (1)"});
    EXPECT_EQ(platform.boxes.first().icon, MsgIcon::Critical);
    EXPECT_TRUE(view.progress.isEmpty());
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(SelfTestReadLoop, EmptyLoopCountDoesNothing)
{
    view.loops.clear();
    test.readTest();
    EXPECT_TRUE(view.lines.isEmpty());
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(SelfTestReadLoop, FailedDiscoveryStopsTheRunBeforeAnyDeviceCall)
{
    appState().discoveryFailed = true;
    test.readTest();
    EXPECT_EQ(platform.boxTexts(),
              QStringList{"Cannot Load Settings - Device Discovery Failed. (1)"});
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_FALSE(appState().testBusy);
}

TEST_F(SelfTestReadLoop, ASecondTestStartedDuringARunDoesNothing)
{
    view.details = false;
    view.loops = QStringLiteral("2");
    view.onLine = [&](const QString &) {
        test.writeTest();
        test.readTest();
    };
    test.readTest();
    EXPECT_EQ(view.lines, QStringList(2, QStringLiteral("Read Test Complete")));
    EXPECT_TRUE(platform.boxes.isEmpty());   // no write-test warning either
    EXPECT_EQ(sim.requestCount(1), 2u * 21u);
}
