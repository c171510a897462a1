// Whether the device monitor polls, decided in one place. It polls while a
// found device is watched and nothing holds it: a countdown owns the device
// until it ends, and a window's own device traffic pauses it. Failures that
// come while the network settles after the PC woke up are not counted.
#pragma once

#include "loop/EventLoop.h"

enum class MonitorHold : unsigned {
    Countdown = 1u << 0,         // a power action is being counted down
    DeviceOperation = 1u << 1,   // the configuration window talks to the device
};

// The device watch follows the changes.
class MonitorObserver {
public:
    virtual ~MonitorObserver() = default;
    virtual void pollingChanged(bool polling) = 0;
    virtual void watchingChanged(bool watching) = 0;
};

class MonitorState {
public:
    static constexpr loop::Duration Settle{20000};

    void setObserver(MonitorObserver *observer) { observer_ = observer; }

    void setWatching(bool watching);   // a search found the device / it was lost
    bool watching() const { return watching_; }

    void hold(MonitorHold reason);
    void release(MonitorHold reason);
    bool held(MonitorHold reason) const;

    bool polling() const { return watching_ && holds_ == 0; }

    // Failures are not counted for this long.
    void settle(loop::Duration time = Settle);
    bool settling() const;

private:
    void changeTo(bool watching, unsigned holds);

    MonitorObserver *observer_ = nullptr;
    bool watching_ = false;
    unsigned holds_ = 0;
    loop::Clock::time_point settleEnd_{};
};

MonitorState &monitorState();

// Holds the monitor for as long as it lives, and leaves it as it found it:
// a hold that was already in place stays.
class MonitorHoldScope {
public:
    explicit MonitorHoldScope(MonitorHold reason);
    ~MonitorHoldScope();
    MonitorHoldScope(const MonitorHoldScope &) = delete;
    MonitorHoldScope &operator=(const MonitorHoldScope &) = delete;

private:
    MonitorHold reason_;
    bool took_;
};
