// What both programs run to protect the PC: the search for the device, the
// monitor that watches it and the countdown of a power action it asks for.
// One per program; views follow it through its signals.
#pragma once

#include "Countdown.h"
#include "DeviceMonitor.h"
#include "DeviceSearch.h"

#include <QObject>

class DeviceWatch : public QObject {
    Q_OBJECT
public:
    DeviceWatch();
    ~DeviceWatch() override;
    DeviceWatch(const DeviceWatch &) = delete;
    DeviceWatch &operator=(const DeviceWatch &) = delete;

    // The watch the program runs; null before it exists.
    static DeviceWatch *current();

    void start();          // at start-up: a search now, then every 5 s until found
    void rediscover();     // stop watching and search every 10 s until found
    void deviceFailed();   // the device stopped answering: shown, and searched for again

    Countdown countdown;
    DeviceSearch search;
    DeviceMonitor monitor{search, countdown};

signals:
    void searchShown(int iconIndex);   // 0 found (red), otherwise searching or lost (gray)

    // What a person or a log is told. Lost and found alternate: each comes
    // once per change, however long the state lasts.
    void deviceFound(const QString &address);
    void deviceLost();
    void powerRequest(int mode, int seconds);   // a countdown to action code mode started
    void countdownAbandoned();                  // an enabled power input became active
    void countdownCancelled();
    void powerAction(int mode);   // the action ran (or, in a dry run, was written out)
    void powerLost();             // the device lost power and its configuration

private:
    void watchingChanged(bool watching);

    bool found_ = false;   // deviceFound was the last of the two told
};
