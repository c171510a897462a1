// The write loop test: the warning, the save, the passes, the comparisons,
// Stop and the restore. A full pass waits four seconds, so few run here.
#include "RecordingWatch.h"
#include "SelfTestFixture.h"
#include "device/DeviceThread.h"
#include "device/NrAPI.h"
#include "loop/Timer.h"
#include "watch/DeviceMonitor.h"

namespace {

const std::string Complete = "Write Test Complete";

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
    view.progress = "Write Test: 3";
    runWrite();

    ASSERT_EQ(platform.boxes.size(), 1u);
    const RecordedBox &box = platform.boxes.front();
    EXPECT_EQ(box.text, "Warning: Exiting the program during this test could result in the loss "
                        "of your current Pallix settings. Please allow the test to complete, or "
                        "use the stop button. Continue?");
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::OKCancel);
    EXPECT_EQ(box.title, appTitle());
    EXPECT_TRUE(view.progress.empty());
    EXPECT_TRUE(view.lines.empty());
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(SelfTestWriteLoop, FaithfulDeviceLogsOnlyTheStepsAndGetsItsConfigurationBack)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    bool busyDuringPass = false;
    view.onLine = [&](const std::string &line) {
        if (line != "Testing: Out State") return;
        busyDuringPass = appState().testBusy;
        test.writeTest();   // ignored: one test at a time
        test.readTest();
    };
    runWrite();

    EXPECT_EQ(view.lines, readPassTexts() + writeStepTexts() + Lines{Complete});
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(busyDuringPass);
    EXPECT_FALSE(appState().testBusy);
    EXPECT_EQ(view.progress, "Write Test: 1");
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
    view.loops = "2";
    runWrite();

    EXPECT_EQ(view.lines, Lines(2, Complete));
    EXPECT_EQ(view.progress, "Write Test: 2");
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
        onDeviceEvent = [&](int status) { watch.monitor.handlePolledStatus(status); };
        platform.boxes.clear();
        simCommand("set 0 0");
        simCommand(event);   // a power loss also resets the registers
        storeUserConfiguration();
        const Configuration before = configuration();
        view.lines.clear();
        view.details = false;
        simCommand("requests-clear");
        runWrite();
        waitUntil([&] { return watch.countdown.counting() || platform.boxes.size() > 1; }, 5000);
        letLoopRun();

        EXPECT_EQ(view.lines, Lines{line}) << event;
        EXPECT_EQ(view.progress, "Write Test: 1");
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
            ASSERT_GT(platform.boxes.size(), 1u);
            EXPECT_EQ(platform.boxTexts().at(1), powerLostText());
        }
        onDeviceEvent = nullptr;
    }
}

// Jobs of other tasks that run between the test's steps select other
// devices (the configuration window's do); the test writes to its own
// device only, and stops, restoring it, once another device is the watched one.
TEST_F(SelfTestWriteLoop, OnlyTheDeviceUnderTestIsWritten)
{
    pallixsim::SimOptions otherOptions;
    otherOptions.firstAddress = "127.0.0.9";
    otherOptions.broadcast = "127.0.0.254";
    pallixsim::Simulator other(otherOptions);
    other.start();
    const std::string otherAddress = other.address(1);
    storeUserConfiguration();
    const Configuration before = configuration();
    view.details = true;
    view.onLine = [&](const std::string &line) {
        if (line == "Testing: Power On Delay")
            DeviceThread::current().post([otherAddress] { NrAPI::NrSetDevice(otherAddress); });
        if (line == "Testing: Out On Delay 2")
            appState().deviceList[0] = otherAddress;
    };
    runWrite();
    other.stop();

    EXPECT_EQ(other.requestCount(1), 0u);
    EXPECT_EQ(configuration(), before);
    EXPECT_FALSE(logged(Complete));
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[1].text,
              "The watched Pallix changed during the test; the test stopped. (1)");
}

