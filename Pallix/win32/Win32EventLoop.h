// The core's event loop on the Win32 message loop: posted work and timers
// arrive as messages to a hidden message-only window; quit is
// PostQuitMessage. Modeless dialogs get their keyboard handling here.
#pragma once

#include "loop/EventLoop.h"

#include <deque>
#include <map>
#include <mutex>

#include <windows.h>

class Win32EventLoop : public loop::EventLoop {
public:
    Win32EventLoop();
    ~Win32EventLoop() override;
    Win32EventLoop(const Win32EventLoop &) = delete;
    Win32EventLoop &operator=(const Win32EventLoop &) = delete;

    void post(std::function<void()> fn) override;
    loop::TimerId startTimer(loop::Duration delay, std::function<void()> fn) override;
    void cancelTimer(loop::TimerId id) override;
    loop::Clock::time_point now() const override;
    void quit(int exitCode) override;

    // Runs the thread's messages until quit; quit's code.
    int run();
    // Runs them until done says so, or until quit, which is kept for run.
    static void runUntil(const std::function<bool()> &done);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void runPosted();
    void fire(UINT_PTR id);

    HWND window_ = nullptr;
    std::mutex mutex_;                              // guards posted_ and wakePending_
    std::deque<std::function<void()>> posted_;
    bool wakePending_ = false;                      // one message carries every posted call
    std::map<UINT_PTR, std::function<void()>> timers_;   // loop's thread only
    UINT_PTR nextTimer_ = 1;
};
