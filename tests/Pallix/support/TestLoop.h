// The event loop and device thread a test runs the core on, and waiting on
// them: the core tests run a StdEventLoop, the window tests Qt's.
#pragma once

#include "loop/Outcome.h"

#include <functional>
#include <stdexcept>

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
    loop::Outcome<T> outcome;
    loop::TaskScope scope;
    outcome.follow(scope, std::move(task));
    if (!waitUntil([&] { return outcome.known(); }, timeoutMs))
        throw std::runtime_error("task timed out");
    return outcome.take();
}
