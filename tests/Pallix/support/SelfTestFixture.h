// The self test against the in-process simulator, with a recording view in
// place of the window.
#pragma once

#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "Simulator.h"
#include "app/AppState.h"
#include "selftest/SelfTest.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

class RecordingView : public SelfTestView {
public:
    bool detailsChecked() const override { return details; }
    std::string loopCountText() const override { return loops; }
    void fillLoopCounts(int last) override { filledUpTo = last; }
    void appendLogLine(const std::string &text) override
    {
        lines.push_back(text);
        if (onLine) onLine(text);
    }
    void clearLog() override { lines.clear(); }
    void showLamps(const StatusLamps &shown) override { lamps = shown; }
    void showStatusCaption(const std::string &text) override { caption = text; }
    void showProgress(const std::string &text) override { progress = text; }
    void showTestRunning(bool running) override { runningShown = running; }

    int count(const std::string &line) const { return int(std::count(lines.begin(), lines.end(), line)); }

    bool details = true;
    std::string loops = "1";
    std::function<void(const std::string &)> onLine;   // runs inside the test, as a click would

    std::vector<std::string> lines;
    int filledUpTo = 0;
    StatusLamps lamps;
    std::string caption;
    std::string progress;
    bool runningShown = false;
};

// The device's register values, global status left out: the write test
// leaves that one as the device kept its last test value.
using Configuration = std::map<int, int>;

class SelfTestFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim.start();
        AppState &app = appState();
        app.deviceList = {sim.address(1), std::string()};
        app.deviceCount = 1;
        app.discoveryFailed = false;
        app.testBusy = false;
        app.lastGlobalStatus = 0;
    }
    void TearDown() override { sim.stop(); }

    std::string simCommand(const std::string &line)
    {
        const std::string answer = sim.command(line);
        EXPECT_EQ(answer.rfind("error", 0), std::string::npos) << line << ": " << answer;
        return answer;
    }

    // A configuration far from every test value's end points.
    void storeUserConfiguration()
    {
        const std::map<int, int> values{{1, 11}, {2, 12}, {3, 13}, {4, 14},  {5, 20},
                                        {7, 5},  {8, 2},  {9, 40}, {10, 50}, {11, 1},
                                        {13, 6}, {14, 7}, {15, 1}, {16, 3}};
        for (const auto &[reg, value] : values)
            simCommand("set " + std::to_string(reg) + " " + std::to_string(value));
        sim.clearRequests();
    }

    Configuration configuration() const
    {
        Configuration registers;
        for (int reg = 1; reg <= 16; ++reg)
            registers[reg] = sim.reg(1, reg);
        return registers;
    }

    std::vector<pallixsim::Request> writes() const
    {
        std::vector<pallixsim::Request> found;
        for (const auto &r : sim.requests(1))
            if (r.opcode == 0x04) found.push_back(r);
        return found;
    }

    // The two tests run to their end, as their buttons start them.
    void runRead() { runTask(test.read()); }
    void runWrite() { runTask(test.write()); }
    bool logged(const std::string &line) const
    {
        return std::find(view.lines.begin(), view.lines.end(), line) != view.lines.end();
    }

    TestAppFolder folder;
    FakePlatform platform;
    pallixsim::Simulator sim;
    RecordingView view;
    // A device event the write test hands over goes here, when set.
    SelfTest::DeviceEventHandler onDeviceEvent;
    SelfTest test{view, [this](int status) {
                      if (onDeviceEvent) onDeviceEvent(status);
                  }};
};

using Lines = std::vector<std::string>;

inline Lines operator+(Lines first, const Lines &second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// One pass's step texts, as "Details" shows them.
inline std::vector<std::string> writeStepTexts()
{
    std::vector<std::string> texts;
    for (const char *name :
         {"Global Status", "Out State", "Power On Delay", "Power Off Delay", "Out ACPI Enable",
          "Power In Enable", "ACPI Pulse Width 1", "ACPI Pulse Width 2", "Shutdown Action",
          "Out In Enable", "Out On Delay 1", "Out Off Delay 1", "Out On Delay 2",
          "Out Off Delay 2"})
        texts.push_back(std::string("Testing: ") + name);
    return texts;
}

inline std::vector<std::string> readPassTexts()
{
    std::vector<std::string> texts;
    for (const char *name :
         {"Global Status", "Power On Delay", "Power Off Delay", "Out State", "Out ACPI Enable",
          "Power In Enable", "ACPI Pulse Width 1", "ACPI Pulse Width 2", "WDT Enable",
          "Out In Enable", "Shutdown Action", "In State", "Out On Delay 1", "Out Off Delay 1",
          "Out On Delay 2", "Out Off Delay 2"})
        texts.push_back(std::string("Testing: Get ") + name);
    return texts;
}
