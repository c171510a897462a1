#include "PollHistogram.h"

#include <algorithm>
#include <numeric>

void PollHistogram::observe(std::chrono::duration<double> roundTrip)
{
    const double seconds = roundTrip.count();
    const auto bucket = std::ranges::lower_bound(Bounds, seconds);
    if (bucket != Bounds.end()) ++inBucket_[std::size_t(bucket - Bounds.begin())];
    ++count_;
    sum_ += seconds;
}

std::uint64_t PollHistogram::countUpTo(std::size_t i) const
{
    return std::accumulate(inBucket_.begin(), inBucket_.begin() + std::ptrdiff_t(i) + 1,
                           std::uint64_t{0});
}
