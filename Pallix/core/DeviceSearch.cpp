#include "DeviceSearch.h"

#include "AppState.h"
#include "MonitorState.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "TickGuard.h"
#include "TimeDelay.h"
#include "FirmwareCheck.h"

#include <QCoreApplication>

DeviceSearch::DeviceSearch()
{
    connect(&tmrDiscovery, &QTimer::timeout, this, &DeviceSearch::tick);
}

void DeviceSearch::start(int intervalMs)
{
    tmrDiscovery.setInterval(intervalMs);
    tmrDiscovery.start();
}

void DeviceSearch::tick()
{
    // A tick that comes due while a search waits between its attempts is skipped.
    const TickGuard guard(ticking_);
    if (!guard.entered()) return;
    try {
        DoDiscovery2(DiscoveryTicks == 0);
        ++DiscoveryTicks;
    } catch (const NrError &error) {
        ShowError(error);
    }
}

void DeviceSearch::DoDiscovery2(bool ShowSearchStatus)
{
    if (ShowSearchStatus) emit searchShown(1);
    DelayMs(500);
    if (searchFound())
        found();
    else
        notFound(ShowSearchStatus);
}

bool DeviceSearch::searchFound()
{
    for (int attempt = 1; attempt <= Attempts && !appState().Ending; ++attempt) {
        RunDiscovery();
        if (!appState().DiscoveryFailed) return true;
        if (attempt == Attempts) break;
        QCoreApplication::processEvents();
        DelayMs(2000);
        QCoreApplication::processEvents();
    }
    return false;
}

void DeviceSearch::found()
{
    // Red whenever a search succeeds: the device is being watched.
    emit searchShown(0);
    DelayMs(500);
    // The wait let events run: a device lost or a new search asked for in
    // the meantime stands.
    const AppState &state = appState();
    if (state.Ending || state.DiscoveryFailed || !monitorState().watching()) return;
    tmrDiscovery.stop();
    tmrDiscovery.setInterval(StartupInterval);   // a slow search ends with its find
    LastDiscoveryFailed = false;
    // Its prompts do not wait: the monitor watches while they are open.
    FirmwareCheck();
}

void DeviceSearch::notFound(bool ShowSearchStatus)
{
    if (!LastDiscoveryFailed && ShowSearchStatus) emit searchShown(1);
    LastDiscoveryFailed = true;
}
