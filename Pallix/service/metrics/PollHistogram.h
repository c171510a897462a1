// Round-trip times of the device's polls, counted in Prometheus' histogram
// buckets. A plain value: whoever owns one observes and copies it on one
// thread (or under its own lock).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

class PollHistogram {
public:
    // Upper bounds in seconds: a reply on a quiet network takes a few
    // milliseconds; one the library retried takes a second or more.
    static constexpr std::array<double, 10> Bounds{0.005, 0.01, 0.025, 0.05, 0.1,
                                                   0.25,  0.5,  1.0,   2.5,  5.0};

    void observe(std::chrono::duration<double> roundTrip);

    // Observations no longer than Bounds[i] (cumulative, as Prometheus counts).
    std::uint64_t countUpTo(std::size_t i) const;
    std::uint64_t count() const { return count_; }
    double sumSeconds() const { return sum_; }

private:
    std::array<std::uint64_t, Bounds.size()> inBucket_{};   // each in its own bucket only
    std::uint64_t count_ = 0;
    double sum_ = 0;
};
