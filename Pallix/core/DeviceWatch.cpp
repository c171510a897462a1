#include "DeviceWatch.h"

#include "AppState.h"
#include "MonitorState.h"

namespace {
DeviceWatch *running = nullptr;
}

DeviceWatch::DeviceWatch()
{
    running = this;
    connect(&search, &DeviceSearch::searchShown, this, &DeviceWatch::searchShown);
    connect(&monitorState(), &MonitorState::watchingChanged, this, &DeviceWatch::watchingChanged);
    connect(&monitor, &DeviceMonitor::powerLossReported, this, &DeviceWatch::powerLost);
    connect(&countdown, &Countdown::started, this, &DeviceWatch::powerRequest);
    connect(&countdown, &Countdown::abandoned, this, &DeviceWatch::countdownAbandoned);
    connect(&countdown, &Countdown::cancelled, this, &DeviceWatch::countdownCancelled);
    connect(&countdown, &Countdown::actionRun, this, &DeviceWatch::powerAction);
}

// Watching starts with every successful search, also one that finds the
// device still watched after the quiet switch to slow rediscovery.
void DeviceWatch::watchingChanged(bool watching)
{
    if (!watching || found_) return;
    found_ = true;
    emit deviceFound(appState().deviceList.value(0));
}

DeviceWatch::~DeviceWatch()
{
    if (running == this) running = nullptr;
}

DeviceWatch *DeviceWatch::current() { return running; }

void DeviceWatch::start()
{
    search.start(DeviceSearch::StartupInterval);
    search.tick();
}

void DeviceWatch::rediscover()
{
    monitorState().setWatching(false);
    search.start(DeviceSearch::SlowInterval);
    search.tick();
}

void DeviceWatch::deviceFailed()
{
    monitorState().setWatching(false);
    emit searchShown(1);
    search.discoveryTimer.start();
    if (!found_) return;
    found_ = false;
    emit deviceLost();
}
