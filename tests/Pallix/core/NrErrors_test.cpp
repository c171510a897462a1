// Error checking, error reporting and the log file.
#include "AppState.h"
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "NrErrors.h"
#include "RecordingWatch.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class ErrorsTest : public ::testing::Test {
protected:
    ErrorsTest()
    {
        appState().deviceError = false;
        appState().testBusy = false;
        appState().lastGlobalStatus = 17;
    }

    NrError raised(int status, const QString &operation)
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

TEST_F(ErrorsTest, CheckErrorWithStatusZeroRaisesNothingAndClearsTheMark)
{
    appState().deviceError = true;
    EXPECT_NO_THROW(checkError(0, QStringLiteral("Get WDT Enable")));
    EXPECT_FALSE(appState().deviceError);
}

TEST_F(ErrorsTest, CheckErrorRaisesTheStatusWithTheOperationName)
{
    const NrError error = raised(3, QStringLiteral("Get WDT Enable"));
    EXPECT_EQ(error.number(), 3);
    EXPECT_EQ(error.description(), QStringLiteral("Error: Get WDT Enable"));
    EXPECT_TRUE(appState().deviceError);
}

TEST_F(ErrorsTest, DeviceErrorOutsideATestGraysTheIconAndLogsWithoutABox)
{
    monitorState().setWatching(true);
    showError(raised(3, QStringLiteral("Get Global Status")));
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(tray.icons, QList<int>{1});
    EXPECT_TRUE(tray.searching());
    EXPECT_FALSE(monitorState().watching());
    EXPECT_FALSE(appState().deviceError);
    EXPECT_EQ(folder.logLines(), QStringList{"Error: Get Global Status (3)(Status:17)"});
}

TEST_F(ErrorsTest, DeviceErrorDuringASelfTestAlsoShowsTheMessageWindow)
{
    appState().testBusy = true;
    showError(raised(3, QStringLiteral("Get WDT Enable")));
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].window);
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("Error: Get WDT Enable"));
    EXPECT_EQ(tray.icons, QList<int>{1});
    EXPECT_EQ(folder.logLines().size(), 1);
}

TEST_F(ErrorsTest, OtherErrorsShowACriticalBoxAndLeaveTheMonitorWatching)
{
    monitorState().setWatching(true);
    showError(NrError(1, QStringLiteral("Cannot Load Settings - Device Discovery Failed.")));
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_FALSE(platform.boxes[0].window);
    EXPECT_EQ(platform.boxes[0].text,
              QStringLiteral("Cannot Load Settings - Device Discovery Failed. (1)"));
    EXPECT_EQ(platform.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.boxes[0].title, appTitle());
    EXPECT_TRUE(monitorState().polling());
    EXPECT_FALSE(tray.searching());
    EXPECT_TRUE(tray.icons.isEmpty());
    EXPECT_EQ(folder.logLines(),
              QStringList{"Cannot Load Settings - Device Discovery Failed. (1)(Status:17)"});
}

TEST_F(ErrorsTest, LogLinesEndInCrLfAndCarryTheLocalTime)
{
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    logFile(QStringLiteral("Discovery Count < 1 "));
    logFile(QStringLiteral("second"));
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);

    const QString text = folder.logText();
    const QRegularExpression line(
        QStringLiteral("^Discovery Count < 1  --- (.+)\r\nsecond --- .+\r\n$"));
    const auto match = line.match(text);
    ASSERT_TRUE(match.hasMatch()) << text.toStdString();

    // The stamp is the current local time, to the second.
    const QString stamp = match.captured(1);
    bool inRange = false;
    for (QDateTime t = before; t <= after; t = t.addSecs(1))
        inRange = inRange || generalDateTime(t) == stamp;
    EXPECT_TRUE(inRange) << stamp.toStdString();
}

TEST_F(ErrorsTest, GeneralDateTimeShowsTheDateAndTheSeconds)
{
    const QDateTime when(QDate(2026, 3, 4), QTime(13, 5, 9));
    const QString text = generalDateTime(when);
    const QLocale locale = QLocale::system();
    EXPECT_TRUE(text.startsWith(locale.toString(when.date(), QLocale::ShortFormat)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("05:09")) || text.contains(QStringLiteral("5:09")))
        << text.toStdString();
}

// Root can write anywhere chmod allows; nobody can create a file below a regular file.
class UnwritableLogTest : public ErrorsTest {
protected:
    UnwritableLogTest()
    {
        QFile blocker(folder.path() + QStringLiteral("not-a-folder"));
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
        // Neither the application folder nor the state folder can hold it.
        appState().appPath = folder.path() + QStringLiteral("not-a-folder/");
        qputenv("XDG_STATE_HOME", (folder.path() + QStringLiteral("not-a-folder/state")).toLocal8Bit());
    }
};

TEST_F(UnwritableLogTest, IsReportedOnceAndEverythingElseGoesOn)
{
    platform.holdBoxes = true;
    for (int i = 0; i < 3; ++i)
        logFile(QStringLiteral("Discovery Count < 1 "));
    showError(raised(3, QStringLiteral("Get Global Status")));
    EXPECT_EQ(tray.icons, QList<int>{1});
    EXPECT_TRUE(tray.searching());
    platform.answerOpenBox(MsgOK);
    showError(NrError(1, QStringLiteral("Other")));
    ASSERT_EQ(platform.boxes.size(), 2);
    EXPECT_TRUE(platform.boxes[0].text.startsWith(QStringLiteral("The log file ")));
    EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("not-a-folder/state/pallix/log.txt")));
    EXPECT_EQ(platform.boxes[1].text, QStringLiteral("Other (1)"));
}

// A state that lasts costs one line, and the file never grows without bound.
TEST_F(ErrorsTest, RepeatedLinesAreCountedAndTheLogRollsOver)
{
    for (int i = 0; i < 4; ++i)
        logFile(QStringLiteral("Discovery Count < 1 "));
    logFile(QStringLiteral("found"));
    logFile(QStringLiteral("found"));
    flushLogFile();
    EXPECT_EQ(folder.logLines(),
              (QStringList{"Discovery Count < 1 ", "Discovery Count < 1  (repeated 3 times)",
                           "found", "found (repeated 1 time)"}));

    QFile log(folder.path() + QStringLiteral("log.txt"));
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write(QByteArray(LogRollOverBytes, 'x'));
    log.close();
    logFile(QStringLiteral("after"));
    EXPECT_EQ(folder.logLines(), QStringList{"after"});
    QFile old(folder.path() + QStringLiteral("log.old.txt"));
    EXPECT_GT(old.size(), LogRollOverBytes);
}

}   // namespace
