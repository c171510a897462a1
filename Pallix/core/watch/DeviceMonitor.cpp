#include "watch/DeviceMonitor.h"

#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/NrErrors.h"
#include "app/LogFile.h"
#include "app/Notice.h"
#include "app/Text.h"
#include "config/ConfigRestore.h"
#include "config/SavedConfigs.h"
#include "device/ConfirmedRead.h"
#include "device/DeviceThread.h"
#include "device/GlobalStatus.h"
#include "device/NrAPI.h"
#include "device/RegisterAccess.h"
#include "loop/Raised.h"
#include "watch/ConfigView.h"
#include "watch/Countdown.h"
#include "watch/DeviceSearch.h"
#include "watch/MonitorState.h"
#include "watch/NrDiscovery.h"

#include <chrono>
#include <cmath>
#include <optional>

int halfSecondsToSeconds(int halfSeconds) { return int(std::lrint(halfSeconds / 2.0)); }

std::string powerLostText()
{
    return "Nerrin Pallix™ has lost power.\r\nConfiguration settings lost.";
}

namespace {

std::int64_t systemClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// What a power request needs, read right after it was acknowledged.
struct PowerRequest {
    int32_t delay = 0;
    int32_t action = 0;
    bool operator==(const PowerRequest &) const = default;
};

PowerRequest readPowerRequest()
{
    PowerRequest read;
    checkError(NrAPI::pallixGetPowerOffDelay(read.delay), "Get Power Off Delay");
    checkError(NrAPI::pallixGetShutdownAction(read.action), "Get Shutdown Action");
    return read;
}

// Device thread: the acknowledge and, unless a countdown runs already, the
// delay and the action, each confirmed: the PC acts only on what the device
// said twice.
PowerRequest acknowledgePowerRequest(bool counting)
{
    registers::writeGlobalStatus(AcknowledgeValue);
    if (counting) return {};
    return registers::readConfirmed(&readPowerRequest, "Get Shutdown Action");
}

}   // namespace

DeviceMonitor::DeviceMonitor(DeviceSearch &search, Countdown &countdown, WatchEvents &events)
    : wallClockMs(&systemClockMs), search_(search), countdown_(countdown), events_(events)
{
    monitorTimer.setInterval(Interval);
    monitorTimer.onTimeout = [this] { tick(); };
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

// A search that finds the device after the slow switch starts a new count.
void DeviceMonitor::watchingChanged(bool watching)
{
    if (watching && errorCount > SilentFailures) errorCount = 0;
}

void DeviceMonitor::tick()
{
    if (ticking_ || !monitorState().polling() || appState().ending) return;
    tasks_.spawn(runTick());
}

loop::Task<> DeviceMonitor::runTick()
{
    const loop::Raised running(ticking_);
    noticeClockJump();
    std::optional<NrError> failure;
    try {
        if (appState().discoveryFailed) co_return;
        co_await poll();
        errorCount = 0;
    } catch (const NrError &error) {
        failure = error;
    }
    if (failure) failed(*failure);
}

void DeviceMonitor::handlePolledStatus(int status)
{
    tasks_.spawn([](DeviceMonitor &monitor, int status) -> loop::Task<> {
        std::optional<NrError> failure;
        try {
            co_await monitor.actOn(status, watchedDevice());
        } catch (const NrError &error) {
            failure = error;
        }
        if (failure) monitor.failed(*failure);
    }(*this, status));
}

// Timers stand still while the PC sleeps; the wall clock does not.
void DeviceMonitor::noticeClockJump()
{
    const std::int64_t now = wallClockMs();
    if (lastTickWallMs_ != 0 && now - lastTickWallMs_ > Interval.count() + ClockJumpMs)
        monitorState().settle();
    lastTickWallMs_ = now;
}

loop::Task<> DeviceMonitor::poll()
{
    AppState &state = appState();
    setMousePointer(MousePointer::ArrowHourglass);
    const std::string address = watchedDevice();
    const auto asked = std::chrono::steady_clock::now();
    int status = 0;
    try {
        status = co_await onDevice(address, &registers::readGlobalStatus);
    } catch (const NrError &) {
        events_.polled(false, std::chrono::steady_clock::now() - asked);
        throw;
    }
    state.lastGlobalStatus = status;
    events_.polled(true, std::chrono::steady_clock::now() - asked);
    // A device lost or replaced while the read waited is the search's now;
    // what it reported stays in its register for the next poll.
    if (!monitorState().watching() || state.firstDevice() != address) co_return;
    co_await actOn(status, address);
    if (configViewVisible()) co_await configView()->loadStatus();
    setMousePointer(MousePointer::Default);
}

// A power-action request wins over a power loss reported with it.
loop::Task<> DeviceMonitor::actOn(int status, std::string address)
{
    if (status & PowerActionRequestBit)
        co_await powerActionRequested(address);
    else if (status & PowerLossBits)
        co_await powerLost(address);
}

// The acknowledge and the two reads are one job: nothing comes between.
// A countdown already running goes on as it is; a repeat does not restart it.
loop::Task<> DeviceMonitor::powerActionRequested(std::string address)
{
    const bool counting = countdown_.counting();
    const PowerRequest request = co_await onDevice(address, &acknowledgePowerRequest, counting);
    if (counting || countdown_.counting()) co_return;
    countdown_.shutdown(request.action + 1, halfSecondsToSeconds(request.delay));
}

// Acknowledged at once rather than when the box closes: a request raised
// while the box is open must reach the next tick, not be cleared unseen.
// The loss is marked first, so the defaults the device holds now are never
// kept in place of its configuration.
loop::Task<> DeviceMonitor::powerLost(std::string address)
{
    const std::string mac = macOfDevice(address);
    savedConfigs().powerLost(mac);
    if (!noticeOpen(powerLostText())) tasks_.spawn(tellPowerLost(address, savedConfigs().has(mac)));
    events_.powerLost();
    co_await onDevice(address, &registers::writeGlobalStatus, AcknowledgeValue);
}

// The box offers the kept configuration, when there is one; the monitor
// goes on polling while it is open.
loop::Task<> DeviceMonitor::tellPowerLost(std::string address, bool restorable)
{
    const int answer =
        co_await askNotice(powerLostText(), appTitle(), MsgIcon::Information,
                           restorable ? MsgButtons::OKRestore : MsgButtons::OK);
    if (answer != MsgRestore) co_return;
    const RestoreReport report = co_await restoreSavedConfig(address);
    for (const std::string &line : report.lines)
        logFile(line);
    showNotice(join(report.lines, "\r\n"), appTitle(),
               report.restored ? MsgIcon::Information : MsgIcon::Critical);
    if (configViewVisible()) configView()->loadDevices();
}

void DeviceMonitor::failed(const NrError &error)
{
    // A waking PC's network is not back yet: this is no lost device.
    if (monitorState().settling()) {
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
