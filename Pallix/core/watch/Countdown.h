// The countdown of a PC power action the device asked for. Each second it
// re-reads the device's inputs and is abandoned when an enabled power input
// is active; at zero the action runs. A view shows it; its Now and Cancel
// buttons, and closing it, come back here.
#pragma once

#include "loop/TaskScope.h"
#include "loop/Timer.h"
#include "watch/WatchEvents.h"

#include <functional>
#include <string>

class CountdownView {
public:
    virtual ~CountdownView() = default;
    virtual void showCountdown(int mode, int secondsLeft) = 0;   // opens the view
    virtual void showSecondsLeft(int secondsLeft) = 0;
    virtual void hideCountdown() = 0;
};

class Countdown {
public:
    static constexpr loop::Duration TickInterval{1000};

    explicit Countdown(WatchEvents &events);
    void setView(CountdownView *view) { view_ = view; }

    // Starts counting seconds down to action code mode. The monitor is held
    // until the countdown ends, whichever way.
    void shutdown(int mode, int seconds);
    void tick();     // the timer's: one tick, unless the last one still waits on the device
    void now();      // the action at the next tick
    void cancel(const std::string &reason = {});   // also closing the view

    bool counting() const { return counting_; }
    bool ticking() const { return ticking_; }
    int secondsLeft() const { return delay_; }
    int mode() const { return mode_; }

    loop::Timer timer;

    // At zero, before the action is decided: whatever was already on its way
    // (a control request, a click) is handled first, so a Cancel sent in
    // time always wins over the last tick.
    std::function<loop::Task<>()> beforeDeciding;
    // After the countdown ended at zero, before the action runs (the monitor
    // stays held meanwhile): others that shut down on this PC's word get
    // their time. A program told to end meanwhile runs no action.
    std::function<loop::Task<>(int mode)> beforeAction;

private:
    enum class InputCheck { Idle, PowerInputActive, Skipped };

    loop::Task<> runTick();
    loop::Task<InputCheck> checkInputs();
    bool stillCounting(unsigned run) const { return counting_ && run == run_; }
    loop::Task<> runAction();
    void finish();   // the countdown is over, whichever way

    WatchEvents &events_;
    CountdownView *view_ = nullptr;
    int mode_ = 0;
    int delay_ = 0;
    bool counting_ = false;
    bool ticking_ = false;
    unsigned run_ = 0;          // which countdown a tick belongs to
    bool skipLogged_ = false;   // the skipped input check was logged for this countdown
    loop::TaskScope tasks_;
};

// True when an input that is enabled as a power input is active.
loop::Task<bool> powerInputActive();

// Action codes after which the PC sleeps and wakes up again.
bool sleepsThePC(int code);

// The log entry written once per countdown when its input check is skipped.
std::string inputCheckSkippedText();
