#include "loop/Timer.h"

#include <utility>

namespace loop {

Timer::Timer(std::function<void()> timeout) : onTimeout(std::move(timeout)) {}

Timer::~Timer() { stop(); }

void Timer::start()
{
    stop();
    pending_ = EventLoop::current().startTimer(interval_, [this] { fire(); });
}

void Timer::start(Duration interval)
{
    interval_ = interval;
    start();
}

void Timer::stop()
{
    if (pending_) EventLoop::current().cancelTimer(*std::exchange(pending_, std::nullopt));
}

// The next timeout is armed before the handler runs, so a handler that
// stops or restarts the timer has the last word.
void Timer::fire()
{
    pending_.reset();
    if (!singleShot_) start();
    if (onTimeout) onTimeout();
}

}   // namespace loop
