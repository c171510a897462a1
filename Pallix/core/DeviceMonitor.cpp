#include "DeviceMonitor.h"

#include "AppState.h"
#include "ConfigView.h"
#include "Countdown.h"
#include "DeviceSearch.h"
#include "GlobalStatus.h"
#include "MonitorState.h"
#include "MousePointer.h"
#include "Notice.h"
#include "NrAPI.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "TickGuard.h"

#include <QDateTime>
#include <cmath>

int halfSecondsToSeconds(int halfSeconds) { return int(std::lrint(halfSeconds / 2.0)); }

QString powerLostText()
{
    return QStringLiteral("Nerrin Pallix™ has lost power.\r\nConfiguration settings lost.");
}

DeviceMonitor::DeviceMonitor(DeviceSearch &search, Countdown &countdown)
    : wallClockMs(&QDateTime::currentMSecsSinceEpoch), search_(search), countdown_(countdown)
{
    monitorTimer.setInterval(Interval);
    connect(&monitorTimer, &QTimer::timeout, this, &DeviceMonitor::tick);
    connect(&monitorState(), &MonitorState::pollingChanged, this, &DeviceMonitor::pollingChanged);
    // A search that finds the device after the slow switch starts a new count.
    connect(&monitorState(), &MonitorState::watchingChanged, this, [this](bool watching) {
        if (watching && errorCount > SilentFailures) errorCount = 0;
    });
    pollingChanged(monitorState().polling());
}

void DeviceMonitor::pollingChanged(bool polling)
{
    lastTickWallMs_ = 0;
    if (polling)
        monitorTimer.start();
    else
        monitorTimer.stop();
}

void DeviceMonitor::tick()
{
    const TickGuard guard(ticking_);
    if (!guard.entered() || !monitorState().polling()) return;
    noticeClockJump();
    try {
        if (appState().discoveryFailed) return;
        poll();
        errorCount = 0;
    } catch (const NrError &error) {
        failed(error);
    }
}

void DeviceMonitor::handlePolledStatus(int status)
{
    try {
        selectWatchedDevice();
        actOn(status);
    } catch (const NrError &error) {
        failed(error);
    }
}

// Timers stand still while the PC sleeps; the wall clock does not.
void DeviceMonitor::noticeClockJump()
{
    const qint64 now = wallClockMs();
    if (lastTickWallMs_ != 0 && now - lastTickWallMs_ > Interval + ClockJumpMs)
        monitorState().settle();
    lastTickWallMs_ = now;
}

void DeviceMonitor::poll()
{
    AppState &state = appState();
    setMousePointer(MousePointer::ArrowHourglass);
    selectWatchedDevice();
    int status = 0;
    checkError(NrAPI::pallixGetGlobalStatus(status), QStringLiteral("Get Global Status"));
    state.lastGlobalStatus = status;
    actOn(status);
    if (configViewVisible()) {
        configView()->loadStatus();
        // The lamps read the device the window shows; everything else, the
        // self test running beside it included, addresses the watched one.
        selectWatchedDevice();
    }
    setMousePointer(MousePointer::Default);
}

// A power-action request wins over a power loss reported with it.
void DeviceMonitor::actOn(int status)
{
    if (status & PowerActionRequestBit)
        powerActionRequested();
    else if (status & PowerLossBits)
        powerLost();
}

// Nothing in here processes events, so one request opens one countdown.
void DeviceMonitor::powerActionRequested()
{
    checkError(NrAPI::pallixSetGlobalStatus(AcknowledgeValue), QStringLiteral("Set Global Status"));
    // A countdown already running goes on as it is; a repeat does not restart it.
    if (countdown_.counting()) return;
    int delay = 0;
    checkError(NrAPI::pallixGetPowerOffDelay(delay), QStringLiteral("Get Power Off Delay"));
    int action = 0;
    checkError(NrAPI::pallixGetShutdownAction(action), QStringLiteral("Get Shutdown Action"));
    countdown_.shutdown(action + 1, halfSecondsToSeconds(delay));
}

// Acknowledged at once rather than when the box closes: a request raised
// while the box is open must reach the next tick, not be cleared unseen.
void DeviceMonitor::powerLost()
{
    showNotice(powerLostText(), appTitle(), MsgIcon::Information);
    emit powerLossReported();
    checkError(NrAPI::pallixSetGlobalStatus(AcknowledgeValue), QStringLiteral("Set Global Status"));
}

void DeviceMonitor::failed(const NrError &error)
{
    // A waking PC's network is not back yet: this is no lost device.
    if (monitorState().settling()) {
        appState().deviceError = false;
        setMousePointer(MousePointer::Default);
        return;
    }
    ++errorCount;
    if (errorCount > SilentFailures) {
        monitorState().setWatching(false);
        search_.start(DeviceSearch::SlowInterval);
        return;
    }
    showError(error);
}
