// What a task can wait for on the loop itself: time passing, and the
// events already pending.
#pragma once

#include "loop/EventLoop.h"
#include "loop/Task.h"

namespace loop {

// co_await delay(500ms): the loop runs everything else meanwhile.
struct delay {
    Duration wait;

    bool await_ready() const noexcept { return false; }
    template <typename P> void await_suspend(std::coroutine_handle<P> handle)
    {
        EventLoop::current().startTimer(wait, [handle, life = lifeOf(handle)] {
            if (life && *life) handle.resume();
        });
    }
    void await_resume() const noexcept {}
};

// co_await letEventsRun(): what is pending runs first, then the task goes on.
struct letEventsRun {
    bool await_ready() const noexcept { return false; }
    template <typename P> void await_suspend(std::coroutine_handle<P> handle)
    {
        resumeLater(handle, lifeOf(handle));
    }
    void await_resume() const noexcept {}
};

}   // namespace loop
