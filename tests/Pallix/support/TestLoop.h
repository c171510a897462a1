// The event loop and device thread a test runs the core on, and waiting on
// them: the core tests run a StdEventLoop, the window tests Qt's.
#pragma once

#include "loop/TaskScope.h"

#include <exception>
#include <functional>
#include <optional>
#include <type_traits>

class TestRunner {
public:
    virtual ~TestRunner() = default;
    // Runs the loop until pred() holds or the time is up; whether it held.
    virtual bool runUntil(const std::function<bool()> &pred, int timeoutMs) = 0;

    static TestRunner &current();
    static void install(TestRunner *runner);
};

// Runs the loop until pred() holds or the time is up; true when it held.
bool waitUntil(const std::function<bool()> &pred, int timeoutMs);
// Lets what is pending run (and what it posts), for a short while.
void letLoopRun(int milliseconds = 50);

// A task run to its end on the loop; its result, or the exception it threw.
template <typename T> T runTask(loop::Task<T> task, int timeoutMs = 60000)
{
    using Stored = std::conditional_t<std::is_void_v<T>, bool, T>;
    std::optional<Stored> result;
    std::exception_ptr error;
    bool ended = false;
    loop::TaskScope scope;
    scope.spawn([](loop::Task<T> t, std::optional<Stored> &r, std::exception_ptr &e,
                   bool &done) -> loop::Task<> {
        try {
            if constexpr (std::is_void_v<T>) {
                co_await std::move(t);
                r = true;
            } else {
                r = co_await std::move(t);
            }
        } catch (...) {
            e = std::current_exception();
        }
        done = true;
    }(std::move(task), result, error, ended));
    if (!waitUntil([&] { return ended; }, timeoutMs)) throw std::runtime_error("task timed out");
    if (error) std::rethrow_exception(error);
    if constexpr (!std::is_void_v<T>) return std::move(*result);
}
