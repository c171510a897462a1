#include "watch/DeviceSearch.h"

#include "app/AppState.h"
#include "app/NrErrors.h"
#include "app/TimeDelay.h"
#include "loop/Raised.h"
#include "loop/Waits.h"
#include "watch/MonitorState.h"
#include "watch/NrDiscovery.h"

#include <optional>

DeviceSearch::DeviceSearch(WatchEvents &events) : events_(events)
{
    discoveryTimer.setInterval(StartupInterval);
    discoveryTimer.onTimeout = [this] { tick(); };
}

void DeviceSearch::start(loop::Duration interval)
{
    discoveryTimer.start(interval);
}

void DeviceSearch::tick()
{
    if (ticking_ || appState().ending) return;
    tasks_.spawn(runTick());
}

loop::Task<> DeviceSearch::runTick()
{
    const loop::Raised running(ticking_);
    std::optional<NrError> failure;
    try {
        co_await doDiscovery(discoveryTicks == 0);
        ++discoveryTicks;
    } catch (const NrError &error) {
        failure = error;
    }
    if (failure) showError(*failure);
}

loop::Task<> DeviceSearch::doDiscovery(bool showSearchStatus)
{
    if (showSearchStatus) events_.searchShown(1);
    co_await delayMs(500);
    const bool wasFound = co_await searchFound();
    if (wasFound)
        co_await found();
    else
        notFound(showSearchStatus);
}

loop::Task<bool> DeviceSearch::searchFound()
{
    for (int attempt = 1; attempt <= Attempts && !appState().ending; ++attempt) {
        co_await runDiscovery();
        if (!appState().discoveryFailed) co_return true;
        if (attempt == Attempts) break;
        co_await loop::letEventsRun();
        co_await delayMs(2000);
        co_await loop::letEventsRun();
    }
    co_return false;
}

loop::Task<> DeviceSearch::found()
{
    // Red whenever a search succeeds: the device is being watched.
    events_.searchShown(0);
    co_await delayMs(500);
    // The wait let events run: a device lost or a new search asked for in
    // the meantime stands.
    const AppState &state = appState();
    if (state.ending || state.discoveryFailed || !monitorState().watching()) co_return;
    discoveryTimer.stop();
    discoveryTimer.setInterval(StartupInterval);   // a slow search ends with its find
    lastDiscoveryFailed = false;
    // Its prompts do not wait: the monitor watches while they are open.
    if (offerFirmwareUpdate) firmwareOffer.check();
}

void DeviceSearch::notFound(bool showSearchStatus)
{
    if (!lastDiscoveryFailed && showSearchStatus) events_.searchShown(1);
    lastDiscoveryFailed = true;
}
