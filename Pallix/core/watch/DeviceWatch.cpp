#include "watch/DeviceWatch.h"

#include "app/AppState.h"
#include "app/NrErrors.h"

#include <algorithm>

DeviceWatch::DeviceWatch()
{
    monitorState().setObserver(this);
    setDeviceErrorListener([this] { deviceFailed(); });
}

DeviceWatch::~DeviceWatch()
{
    setDeviceErrorListener(nullptr);
    monitorState().setObserver(nullptr);
}

void DeviceWatch::addObserver(WatchEvents *observer) { events_.observers.push_back(observer); }

void DeviceWatch::removeObserver(WatchEvents *observer)
{
    std::erase(events_.observers, observer);
}

void DeviceWatch::pollingChanged(bool polling) { monitor.pollingChanged(polling); }

// Watching starts with every successful search, also one that finds the
// device still watched after the quiet switch to slow rediscovery.
void DeviceWatch::watchingChanged(bool watching)
{
    monitor.watchingChanged(watching);
    if (!watching || found_) return;
    found_ = true;
    events_.deviceFound(appState().firstDevice());
}

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
    events_.searchShown(1);
    search.discoveryTimer.start();
    if (!found_) return;
    found_ = false;
    events_.deviceLost();
}

void DeviceWatch::Broadcast::searchShown(int iconIndex)
{
    each([&](WatchEvents &o) { o.searchShown(iconIndex); });
}
void DeviceWatch::Broadcast::deviceFound(const std::string &address)
{
    each([&](WatchEvents &o) { o.deviceFound(address); });
}
void DeviceWatch::Broadcast::deviceLost()
{
    each([](WatchEvents &o) { o.deviceLost(); });
}
void DeviceWatch::Broadcast::powerRequest(int mode, int seconds)
{
    each([&](WatchEvents &o) { o.powerRequest(mode, seconds); });
}
void DeviceWatch::Broadcast::countdownAbandoned()
{
    each([](WatchEvents &o) { o.countdownAbandoned(); });
}
void DeviceWatch::Broadcast::countdownCancelled(const std::string &reason)
{
    each([&](WatchEvents &o) { o.countdownCancelled(reason); });
}
void DeviceWatch::Broadcast::powerAction(int mode)
{
    each([&](WatchEvents &o) { o.powerAction(mode); });
}
void DeviceWatch::Broadcast::powerLost()
{
    each([](WatchEvents &o) { o.powerLost(); });
}
void DeviceWatch::Broadcast::polled(bool answered, std::chrono::steady_clock::duration took)
{
    each([&](WatchEvents &o) { o.polled(answered, took); });
}
