// The self test against the in-process simulator, with a recording view in
// place of the window.
#pragma once

#include "AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "SelfTest.h"
#include "Simulator.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

class RecordingView : public SelfTestView {
public:
    bool detailsChecked() const override { return details; }
    QString loopCountText() const override { return loops; }
    void fillLoopCounts(int last) override { filledUpTo = last; }
    void appendLogLine(const QString &text) override
    {
        lines << text;
        if (onLine) onLine(text);
    }
    void clearLog() override { lines.clear(); }
    void showLamps(const StatusLamps &shown) override { lamps = shown; }
    void showStatusCaption(const QString &text) override { caption = text; }
    void showProgress(const QString &text) override { progress = text; }
    void showTestRunning(bool running) override { runningShown = running; }

    int count(const QString &line) const { return int(lines.count(line)); }

    bool details = true;
    QString loops = QStringLiteral("1");
    std::function<void(const QString &)> onLine;   // runs inside the test, as a click would

    QStringList lines;
    int filledUpTo = 0;
    StatusLamps lamps;
    QString caption;
    QString progress;
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
        app.deviceList = QStringList{QString::fromStdString(sim.address(1)), QString()};
        app.deviceCount = 1;
        app.discoveryFailed = false;
        app.testBusy = false;
        app.deviceError = false;
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

    TestAppFolder folder;
    FakePlatform platform;
    pallixsim::Simulator sim;
    RecordingView view;
    SelfTest test{view};
};

// One pass's step texts, as "Details" shows them.
inline QStringList writeStepTexts()
{
    QStringList texts;
    for (const char *name :
         {"Global Status", "Out State", "Power On Delay", "Power Off Delay", "Out ACPI Enable",
          "Power In Enable", "ACPI Pulse Width 1", "ACPI Pulse Width 2", "Shutdown Action",
          "Out In Enable", "Out On Delay 1", "Out Off Delay 1", "Out On Delay 2",
          "Out Off Delay 2"})
        texts << QStringLiteral("Testing: ") + QString::fromLatin1(name);
    return texts;
}

inline QStringList readPassTexts()
{
    QStringList texts;
    for (const char *name :
         {"Global Status", "Power On Delay", "Power Off Delay", "Out State", "Out ACPI Enable",
          "Power In Enable", "ACPI Pulse Width 1", "ACPI Pulse Width 2", "WDT Enable",
          "Out In Enable", "Shutdown Action", "In State", "Out On Delay 1", "Out Off Delay 1",
          "Out On Delay 2", "Out Off Delay 2"})
        texts << QStringLiteral("Testing: Get ") + QString::fromLatin1(name);
    return texts;
}
