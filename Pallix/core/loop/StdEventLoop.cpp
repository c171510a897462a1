#include "loop/StdEventLoop.h"

#include <algorithm>

namespace loop {

namespace {
constexpr auto QuietRecheck = std::chrono::milliseconds(20);
}

void StdEventLoop::post(std::function<void()> fn)
{
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(fn));
    }
    wake_.notify_one();
}

TimerId StdEventLoop::startTimer(Duration delay, std::function<void()> fn)
{
    const TimerId id = nextId_++;
    const auto due = now() + std::max(delay, Duration(0));
    timerIndex_[id] = timers_.emplace(due, PendingTimer{id, std::move(fn)});
    return id;
}

void StdEventLoop::cancelTimer(TimerId id)
{
    const auto found = timerIndex_.find(id);
    if (found == timerIndex_.end()) return;
    timers_.erase(found->second);
    timerIndex_.erase(found);
}

Clock::time_point StdEventLoop::now() const { return Clock::now() + skipped_; }

int StdEventLoop::run()
{
    quit_ = false;
    while (!quit_)
        step(Clock::time_point::max());
    return exitCode_;
}

void StdEventLoop::quit(int code)
{
    quit_ = true;
    exitCode_ = code;
}

bool StdEventLoop::runUntil(const std::function<bool()> &pred, Duration timeout)
{
    const auto deadline = now() + timeout;
    while (!pred()) {
        if (now() >= deadline) return false;
        step(deadline);
    }
    return true;
}

bool StdEventLoop::runDueTimer()
{
    if (timers_.empty() || timers_.begin()->first > now()) return false;
    PendingTimer timer = std::move(timers_.begin()->second);
    timerIndex_.erase(timer.id);
    timers_.erase(timers_.begin());
    timer.fn();
    return true;
}

bool StdEventLoop::step(Clock::time_point deadline)
{
    std::function<void()> next;
    {
        std::unique_lock lock(mutex_);
        if (posted_.empty() && !timers_.empty() && quiet_ && quiet_()) {
            const auto due = std::min(timers_.begin()->first, deadline);
            if (due > now()) skipped_ += due - now();
        }
        if (posted_.empty()) {
            auto until = deadline;
            if (!timers_.empty()) until = std::min(until, timers_.begin()->first);
            // The clock may have skipped ahead; waits are in real time.
            const auto realUntil = until == Clock::time_point::max() ? until : until - skipped_;
            // While skipping, quiet() is asked again soon: the device may go quiet.
            const auto wakeUp =
                quiet_ ? std::min(realUntil, Clock::now() + QuietRecheck) : realUntil;
            const auto woken = [this] { return !posted_.empty(); };
            if (wakeUp == Clock::time_point::max())
                wake_.wait(lock, woken);
            else
                wake_.wait_until(lock, wakeUp, woken);
        }
        if (!posted_.empty()) {
            next = std::move(posted_.front());
            posted_.pop_front();
        }
    }
    if (next) {
        next();
        return true;
    }
    return runDueTimer();
}

}   // namespace loop
