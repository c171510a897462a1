// The write loop test: the warning, the save, the passes, the comparisons,
// Stop and the restore. A full pass waits four seconds, so few run here.
#include "DeviceMonitor.h"
#include "NrAPI.h"
#include "RecordingWatch.h"
#include "SelfTestFixture.h"

#include <QTimer>

namespace {

const QString Complete = QStringLiteral("Write Test Complete");

// Requests per pass: 4161 library calls less its six device selections, and
// the global status read before that register is written.
constexpr size_t PassRequests = 4156;
constexpr size_t SaveRequests = 16;
constexpr size_t RestoreRequests = 14;

// The registers written, one entry per run of writes to the same register.
std::vector<int> writtenRegisterRuns(const std::vector<pallixsim::Request> &writes)
{
    std::vector<int> runs;
    for (const auto &w : writes)
        if (runs.empty() || runs.back() != w.address) runs.push_back(w.address);
    return runs;
}

}   // namespace

using SelfTestWriteLoop = SelfTestFixture;

TEST_F(SelfTestWriteLoop, CancelInTheWarningLeavesLogAndDeviceAlone)
{
    platform.answers = {MsgCancel};
    view.progress = QStringLiteral("Write Test: 3");
    test.writeTest();

    ASSERT_EQ(platform.boxes.size(), 1);
    const RecordedBox &box = platform.boxes.first();
    EXPECT_EQ(box.text, QStringLiteral("Warning: Exiting the program during this test could result "
                                       "in the loss of your current "
                                       "Pallix settings. Please allow the test to complete, or use "
                                       "the stop button. Continue?"));
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::OKCancel);
    EXPECT_EQ(box.title, appTitle());
    EXPECT_TRUE(view.progress.isEmpty());
    EXPECT_TRUE(view.lines.isEmpty());
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(SelfTestWriteLoop, FaithfulDeviceLogsOnlyTheStepsAndGetsItsConfigurationBack)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    bool busyDuringPass = false;
    view.onLine = [&](const QString &line) {
        if (line != QStringLiteral("Testing: Out State")) return;
        busyDuringPass = appState().testBusy;
        test.writeTest();   // ignored: one test at a time
        test.readTest();
    };
    test.writeTest();

    EXPECT_EQ(view.lines, readPassTexts() + writeStepTexts() + QStringList{Complete});
    EXPECT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(busyDuringPass);
    EXPECT_FALSE(appState().testBusy);
    EXPECT_EQ(view.progress, QStringLiteral("Write Test: 1"));
    EXPECT_EQ(configuration(), before);
    EXPECT_EQ(sim.requestCount(1), SaveRequests + PassRequests + RestoreRequests);

    const std::vector<int> pass{0, 5, 9, 10, 8, 11, 13, 14, 16, 7, 1, 3, 2, 4};
    const std::vector<int> restore{9, 10, 5, 8, 11, 13, 14, 15, 7, 16, 1, 3, 2, 4};
    std::vector<int> expected = pass;
    expected.insert(expected.end(), restore.begin(), restore.end());
    EXPECT_EQ(writtenRegisterRuns(writes()), expected);
}

TEST_F(SelfTestWriteLoop, WithoutDetailsEachOfTwoPassesLogsOneLine)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    view.details = false;
    view.loops = QStringLiteral("2");
    test.writeTest();

    EXPECT_EQ(view.lines, QStringList(2, Complete));
    EXPECT_EQ(view.progress, QStringLiteral("Write Test: 2"));
    EXPECT_EQ(configuration(), before);
    EXPECT_EQ(sim.requestCount(1), SaveRequests + 2 * PassRequests + RestoreRequests);
}

// Writing the global status would acknowledge, and clear, an event the
// monitor has not polled yet: it stops the test, the configuration goes
// back, and the monitor gets the event as if it had read it.
TEST_F(SelfTestWriteLoop, ADeviceEventStopsTheTestBeforeTheGlobalStatusIsWritten)
{
    for (const auto &[event, line] :
         {std::pair{"power-request",
                    "Write Test stopped: the Pallix requests the PC's power action."},
          std::pair{"power-lost", "Write Test stopped: the Pallix lost power."}}) {
        RecordingWatch watch;
        platform.boxes.clear();
        simCommand("set 0 0");
        simCommand(event);   // a power loss also resets the registers
        storeUserConfiguration();
        const Configuration before = configuration();
        view.lines.clear();
        view.details = false;
        simCommand("requests-clear");
        test.writeTest();

        EXPECT_EQ(view.lines, QStringList{QString::fromLatin1(line)}) << event;
        EXPECT_EQ(view.progress, QStringLiteral("Write Test: 1"));
        EXPECT_EQ(configuration(), before) << event;
        // Only the monitor's acknowledge reached the register.
        std::vector<int> statusWrites;
        for (const auto &w : writes())
            if (w.address == 0) statusWrites.push_back(w.value);
        EXPECT_EQ(statusWrites, std::vector<int>{225}) << event;
        if (std::string(event) == "power-request") {
            EXPECT_TRUE(watch.countdown.counting());
            EXPECT_EQ(watch.countdown.mode(), 4);           // the user's action, restored
            EXPECT_EQ(watch.countdown.secondsLeft(), 25);   // and delay
            watch.countdown.cancel();
        } else {
            EXPECT_EQ(platform.boxTexts().value(1), powerLostText());
        }
    }
}

