// The log while a state lasts: a device that fails, is lost and found
// again in turn costs a few lines, not hundreds, and what the PC was asked
// to do is written every time.
#include "app/LogRepeats.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

class LogRepeatsTest : public ::testing::Test {
protected:
    void add(const std::string &entry, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            now += 2s;
            for (std::string &line : repeats.add(entry, now))
                written.push_back(std::move(line));
        }
    }
    // Ten failed polls, the device lost, the device found.
    void flap(int rounds)
    {
        for (int i = 0; i < rounds; ++i) {
            add("Error: Get Global Status (4)(Status:0)", 10);
            add("device-lost");
            add("device-found");
        }
    }
    void flush()
    {
        for (std::string &line : repeats.flush())
            written.push_back(std::move(line));
    }

    LogRepeats repeats;
    LogRepeats::Clock::time_point now;
    Lines written;
};

const Lines twoRounds{"Error: Get Global Status (4)(Status:0)",
                      "Error: Get Global Status (4)(Status:0) (repeated 9 times)",
                      "device-lost",
                      "device-found",
                      "Error: Get Global Status (4)(Status:0)",
                      "Error: Get Global Status (4)(Status:0) (repeated 9 times)",
                      "device-lost",
                      "device-found"};

TEST_F(LogRepeatsTest, AFlappingDeviceIsWrittenTwiceThenCountedInRounds)
{
    flap(12);   // 12 x 24 s: within ten minutes
    EXPECT_EQ(written, twoRounds);
    add("Error: Get Global Status (4)(Status:0)", 3);   // a round begun, then something new
    add("pallixd ends");
    Lines expected = twoRounds;
    expected.insert(expected.end(),
                    {"(the 3 entries before came again 10 times in the same order: 120 entries)",
                     "Error: Get Global Status (4)(Status:0)", "pallixd ends"});
    EXPECT_EQ(written, expected);
}

TEST_F(LogRepeatsTest, ALastingRoundIsCountedEveryTenMinutes)
{
    flap(2 + 60);   // 24 minutes
    Lines summaries(written.begin() + std::ptrdiff_t(twoRounds.size()), written.end());
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_EQ(summaries[0],
              "(the 3 entries before came again 26 times in the same order: 312 entries)");
    flush();
    EXPECT_EQ(written.size(), twoRounds.size() + 3);
}

TEST_F(LogRepeatsTest, EventsAreWrittenEveryTimeAndBreakARound)
{
    for (int i = 0; i < 3; ++i) {
        for (std::string &line : repeats.addEvent("power-request: Shutdown in 2 second(s)"))
            written.push_back(std::move(line));
        add("Error: Get Global Status (4)(Status:0)");
    }
    EXPECT_EQ(written.size(), 6u);
    flap(3);
    for (std::string &line : repeats.addEvent("power-action: Shutdown"))
        written.push_back(std::move(line));
    EXPECT_EQ(written.back(), "power-action: Shutdown");
    EXPECT_EQ(written[written.size() - 2],
              "(the 3 entries before came again 1 time in the same order: 12 entries)");
}

TEST_F(LogRepeatsTest, PlainRepeatsAreCountedAsBefore)
{
    add("Discovery Count < 1 ", 4);
    add("found", 2);
    flush();
    EXPECT_EQ(written, (Lines{"Discovery Count < 1 ", "Discovery Count < 1  (repeated 3 times)",
                              "found", "found (repeated 1 time)"}));
}

}   // namespace