TEST_F(SelfTestWriteLoop, RegisterStuckAtZeroLogsEveryOtherValue)
{
    simCommand("stuck 10 0");
    view.details = false;
    runWrite();

    Lines expected;
    for (int value = 1; value <= 255; ++value)
        expected.push_back("Power Off Delay Write Error " + std::to_string(value) + " 0");
    expected.push_back(Complete);
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
    runWrite();

    EXPECT_EQ(view.lines, (Lines{
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
    runWrite();

    EXPECT_EQ(view.lines, (Lines{"Out State Write Error (6)1 0", Complete}));
}

TEST_F(SelfTestWriteLoop, StopDuringASweepEndsThePassAndRestores)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    view.loops = "2";
    loop::Timer stopper;
    size_t sweepStart = 0;
    view.onLine = [&](const std::string &line) {
        if (line != "Testing: Power Off Delay") return;
        sweepStart = sim.requestCount(1);
        stopper.onTimeout = [&] {
            if (sim.requestCount(1) >= sweepStart + 40) test.stop();
        };
        stopper.start(loop::Duration(1));
    };
    runWrite();

    EXPECT_FALSE(logged(Complete));
    EXPECT_EQ(view.lines.back(), "Testing: Power Off Delay");
    EXPECT_EQ(view.progress, "Write Test: 1");
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
    view.onLine = [&](const std::string &line) {
        if (line == "Testing: Get Power On Delay") test.stop();
    };
    runWrite();

    EXPECT_EQ(view.lines, readPassTexts());
    EXPECT_TRUE(view.progress.empty());
    EXPECT_EQ(writes().size(), RestoreRequests);
    EXPECT_EQ(configuration(), before);
}

TEST_F(SelfTestWriteLoop, DeviceThatStopsAnsweringMidPassGetsItsConfigurationBack)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    view.details = false;
    // During the first pause, after the global status was written.
    loop::EventLoop::current().startTimer(loop::Duration(500), [&] { simCommand("offline 5"); });
    runWrite();

    EXPECT_FALSE(logged(Complete));
    EXPECT_TRUE(view.progress.empty());
    EXPECT_FALSE(appState().testBusy);
    EXPECT_EQ(platform.boxes.size(), 1u);   // the warning only
    ASSERT_EQ(folder.logLines().size(), 1u);
    EXPECT_TRUE(
        folder.logLines().front().starts_with("Error: Get Global Status (3)"));
    EXPECT_EQ(configuration(), before);
}

TEST_F(SelfTestWriteLoop, RestoreThatFailsAgainIsReportedOnce)
{
    view.onLine = [&](const std::string &line) {
        if (line == "Testing: Power On Delay") simCommand("offline");
    };
    runWrite();

    ASSERT_EQ(platform.boxes.size(), 2u);
    const RecordedBox &box = platform.boxes.back();
    EXPECT_TRUE(box.text.starts_with("Error: Set Power On Delay (3)")) << box.text;
    EXPECT_NE(box.text.find("could not be restored"), std::string::npos);
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_FALSE(test.running());
}

TEST_F(SelfTestWriteLoop, IncompleteSaveIsNotWrittenBack)
{
    storeUserConfiguration();
    view.onLine = [&](const std::string &line) {
        if (line == "Testing: Get Out State") simCommand("offline 5");
    };
    runWrite();

    EXPECT_TRUE(writes().empty());
    EXPECT_TRUE(view.lines.back().starts_with("Settings not restored"));
    EXPECT_EQ(platform.boxes.size(), 1u);
}

TEST_F(SelfTestWriteLoop, NoDeviceWritesNothing)
{
    appState().deviceCount = 0;
    runWrite();
    EXPECT_EQ(platform.boxTexts().back(), "No Device Available (1)");
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_TRUE(view.lines.back().starts_with("Settings not restored"));
}

TEST_F(SelfTestWriteLoop, ZeroLoopsSavesNothing)
{
    view.loops = "0";
    runWrite();
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_TRUE(view.lines.empty());
    EXPECT_FALSE(appState().testBusy);
}

TEST_F(SelfTestWriteLoop, StopAndRestoreWritesTheConfigurationBackBeforeItEnds)
{
    storeUserConfiguration();
    const Configuration before = configuration();
    bool restoredOnEnd = false;
    loop::TaskScope stopping;
    view.onLine = [&](const std::string &line) {
        if (line != "Testing: Power On Delay") return;
        ASSERT_NE(configuration(), before);   // the out state holds test values now
        const auto restoredNow = [&] { return configuration() == before; };
        stopping.spawn([](SelfTest &t, decltype(restoredNow) check, bool &restored)
                           -> loop::Task<> {
            co_await t.stopAndRestore();
            restored = check();
        }(test, restoredNow, restoredOnEnd));
    };
    runWrite();
    ASSERT_TRUE(waitUntil([&] { return stopping.running() == 0; }, 5000));

    EXPECT_TRUE(restoredOnEnd);
    EXPECT_EQ(configuration(), before);      // nothing written after the restore
    EXPECT_EQ(writes().back().address, 4);   // the restore's last write
    EXPECT_FALSE(logged(Complete));
    EXPECT_FALSE(view.lines.back().starts_with("Settings not restored"));
}
