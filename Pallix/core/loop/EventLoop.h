// The thread the core runs on, as a front end provides it: work posted from
// any thread, one-shot timers and a clock. Qt's event loop on Linux, the
// Win32 message loop on Windows, StdEventLoop where neither runs (the
// command line, tests).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace loop {

using Clock = std::chrono::steady_clock;
using Duration = std::chrono::milliseconds;
using TimerId = std::uint64_t;

class EventLoop {
public:
    virtual ~EventLoop() = default;

    // Runs fn on the loop's thread after what is already pending. Any thread.
    virtual void post(std::function<void()> fn) = 0;
    // Calls fn once, on the loop's thread, when delay has passed. Loop's thread only.
    virtual TimerId startTimer(Duration delay, std::function<void()> fn) = 0;
    // A timer that has not fired yet never will. Loop's thread only.
    virtual void cancelTimer(TimerId id) = 0;
    virtual Clock::time_point now() const = 0;
    // The loop returns, with this exit code, once the current work is done.
    virtual void quit(int exitCode) = 0;

    // The program's loop; installing one is the front end's first step.
    static EventLoop &current();
    static void install(EventLoop *loop);
};

}   // namespace loop
