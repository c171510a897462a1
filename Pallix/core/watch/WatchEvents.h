// What the device watch tells the programs around it: the search state for
// the icon, and the events a person or a log is told of. Observers override
// what they need.
#pragma once

#include <chrono>
#include <string>

class WatchEvents {
public:
    virtual ~WatchEvents() = default;

    virtual void searchShown(int /*iconIndex*/) {}   // 0 found (red), otherwise searching or lost (gray)

    // Lost and found alternate: each comes once per change, however long
    // the state lasts.
    virtual void deviceFound(const std::string & /*address*/) {}
    virtual void deviceLost() {}
    virtual void powerRequest(int /*mode*/, int /*seconds*/) {}   // a countdown to action code mode started
    virtual void countdownAbandoned() {}   // an enabled power input became active
    // reason: who or what cancelled it, when known ("pallixd was stopped").
    virtual void countdownCancelled(const std::string & /*reason*/) {}
    virtual void powerAction(int /*mode*/) {}   // the action ran (or, in a dry run, was written out)
    virtual void powerLost() {}                 // the device lost power and its configuration
    // One poll of the monitor's: whether the device answered, and how long
    // the read took from the moment it was asked for.
    virtual void polled(bool /*answered*/, std::chrono::steady_clock::duration /*took*/) {}
};
