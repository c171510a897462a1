// An event loop of the standard library alone, run by the thread that
// calls run(): for programs without a toolkit loop and for tests. Tests may
// let it skip idle time: when nothing is posted and the outside world is
// quiet (no device call in flight), the clock jumps to the next timer, so
// waits of seconds cost nothing while device traffic keeps its real pace.
#pragma once

#include "loop/EventLoop.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace loop {

class StdEventLoop : public EventLoop {
public:
    void post(std::function<void()> fn) override;
    TimerId startTimer(Duration delay, std::function<void()> fn) override;
    void cancelTimer(TimerId id) override;
    Clock::time_point now() const override;

    // Runs posted work and due timers until quit(); quit's code.
    int run();
    void quit(int code = 0) override;
    // Runs until pred() holds, checked after every step, or until timeout
    // (on the loop's clock); whether it held.
    bool runUntil(const std::function<bool()> &pred, Duration timeout);

    // Idle time is skipped while quiet() says nothing else is on its way.
    void skipIdleTime(std::function<bool()> quiet) { quiet_ = std::move(quiet); }

private:
    struct PendingTimer {
        TimerId id;
        std::function<void()> fn;
    };
    using Timers = std::multimap<Clock::time_point, PendingTimer>;

    // Runs one posted function or one due timer, waiting at most until
    // deadline for one; false when none came.
    bool step(Clock::time_point deadline);
    bool runDueTimer();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> posted_;
    Timers timers_;
    std::map<TimerId, Timers::iterator> timerIndex_;
    TimerId nextId_ = 1;
    Clock::duration skipped_{0};
    std::function<bool()> quiet_;
    bool quit_ = false;
    int exitCode_ = 0;
};

}   // namespace loop
