// Action texts, the Windows and Linux command tables, and carrying an action out.
#include "app/AppState.h"
#include "AppTestSupport.h"
#include "watch/DeviceMonitor.h"
#include "FakePlatform.h"
#include "watch/WinShutdown.h"

#include <gtest/gtest.h>

namespace {

TEST(ActionTexts, NamesAndProgressTextsOfEveryCode)
{
    const std::vector<std::string> names{"Shutdown", "Restart", "Hibernate/Sleep", "Stand By", "Log Out",
                            "",         ""};
    const std::vector<std::string> progress{
        "Shutting down", "Restarting", "Hibernating/Sleep", "Standing By", "Logging Out", "", ""};
    for (int code = 1; code <= 7; ++code) {
        EXPECT_EQ(actionName(code), names[code - 1]) << code;
        EXPECT_EQ(actionProgressText(code), progress[code - 1]) << code;
    }
    for (int code : {0, 8, -1}) {
        EXPECT_TRUE(actionName(code).empty());
        EXPECT_TRUE(actionProgressText(code).empty());
    }
}

TEST(ActionTexts, HalfSecondsRoundToTheNearestEvenSecondOnTies)
{
    EXPECT_EQ(halfSecondsToSeconds(5), 2);
    EXPECT_EQ(halfSecondsToSeconds(7), 4);
    EXPECT_EQ(halfSecondsToSeconds(30), 15);
    EXPECT_EQ(halfSecondsToSeconds(1), 0);
    EXPECT_EQ(halfSecondsToSeconds(255), 128);
    EXPECT_EQ(halfSecondsToSeconds(0), 0);
}

struct WindowsRow {
    int code;
    OSVersion version;
    WindowsPowerStep::Kind kind;
    std::string what;   // command text, exit flags or message
};

std::string describe(const WindowsPowerStep &step)
{
    switch (step.kind) {
    case WindowsPowerStep::Run: return step.command.text();
    case WindowsPowerStep::ExitWindows: return std::to_string(step.exitFlags);
    case WindowsPowerStep::Message: return step.message;
    case WindowsPowerStep::Nothing: break;
    }
    return {};
}

TEST(WindowsPowerTable, EveryCodeOnEveryVersion)
{
    const OSVersion w2k{5, 0}, xp{5, 1}, w2003{5, 2}, vista{6, 0}, w10{10, 0}, nt4{4, 0};
    const std::string rundll =
        std::string("C:\\WINDOWS\\system32\\rundll32.exe powrprof.dll,SetSuspendState");
    using K = WindowsPowerStep::Kind;
    const std::vector<WindowsRow> rows{
        {1, w2k, K::ExitWindows, "1"},
        {1, xp, K::Run, "Shutdown /s /t 0"},
        {1, w10, K::Run, "Shutdown /s /t 0"},
        {1, w2003, K::Nothing, ""},
        {2, w2k, K::ExitWindows, "2"},
        {2, vista, K::Run, "Shutdown /r /t 0"},
        {2, w2003, K::Nothing, ""},
        {3, w2k, K::Message, "No Hibernate for 2k"},
        {3, xp, K::Run, rundll + " Hibernate"},
        {3, vista, K::Run, rundll + " 0,1,0"},
        {3, nt4, K::Nothing, ""},
        {4, w2k, K::Run, rundll + " Standby"},
        {4, w10, K::Run, rundll + " Standby"},
        {4, nt4, K::Run, rundll + " Standby"},
        {5, w2k, K::ExitWindows, "0"},
        {5, xp, K::Run, "Shutdown /l"},
        {5, w10, K::Run, "Shutdown /l"},
        {5, w2003, K::Nothing, ""},
        {6, xp, K::Nothing, ""},
        {6, w10, K::Nothing, ""},
        // Register value 6 reads "No Action" everywhere: it puts no PC to sleep.
        {7, xp, K::Nothing, ""},
        {7, w10, K::Nothing, ""},
        {0, xp, K::Nothing, ""},
        {8, w10, K::Nothing, ""},
    };
    for (const auto &row : rows) {
        const WindowsPowerStep step =
            windowsPowerAction(row.code, row.version, std::string("C:\\WINDOWS\\"));
        EXPECT_EQ(step.kind, row.kind)
            << row.code << " on " << row.version.major << "." << row.version.minor;
        EXPECT_EQ(describe(step), row.what)
            << row.code << " on " << row.version.major << "." << row.version.minor;
    }
}

TEST(WindowsPowerTable, CommandsAreProgramAndArgumentsNotAShellLine)
{
    const WindowsPowerStep step = windowsPowerAction(3, {6, 1}, std::string("D:\\Win\\"));
    EXPECT_EQ(step.command.program, std::string("D:\\Win\\system32\\rundll32.exe"));
    EXPECT_EQ(step.command.arguments, (std::vector<std::string>{"powrprof.dll,SetSuspendState", "0,1,0"}));
}

TEST(LinuxPowerTable, EveryCode)
{
    const std::string session = std::string("c7");
    const std::vector<std::pair<int, std::string>> rows{{1, "systemctl poweroff"},
                                                    {2, "systemctl reboot"},
                                                    {3, "systemctl hibernate"},
                                                    {4, "systemctl suspend"},
                                                    {5, "loginctl terminate-session c7"}};
    for (const auto &[code, text] : rows) {
        const auto line = linuxPowerCommand(code, session);
        ASSERT_TRUE(line) << code;
        EXPECT_EQ(line->text(), text);
    }
    for (int code : {0, 6, 7, 8})
        EXPECT_FALSE(linuxPowerCommand(code, session)) << code;
}

class PowerActionTest : public ::testing::Test {
protected:
    PowerActionTest() { appState().dryRun = false; }
    ~PowerActionTest() override { appState().dryRun = false; }
    FakePlatform platform;
    TestAppFolder folder;
};

TEST_F(PowerActionTest, RunsTheCommandWithoutAShell)
{
    doPowerAction(2);
    ASSERT_EQ(platform.commands.size(), 1);
    EXPECT_EQ(platform.commands[0].program, std::string("systemctl"));
    EXPECT_EQ(platform.commands[0].arguments, std::vector<std::string>{"reboot"});
    EXPECT_TRUE(folder.logLines().empty());
}

TEST_F(PowerActionTest, CodeSixAndUnknownCodesDoNothing)
{
    doPowerAction(6);
    doPowerAction(0);
    doPowerAction(9);
    EXPECT_TRUE(platform.commands.empty());
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PowerActionTest, DryRunWritesTheCommandInsteadOfRunningIt)
{
    appState().dryRun = true;
    testing::internal::CaptureStdout();
    doPowerAction(1);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(platform.commands.empty());
    EXPECT_EQ(out, "Dry run: systemctl poweroff\n");
    EXPECT_EQ(folder.logLines(), std::vector<std::string>{"Dry run: systemctl poweroff"});
}

TEST_F(PowerActionTest, DryRunWithAnUnwritableLogStillReports)
{
    appState().dryRun = true;
    appState().appPath = folder.path() + std::string("missing/deeper/");
    testing::internal::CaptureStdout();
    EXPECT_NO_THROW(doPowerAction(4));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Dry run: systemctl suspend\n");
}

}   // namespace
