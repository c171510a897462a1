// The scrape's text where it is more than the snapshot restated: the
// histogram's buckets, label values that need escaping, and series that
// are left out until their value is known.
#include "Metrics.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

// The samples of a scrape by their name and labels, as written.
std::map<std::string, std::string> samples(const std::string &text)
{
    std::map<std::string, std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (!line.starts_with('#')) {
            const std::size_t space = line.rfind(' ');
            found[line.substr(0, space)] = line.substr(space + 1);
        }
    return found;
}

TEST(Metrics, TheHistogramCountsCumulativelyUpToInf)
{
    MetricsSnapshot snapshot;
    using std::chrono::milliseconds;
    for (const auto roundTrip : {milliseconds(3), milliseconds(5), milliseconds(7),
                                 milliseconds(300), milliseconds(10000)})
        snapshot.pollRoundTrips.observe(roundTrip);
    const auto found = samples(renderMetrics(snapshot));

    const std::pair<const char *, const char *> buckets[] = {
        {"0.005", "2"}, {"0.01", "3"}, {"0.025", "3"}, {"0.05", "3"}, {"0.1", "3"}, {"0.25", "3"},
        {"0.5", "4"},   {"1", "4"},    {"2.5", "4"},   {"5", "4"},    {"+Inf", "5"}};
    for (const auto &[le, count] : buckets)
        EXPECT_EQ(found.at(std::string("pallix_poll_round_trip_seconds_bucket{le=\"") + le + "\"}"),
                  count)
            << le;
    EXPECT_EQ(found.at("pallix_poll_round_trip_seconds_count"), "5");
    EXPECT_NEAR(std::stod(found.at("pallix_poll_round_trip_seconds_sum")), 10.315, 1e-9);
}

TEST(Metrics, LabelValuesAreEscaped)
{
    MetricsSnapshot snapshot;
    snapshot.address = "192.0.2.10";
    snapshot.firmware = "01.03 \"beta\" \\x\nnext";
    snapshot.powerActions = {{"log \"off\"", 2}};
    const auto found = samples(renderMetrics(snapshot));
    EXPECT_EQ(found.at("pallix_device_info{address=\"192.0.2.10\",mac=\"\","
                       "firmware=\"01.03 \\\"beta\\\" \\\\x\\nnext\"}"),
              "1");
    EXPECT_EQ(found.at("pallix_power_actions_total{action=\"log \\\"off\\\"\"}"), "2");
}

// Before the device is found: no made-up information, no made-up register.
TEST(Metrics, UnknownValuesAreLeftOut)
{
    const std::string text = renderMetrics(MetricsSnapshot{});
    EXPECT_EQ(text.find("pallix_device_info{"), std::string::npos);
    EXPECT_EQ(text.find("pallix_global_status "), std::string::npos);
    EXPECT_EQ(samples(text).at("pallix_device_up"), "0");
    EXPECT_EQ(samples(text).at("pallix_countdown_seconds_left"), "0");
}

}   // namespace
