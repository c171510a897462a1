// The discovery timer of the tray window and the search it runs.
#pragma once

#include "loop/TaskScope.h"
#include "loop/Timer.h"
#include "watch/FirmwareCheck.h"
#include "watch/WatchEvents.h"

class DeviceSearch {
public:
    static constexpr loop::Duration StartupInterval{5000};
    static constexpr loop::Duration SlowInterval{10000};
    static constexpr int Attempts = 5;

    explicit DeviceSearch(WatchEvents &events);

    // Enables discoveryTimer at the given interval.
    void start(loop::Duration interval);

    // One discovery tick: doDiscovery, showing the search state only on the
    // first. A tick that comes due while a search runs is skipped.
    void tick();
    bool searching() const { return ticking_; }

    // Up to five discovery runs; on success the firmware check and the monitor.
    loop::Task<> doDiscovery(bool showSearchStatus);

    loop::Timer discoveryTimer;
    bool offerFirmwareUpdate = true;   // a program nobody looks at offers none
    int discoveryTicks = 0;
    bool lastDiscoveryFailed = false;
    FirmwareOffer firmwareOffer;

private:
    loop::Task<> runTick();
    loop::Task<bool> searchFound();
    loop::Task<> found();
    void notFound(bool showSearchStatus);

    WatchEvents &events_;
    bool ticking_ = false;
    loop::TaskScope tasks_;
};
