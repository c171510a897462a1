// Error checking, error reporting and the log file.
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "RecordingWatch.h"
#include "app/AppState.h"
#include "app/Files.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "watch/MonitorState.h"

#include <chrono>
#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

namespace {

using Lines = std::vector<std::string>;

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

class ErrorsTest : public ::testing::Test {
protected:
    ErrorsTest()
    {
        appState().testBusy = false;
        appState().lastGlobalStatus = 17;
    }

    NrError raised(int status, const std::string &operation)
    {
        try {
            checkError(status, operation);
        } catch (const NrError &error) {
            return error;
        }
        ADD_FAILURE() << "no error raised";
        return NrError(0, {});
    }

    FakePlatform platform;
    TestAppFolder folder;
    RecordingWatch tray;
};

TEST_F(ErrorsTest, CheckErrorWithStatusZeroRaisesNothing)
{
    EXPECT_NO_THROW(checkError(0, "Get WDT Enable"));
}

TEST_F(ErrorsTest, CheckErrorRaisesTheStatusWithTheOperationName)
{
    const NrError error = raised(3, "Get WDT Enable");
    EXPECT_EQ(error.number(), 3);
    EXPECT_EQ(error.description(), "Error: Get WDT Enable");
    EXPECT_TRUE(error.fromDevice());
}

TEST_F(ErrorsTest, DeviceErrorOutsideATestGraysTheIconAndLogsWithoutABox)
{
    monitorState().setWatching(true);
    showError(raised(3, "Get Global Status"));
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(tray.icons, std::vector<int>{1});
    EXPECT_TRUE(tray.searching());
    EXPECT_FALSE(monitorState().watching());
    EXPECT_EQ(folder.logLines(), Lines{"Error: Get Global Status (3)(Status:17)"});
}

TEST_F(ErrorsTest, DeviceErrorDuringASelfTestAlsoShowsTheMessageWindow)
{
    appState().testBusy = true;
    showError(raised(3, "Get WDT Enable"));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(platform.boxes[0].window);
    EXPECT_EQ(platform.boxes[0].text, "Error: Get WDT Enable");
    EXPECT_EQ(tray.icons, std::vector<int>{1});
    EXPECT_EQ(folder.logLines().size(), 1u);
}

TEST_F(ErrorsTest, OtherErrorsShowACriticalBoxAndLeaveTheMonitorWatching)
{
    monitorState().setWatching(true);
    showError(NrError(1, "Cannot Load Settings - Device Discovery Failed."));
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_FALSE(platform.boxes[0].window);
    EXPECT_EQ(platform.boxes[0].text, "Cannot Load Settings - Device Discovery Failed. (1)");
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.boxes[0].title, appTitle());
    EXPECT_TRUE(monitorState().polling());
    EXPECT_FALSE(tray.searching());
    EXPECT_TRUE(tray.icons.empty());
    EXPECT_EQ(folder.logLines(),
              Lines{"Cannot Load Settings - Device Discovery Failed. (1)(Status:17)"});
}

TEST_F(ErrorsTest, LogLinesEndInCrLfAndCarryTheLocalTime)
{
    const auto before = std::chrono::system_clock::now() - std::chrono::seconds(1);
    logFile("Discovery Count < 1 ");
    logFile("second");
    const auto after = std::chrono::system_clock::now() + std::chrono::seconds(1);

    const std::string text = folder.logText();
    static const std::regex line("^Discovery Count < 1  --- (.+)\r\nsecond --- .+\r\n$");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, line)) << text;

    // The stamp is the current local time, to the second.
    const std::string stamp = match[1];
    bool inRange = false;
    for (auto t = before; t <= after; t += std::chrono::seconds(1))
        inRange = inRange || generalDateTime(t) == stamp;
    EXPECT_TRUE(inRange) << stamp;
}

TEST_F(ErrorsTest, GeneralDateTimeShowsTheDateAndTheSeconds)
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 4;
    local.tm_hour = 13;
    local.tm_min = 5;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    const std::string text =
        generalDateTime(std::chrono::system_clock::from_time_t(std::mktime(&local)));
    EXPECT_TRUE(contains(text, "26")) << text;
    EXPECT_TRUE(contains(text, "05:09") || contains(text, "5:09")) << text;
}

// Root can write anywhere chmod allows; nobody can create a file below a regular file.
class UnwritableLogTest : public ErrorsTest {
protected:
    UnwritableLogTest()
    {
        std::ofstream blocker(fsPath(folder.path() + "not-a-folder"));
        EXPECT_TRUE(blocker.good());
        // Neither the application folder nor the state folder can hold it.
        appState().appPath = folder.path() + "not-a-folder/";
        setEnvironment("XDG_STATE_HOME", folder.path() + "not-a-folder/state");
    }
};

TEST_F(UnwritableLogTest, IsReportedOnceAndEverythingElseGoesOn)
{
    platform.holdBoxes = true;
    for (int i = 0; i < 3; ++i)
        logFile("Discovery Count < 1 ");
    showError(raised(3, "Get Global Status"));
    EXPECT_EQ(tray.icons, std::vector<int>{1});
    EXPECT_TRUE(tray.searching());
    platform.answerOpenBox(MsgOK);
    showError(NrError(1, "Other"));
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_TRUE(platform.boxes[0].text.starts_with("The log file "));
    EXPECT_TRUE(contains(platform.boxes[0].text, "not-a-folder/state/pallix/log.txt"));
    EXPECT_EQ(platform.boxes[1].text, "Other (1)");
}

// A state that lasts costs one line, and the file never grows without bound.
TEST_F(ErrorsTest, RepeatedLinesAreCountedAndTheLogRollsOver)
{
    for (int i = 0; i < 4; ++i)
        logFile("Discovery Count < 1 ");
    logFile("found");
    logFile("found");
    flushLogFile();
    EXPECT_EQ(folder.logLines(), (Lines{"Discovery Count < 1 ",
                                        "Discovery Count < 1  (repeated 3 times)", "found",
                                        "found (repeated 1 time)"}));

    {
        std::ofstream log(fsPath(folder.path() + "log.txt"), std::ios::app | std::ios::binary);
        log << std::string(LogRollOverBytes, 'x');
    }
    logFile("after");
    EXPECT_EQ(folder.logLines(), Lines{"after"});
    EXPECT_GT(std::int64_t(std::filesystem::file_size(fsPath(folder.path() + "log.old.txt"))),
              LogRollOverBytes);
}

}   // namespace
