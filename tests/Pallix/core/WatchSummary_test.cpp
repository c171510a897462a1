// What the icon tells of the watch: its tooltip in each state, and one
// notice per event, a find only after a loss.
#include "AppState.h"
#include "RecordingWatch.h"
#include "WatchSummary.h"

#include <gtest/gtest.h>

namespace {

class WatchSummaryTest : public ::testing::Test {
protected:
    WatchSummaryTest()
    {
        appState() = AppState{};
        appState().deviceList = {QStringLiteral("10.0.0.5"), QString()};
        appState().firmwareVersion = QStringLiteral("01.03");
        QObject::connect(&summary, &WatchSummary::notice,
                         [this](const QString &title, const QString &) { notices << title; });
    }

    RecordingWatch watch;
    WatchSummary summary{watch, [] { return QDateTime(QDate(2026, 12, 8), QTime(14, 2)); }};
    QStringList notices;
};

TEST_F(WatchSummaryTest, TheTooltipSaysWhatIsWatched)
{
    EXPECT_EQ(summary.toolTip(), QStringLiteral("Pallix Control Center — searching"));
    emit watch.deviceFound(QStringLiteral("10.0.0.5"));
    EXPECT_EQ(summary.toolTip(),
              QStringLiteral("Pallix Control Center — watching 10.0.0.5 (firmware 01.03)"));
    emit watch.searchShown(1);
    emit watch.deviceLost();
    emit watch.searchShown(1);   // the searches that follow
    EXPECT_EQ(summary.toolTip(), QStringLiteral("Pallix Control Center — device lost since 14:02"));
    emit watch.deviceFound(QStringLiteral("10.0.0.5"));
    EXPECT_EQ(summary.toolTip(),
              QStringLiteral("Pallix Control Center — watching 10.0.0.5 (firmware 01.03)"));
}

TEST_F(WatchSummaryTest, EachEventIsOneNoticeAndTheFirstFindNone)
{
    emit watch.deviceFound(QStringLiteral("10.0.0.5"));
    emit watch.deviceLost();
    emit watch.deviceFound(QStringLiteral("10.0.0.5"));
    emit watch.powerRequest(1, 15);
    emit watch.countdownCancelled();
    emit watch.countdownAbandoned();
    emit watch.powerLost();
    EXPECT_EQ(notices, (QStringList{"Pallix lost", "Pallix found again", "Power action requested",
                                    "Power action cancelled", "Power action abandoned",
                                    "Pallix lost power"}));
}

}   // namespace
