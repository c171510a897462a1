#include "DeviceSearch.h"

#include "AppState.h"
#include "FirmwareCheck.h"
#include "MonitorState.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "TickGuard.h"
#include "TimeDelay.h"

#include <QCoreApplication>

DeviceSearch::DeviceSearch()
{
    connect(&discoveryTimer, &QTimer::timeout, this, &DeviceSearch::tick);
}

void DeviceSearch::start(int intervalMs)
{
    discoveryTimer.setInterval(intervalMs);
    discoveryTimer.start();
}

void DeviceSearch::tick()
{
    // A tick that comes due while a search waits between its attempts is skipped.
    const TickGuard guard(ticking_);
    if (!guard.entered()) return;
    try {
        doDiscovery(discoveryTicks == 0);
        ++discoveryTicks;
    } catch (const NrError &error) {
        showError(error);
    }
}

void DeviceSearch::doDiscovery(bool showSearchStatus)
{
    if (showSearchStatus) emit searchShown(1);
    delayMs(500);
    if (searchFound())
        found();
    else
        notFound(showSearchStatus);
}

bool DeviceSearch::searchFound()
{
    for (int attempt = 1; attempt <= Attempts && !appState().ending; ++attempt) {
        runDiscovery();
        if (!appState().discoveryFailed) return true;
        if (attempt == Attempts) break;
        QCoreApplication::processEvents();
        delayMs(2000);
        QCoreApplication::processEvents();
    }
    return false;
}

void DeviceSearch::found()
{
    // Red whenever a search succeeds: the device is being watched.
    emit searchShown(0);
    delayMs(500);
    // The wait let events run: a device lost or a new search asked for in
    // the meantime stands.
    const AppState &state = appState();
    if (state.ending || state.discoveryFailed || !monitorState().watching()) return;
    discoveryTimer.stop();
    discoveryTimer.setInterval(StartupInterval);   // a slow search ends with its find
    lastDiscoveryFailed = false;
    // Its prompts do not wait: the monitor watches while they are open.
    if (offerFirmwareUpdate) firmwareCheck();
}

void DeviceSearch::notFound(bool showSearchStatus)
{
    if (!lastDiscoveryFailed && showSearchStatus) emit searchShown(1);
    lastDiscoveryFailed = true;
}
