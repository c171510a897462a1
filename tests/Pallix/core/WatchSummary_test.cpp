// What the icon tells of the watch: its tooltip in each state, and one
// notice per event, a find only after a loss.
#include "RecordingWatch.h"
#include "app/AppState.h"
#include "watch/WatchSummary.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

class RecordingIcon : public SummaryView {
public:
    void showToolTip(const std::string &text) override { toolTip = text; }
    void notify(const std::string &title, const std::string &) override
    {
        notices.push_back(title);
    }
    std::string toolTip;
    Lines notices;
};

std::chrono::system_clock::time_point at1402()
{
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 8;
    local.tm_hour = 14;
    local.tm_min = 2;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

// The summary hears the watch's events; the test tells it as the watch would.
class WatchSummaryTest : public ::testing::Test {
protected:
    WatchSummaryTest()
    {
        appState() = AppState{};
        appState().deviceList = {"10.0.0.5", std::string()};
        appState().firmwareVersion = "01.03";
    }

    RecordingWatch watch;
    RecordingIcon icon;
    WatchSummary summary{watch, icon, &at1402};
};

TEST_F(WatchSummaryTest, TheTooltipSaysWhatIsWatched)
{
    EXPECT_EQ(summary.toolTip(), "Pallix Control Center — searching");
    summary.deviceFound("10.0.0.5");
    EXPECT_EQ(icon.toolTip, "Pallix Control Center — watching 10.0.0.5 (firmware 01.03)");
    summary.searchShown(1);
    summary.deviceLost();
    summary.searchShown(1);   // the searches that follow
    EXPECT_EQ(icon.toolTip, "Pallix Control Center — device lost since 14:02");
    summary.deviceFound("10.0.0.5");
    EXPECT_EQ(icon.toolTip, "Pallix Control Center — watching 10.0.0.5 (firmware 01.03)");
}

TEST_F(WatchSummaryTest, EachEventIsOneNoticeAndTheFirstFindNone)
{
    summary.deviceFound("10.0.0.5");
    summary.deviceLost();
    summary.deviceFound("10.0.0.5");
    summary.powerRequest(1, 15);
    summary.countdownCancelled("");
    summary.countdownAbandoned();
    summary.powerLost();
    EXPECT_EQ(icon.notices, (Lines{"Pallix lost", "Pallix found again", "Power action requested",
                                   "Power action cancelled", "Power action abandoned",
                                   "Pallix lost power"}));
}

// The watch tells its observers, the summary among them.
TEST_F(WatchSummaryTest, HearsTheWatchItSummarises)
{
    appState().deviceCount = 1;
    monitorState().setWatching(true);
    EXPECT_EQ(icon.toolTip, "Pallix Control Center — watching 10.0.0.5 (firmware 01.03)");
    monitorState().setWatching(false);
}

}   // namespace
