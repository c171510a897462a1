// Something tasks wait for until another task says it happened: "the test
// has ended". Each set() resumes the tasks waiting then; later waits wait
// for the next set().
#pragma once

#include "loop/Task.h"

#include <utility>
#include <vector>

namespace loop {

class Event {
public:
    void set()
    {
        for (auto &[handle, life] : std::exchange(waiting_, {}))
            resumeLater(handle, life);
    }

    struct Awaiter {
        Event &event;
        bool await_ready() const noexcept { return false; }
        template <typename P> void await_suspend(std::coroutine_handle<P> handle)
        {
            event.waiting_.emplace_back(handle, lifeOf(handle));
        }
        void await_resume() const noexcept {}
    };

    Awaiter wait() { return Awaiter{*this}; }

private:
    std::vector<std::pair<std::coroutine_handle<>, Life>> waiting_;
};

}   // namespace loop
