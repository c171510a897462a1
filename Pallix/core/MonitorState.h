// Whether the device monitor polls, decided in one place. It polls while a
// found device is watched and nothing holds it: a countdown owns the device
// until it ends, and a window's own device traffic pauses it. Failures that
// come while the network settles after the PC woke up are not counted.
#pragma once

#include <QDeadlineTimer>
#include <QObject>

enum class MonitorHold : unsigned {
    Countdown = 1u << 0,         // a power action is being counted down
    DeviceOperation = 1u << 1,   // the configuration window talks to the device
};

class MonitorState : public QObject {
    Q_OBJECT
public:
    static constexpr int SettleMs = 20000;

    void setWatching(bool watching);   // a search found the device / it was lost
    bool watching() const { return watching_; }

    void hold(MonitorHold reason);
    void release(MonitorHold reason);
    bool held(MonitorHold reason) const;

    bool polling() const { return watching_ && holds_ == 0; }

    // Failures are not counted for the next milliseconds.
    void settle(int milliseconds = SettleMs);
    bool settling() const { return !settleEnd_.hasExpired(); }

signals:
    void pollingChanged(bool polling);
    void watchingChanged(bool watching);

private:
    void changeTo(bool watching, unsigned holds);

    bool watching_ = false;
    unsigned holds_ = 0;
    QDeadlineTimer settleEnd_{0};
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
