// The requests one device received, oldest first, bounded so a long run
// cannot grow without end.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "Simulator.h"

namespace pallixsim {

class RequestLog {
public:
    static constexpr size_t kCapacity = 200'000;

    void add(Request request);
    void clear();
    std::vector<Request> entries() const { return {entries_.begin(), entries_.end()}; }
    // Counts every request since the last clear, also those the bound let go.
    size_t count() const { return count_; }

private:
    std::deque<Request> entries_;
    size_t count_ = 0;
};

}  // namespace pallixsim