// Handlers that run inside the test's event processing select other devices
// (the configuration window does); the test writes to its own device only,
// and stops, restoring it, once another device is the watched one.
TEST_F(SelfTestWriteLoop, OnlyTheDeviceUnderTestIsWritten)
{
    pallixsim::SimOptions otherOptions;
    otherOptions.firstAddress = "127.0.0.9";
    otherOptions.broadcast = "127.0.0.254";
    pallixsim::Simulator other(otherOptions);
    other.start();
    const QString otherAddress = QString::fromStdString(other.address(1));
    storeUserConfiguration();
    const Configuration before = configuration();
    view.details = true;
    view.onLine = [&](const QString &line) {
        if (line == QStringLiteral("Testing: Power On Delay")) NrAPI::NrSetDevice(otherAddress);
        if (line == QStringLiteral("Testing: Out On Delay 2"))
            appState().deviceList[0] = otherAddress;
    };
    test.writeTest();
    other.stop();

    EXPECT_EQ(other.requestCount(1), 0u);
    EXPECT_EQ(configuration(), before);
    EXPECT_FALSE(view.lines.contains(Complete));
    ASSERT_EQ(platform.boxes.size(), 2);
    EXPECT_EQ(platform.boxes[1].text,
              QStringLiteral("The watched Pallix changed during the test; the test stopped. (1)"));
}

TEST_F(SelfTestWriteLoop, RegisterStuckAtZeroLogsEveryOtherValue)
{
    simCommand("stuck 10 0");
    view.details = false;
    test.writeTest();

    QStringList expected;
    for (int value = 1; value <= 255; ++value)
        expected << QStringLiteral("Power Off Delay Write Error %1 0").arg(value);
    expected << Complete;
    EXPECT_EQ(view.lines, expected);
}

TEST_F(SelfTestWriteLoop, MismatchLinesQuoteLabelWrittenAndReadValues)
{
    simCommand("misread 0 0 14");    // every compared bit wrongly set
    simCommand("misread 0 255 6");   // bit 8 lost
    simCommand("misread 5 60 47");   // pattern C: output 1 manual drive reads off
    simCommand("misread 9 9 7");
    simCommand("misread 11 0 1");   // power input 1 reads on after writing zeros
    simCommand("misread 11 3 2");   // power input 1 reads off after writing ones
    view.details = false;
    test.writeTest();

    EXPECT_EQ(view.lines, (QStringList{
                              "Global Status Write Error 0 14",
                              "Global Status Write Error 0 14",
                              "Global Status Write Error 0 14",
                              "Global Status Write Error 255 6",
                              "Out State Write Error (3)1 0",
                              "Power On Delay Write Error 9 7",
                              "Power In Enable Write Error 0 1",
                              "Power In Enable Write Error (1)1 0",
                              Complete,
                          }));
}

TEST_F(SelfTestWriteLoop, OutputsAreComparedOnlyUnderManualControl)
{
    simCommand("set 7 1");          // output 1 follows input 1 ...
    simCommand("input 1 on");       // ... which is active, so it is on in pattern A
    simCommand("output-stuck 2");   // output 2 never switches on
    view.details = false;
    test.writeTest();

    EXPECT_EQ(view.lines, (QStringList{"Out State Write Error (6)1 0", Complete}));
}

