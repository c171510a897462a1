// A repeating (or single-shot) timer on the program's event loop, with the
// interval and the running state a view or a test can ask for.
#pragma once

#include "loop/EventLoop.h"

#include <functional>
#include <optional>

namespace loop {

class Timer {
public:
    explicit Timer(std::function<void()> onTimeout = {});
    ~Timer();
    Timer(const Timer &) = delete;
    Timer &operator=(const Timer &) = delete;

    void setInterval(Duration interval) { interval_ = interval; }
    Duration interval() const { return interval_; }
    void setSingleShot(bool singleShot) { singleShot_ = singleShot; }

    void start();                    // (re)starts: the first timeout comes one interval from now
    void start(Duration interval);   // with a new interval
    void stop();
    bool isActive() const { return pending_.has_value(); }

    std::function<void()> onTimeout;

private:
    void fire();

    Duration interval_{0};
    bool singleShot_ = false;
    std::optional<TimerId> pending_;
};

}   // namespace loop
