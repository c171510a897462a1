// What both programs run to protect the PC: the search for the device, the
// monitor that watches it and the countdown of a power action it asks for.
// One per program; views follow it as its observers.
#pragma once

#include "watch/Countdown.h"
#include "watch/DeviceMonitor.h"
#include "watch/DeviceSearch.h"
#include "watch/MonitorState.h"
#include "watch/WatchEvents.h"

#include <vector>

class DeviceWatch : private MonitorObserver {
public:
    DeviceWatch();
    ~DeviceWatch() override;
    DeviceWatch(const DeviceWatch &) = delete;
    DeviceWatch &operator=(const DeviceWatch &) = delete;

    // Observers are told of every event, in the order they were added.
    void addObserver(WatchEvents *observer);
    void removeObserver(WatchEvents *observer);

    void start();          // at start-up: a search now, then every 5 s until found
    void rediscover();     // stop watching and search every 10 s until found
    void deviceFailed();   // the device stopped answering: shown, and searched for again

private:
    // Tells every observer.
    class Broadcast : public WatchEvents {
    public:
        std::vector<WatchEvents *> observers;

        void searchShown(int iconIndex) override;
        void deviceFound(const std::string &address) override;
        void deviceLost() override;
        void powerRequest(int mode, int seconds) override;
        void countdownAbandoned() override;
        void countdownCancelled(const std::string &reason) override;
        void powerAction(int mode) override;
        void powerLost() override;
        void polled(bool answered, std::chrono::steady_clock::duration took) override;

    private:
        // An observer may add or remove observers while it is told.
        template <typename Tell> void each(Tell tell)
        {
            for (WatchEvents *observer : std::vector<WatchEvents *>(observers))
                tell(*observer);
        }
    };

    void pollingChanged(bool polling) override;
    void watchingChanged(bool watching) override;

    Broadcast events_;
    bool found_ = false;   // deviceFound was the last of the two told

public:
    Countdown countdown{events_};
    DeviceSearch search{events_};
    DeviceMonitor monitor{search, countdown, events_};
};