TEST_F(SelfTestWriteLoop, StopDuringASweepEndsThePassAndRestores)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    view.loops = QStringLiteral("2");
    QTimer stopper;
    size_t sweepStart = 0;
    view.onLine = [&](const QString &line) {
        if (line != QStringLiteral("Testing: Power Off Delay")) return;
        sweepStart = sim.requestCount(1);
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (sim.requestCount(1) >= sweepStart + 40) test.stop();
        });
        stopper.start(0);
    };
    test.writeTest();

    EXPECT_FALSE(view.lines.contains(Complete));
    EXPECT_EQ(view.lines.last(), QStringLiteral("Testing: Power Off Delay"));
    EXPECT_EQ(view.progress, QStringLiteral("Write Test: 1"));
    EXPECT_EQ(configuration(), before);

    // The sweep wrote 0, 1, 2, ... up to the value Stop came in; then only the restore.
    std::vector<int> sweep;
    int acpiWrites = 0;
    for (const auto &w : writes()) {
        if (w.address == 10) sweep.push_back(w.value);
        if (w.address == 8) ++acpiWrites;
    }
    ASSERT_GE(sweep.size(), 3u);
    EXPECT_EQ(sweep.back(), 50);   // the restore
    sweep.pop_back();
    EXPECT_LT(sweep.size(), 256u);
    for (size_t i = 0; i < sweep.size(); ++i)
        EXPECT_EQ(sweep[i], int(i));
    EXPECT_EQ(acpiWrites, 1);   // no later step ran
}

TEST_F(SelfTestWriteLoop, StopDuringTheSaveRestoresWhatWasJustRead)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    view.onLine = [&](const QString &line) {
        if (line == QStringLiteral("Testing: Get Power On Delay")) test.stop();
    };
    test.writeTest();

    EXPECT_EQ(view.lines, readPassTexts());
    EXPECT_TRUE(view.progress.isEmpty());
    EXPECT_EQ(writes().size(), RestoreRequests);
    EXPECT_EQ(configuration(), before);
}

TEST_F(SelfTestWriteLoop, DeviceThatStopsAnsweringMidPassGetsItsConfigurationBack)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    view.details = false;
    QTimer offline;   // during the first pause, after the global status was written
    offline.setSingleShot(true);
    QObject::connect(&offline, &QTimer::timeout, [&] { simCommand("offline 5"); });
    offline.start(500);
    test.writeTest();

    EXPECT_FALSE(view.lines.contains(Complete));
    EXPECT_TRUE(view.progress.isEmpty());
    EXPECT_FALSE(appState().testBusy);
    EXPECT_EQ(platform.boxes.size(), 1);   // the warning only
    ASSERT_EQ(folder.logLines().size(), 1);
    EXPECT_TRUE(
        folder.logLines().first().startsWith(QStringLiteral("Error: Get Global Status (3)")));
    EXPECT_EQ(configuration(), before);
}

TEST_F(SelfTestWriteLoop, RestoreThatFailsAgainIsReportedOnce)
{
    view.onLine = [&](const QString &line) {
        if (line == QStringLiteral("Testing: Power On Delay")) simCommand("offline");
    };
    test.writeTest();

    ASSERT_EQ(platform.boxes.size(), 2);
    const RecordedBox &box = platform.boxes.last();
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Error: Set Power On Delay (3)")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("could not be restored")));
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_FALSE(appState().deviceError);
    EXPECT_FALSE(test.running());
}

TEST_F(SelfTestWriteLoop, IncompleteSaveIsNotWrittenBack)
{
    storeUserConfiguration();
    view.onLine = [&](const QString &line) {
        if (line == QStringLiteral("Testing: Get Out State")) simCommand("offline 5");
    };
    test.writeTest();

    EXPECT_TRUE(writes().empty());
    EXPECT_TRUE(view.lines.last().startsWith(QStringLiteral("Settings not restored")));
    EXPECT_EQ(platform.boxes.size(), 1);
}

TEST_F(SelfTestWriteLoop, NoDeviceWritesNothing)
{
    appState().deviceCount = 0;
    test.writeTest();
    EXPECT_EQ(platform.boxTexts().last(), QStringLiteral("No Device Available (1)"));
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_TRUE(view.lines.last().startsWith(QStringLiteral("Settings not restored")));
}

TEST_F(SelfTestWriteLoop, ZeroLoopsSavesNothing)
{
    view.loops = QStringLiteral("0");
    test.writeTest();
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_TRUE(view.lines.isEmpty());
    EXPECT_FALSE(appState().testBusy);
}

TEST_F(SelfTestWriteLoop, StopAndRestoreWritesTheConfigurationBackBeforeItReturns)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    bool restoredOnReturn = false;
    view.onLine = [&](const QString &line) {
        if (line != QStringLiteral("Testing: Power On Delay")) return;
        ASSERT_NE(configuration(), before);   // the out state holds test values now
        test.stopAndRestore();
        restoredOnReturn = configuration() == before;
    };
    test.writeTest();

    EXPECT_TRUE(restoredOnReturn);
    EXPECT_EQ(configuration(), before);      // nothing written after the restore
    EXPECT_EQ(writes().back().address, 4);   // the restore's last write
    EXPECT_FALSE(view.lines.contains(Complete));
    EXPECT_FALSE(view.lines.last().startsWith(QStringLiteral("Settings not restored")));
}
