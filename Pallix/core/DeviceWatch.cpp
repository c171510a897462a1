#include "DeviceWatch.h"

#include "MonitorState.h"

namespace {
DeviceWatch *running = nullptr;
}

DeviceWatch::DeviceWatch()
{
    running = this;
    connect(&search, &DeviceSearch::searchShown, this, &DeviceWatch::searchShown);
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
}
