// Work that must not interleave with other work of its kind runs one at a
// time, in the order it was asked for: a task takes its turn (waiting while
// another has it) and gives it up when the Turn it holds goes.
#pragma once

#include "loop/Task.h"

#include <deque>
#include <utility>

namespace loop {

class Turns {
public:
    class Turn {
    public:
        explicit Turn(Turns *turns) : turns_(turns) {}
        Turn(Turn &&other) noexcept : turns_(std::exchange(other.turns_, nullptr)) {}
        Turn &operator=(Turn &&) = delete;
        ~Turn()
        {
            if (turns_) turns_->next();
        }

    private:
        Turns *turns_;
    };

    struct Awaiter {
        Turns &turns;
        bool await_ready() noexcept
        {
            if (turns.busy_) return false;
            turns.busy_ = true;
            return true;
        }
        template <typename P> void await_suspend(std::coroutine_handle<P> handle)
        {
            turns.waiting_.emplace_back(handle, lifeOf(handle));
        }
        Turn await_resume() noexcept { return Turn(&turns); }
    };

    // co_await take(): the Turn, once it is this task's.
    Awaiter take() { return Awaiter{*this}; }

    bool busy() const { return busy_; }

private:
    // The next waiting task whose root still lives gets the turn.
    void next()
    {
        while (!waiting_.empty()) {
            auto [handle, life] = std::move(waiting_.front());
            waiting_.pop_front();
            if (life && *life) {
                resumeLater(handle, life);
                return;
            }
        }
        busy_ = false;
    }

    bool busy_ = false;
    std::deque<std::pair<std::coroutine_handle<>, Life>> waiting_;
};

}   // namespace loop
