#include "DeviceMonitor.h"

#include "AppState.h"
#include "DeviceSearch.h"
#include "MousePointer.h"
#include "NrAPI.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "Platform.h"
#include "TickGuard.h"
#include "WindowHooks.h"
#include "frmShutdown.h"

#include <QCoreApplication>
#include <cmath>

namespace {

constexpr int PowerActionRequest = 0x01;
constexpr int PowerLossBits = 0xC0;

}  // namespace

int HalfSecondsToSeconds(int halfSeconds) { return int(std::lrint(halfSeconds / 2.0)); }

DeviceMonitor::DeviceMonitor(DeviceSearch &search) : search_(search)
{
    Timer1.setInterval(Interval);
    connect(&Timer1, &QTimer::timeout, this, &DeviceMonitor::tick);
}

void DeviceMonitor::tick()
{
    const TickGuard guard(ticking_);
    if (!guard.entered()) return;
    try {
        if (appState().DiscoveryFailed) return;
        poll();
        ErrorCount = 0;
    } catch (const NrError &error) {
        failed(error);
    }
}

void DeviceMonitor::poll()
{
    AppState &state = appState();
    SetMousePointer(MousePointer::ArrowHourglass);
    SelectWatchedDevice();
    int status = 0;
    CheckError(NrAPI::pallixGetGlobalStatus(status), QStringLiteral("Get Global Status"));
    state.LastGlobalStatus = status;
    // A power-action request wins over a power loss reported with it.
    if (status & PowerActionRequest)
        powerActionRequested();
    else if (status & PowerLossBits)
        powerLost();
    if (ConfigWindowVisible()) {
        ConfigWindowLoadStatus();
        // The lamps read the device the window shows; everything else, the
        // self test running beside it included, addresses the watched one.
        SelectWatchedDevice();
    }
    SetMousePointer(MousePointer::Default);
}

void DeviceMonitor::powerActionRequested()
{
    // Stopped before anything processes events, so one request opens one countdown.
    Timer1.stop();
    CheckError(NrAPI::pallixSetGlobalStatus(AcknowledgeValue), QStringLiteral("Set Global Status"));
    int delay = 0;
    CheckError(NrAPI::pallixGetPowerOffDelay(delay), QStringLiteral("Get Power Off Delay"));
    int action = 0;
    CheckError(NrAPI::pallixGetShutdownAction(action), QStringLiteral("Get Shutdown Action"));
    QCoreApplication::processEvents();
    frmShutdown::instance().Shutdown(action + 1, HalfSecondsToSeconds(delay));
    QCoreApplication::processEvents();
}

void DeviceMonitor::powerLost()
{
    Platform::current().messageBox(
        QStringLiteral("Nerrin Pallix™ has lost power.\r\nConfiguration settings lost."),
        AppTitle(), MsgIcon::Information, MsgButtons::OK);
    CheckError(NrAPI::pallixSetGlobalStatus(AcknowledgeValue), QStringLiteral("Set Global Status"));
}

void DeviceMonitor::failed(const NrError &error)
{
    ++ErrorCount;
    if (ErrorCount > SilentFailures) {
        Timer1.stop();
        search_.start(DeviceSearch::SlowInterval);
        return;
    }
    ShowError(error);
}
