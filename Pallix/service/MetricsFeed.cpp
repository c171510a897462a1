#include "MetricsFeed.h"

#include "app/AppState.h"
#include "app/NrErrors.h"
#include "device/RegisterAccess.h"
#include "watch/DeviceWatch.h"
#include "watch/MonitorState.h"

namespace {

// By action code, from 1.
constexpr const char *actionLabels[] = {"shutdown", "restart", "hibernate", "standby",
                                        "logout",   "none",    "sleep"};
constexpr int ActionCodes = int(std::size(actionLabels));

}   // namespace

std::string powerActionLabel(int mode)
{
    if (mode < 1 || mode > ActionCodes) return "code " + std::to_string(mode);
    return actionLabels[mode - 1];
}

MetricsFeed::MetricsFeed(DeviceWatch &watch)
    : watch_(watch), server_([this] { return renderMetrics(snapshot()); })
{
    for (int mode = 1; mode <= ActionCodes; ++mode)
        counted_.powerActions[powerActionLabel(mode)] = 0;
    watch_.addObserver(this);
}

MetricsFeed::~MetricsFeed() { watch_.removeObserver(this); }

void MetricsFeed::listen(const ListenAddress &address) { server_.listen(address); }

MetricsSnapshot MetricsFeed::snapshot() const
{
    const AppState &state = appState();
    MetricsSnapshot s = counted_;
    s.deviceAnswers = monitorState().watching();
    s.address = state.firstDevice();
    s.macAddress = state.macAddress;
    s.firmware = state.firmwareVersion;
    if (watch_.countdown.counting()) s.countdownSecondsLeft = watch_.countdown.secondsLeft();
    return s;
}

// What was read of a lost device says nothing of the next one.
void MetricsFeed::deviceLost()
{
    counted_.inputs.clear();
    counted_.outputs.clear();
    statusAsked_.reset();
}

void MetricsFeed::powerRequest(int, int) { ++counted_.powerRequests; }

void MetricsFeed::powerAction(int mode) { ++counted_.powerActions[powerActionLabel(mode)]; }

void MetricsFeed::powerLost() { ++counted_.powerLosses; }

void MetricsFeed::polled(bool answered, std::chrono::steady_clock::duration took)
{
    counted_.pollRoundTrips.observe(took);
    if (!answered) {
        ++counted_.failedPolls;
        return;
    }
    counted_.globalStatus = appState().lastGlobalStatus;
    readStatusWhenDue();
}

void MetricsFeed::readStatusWhenDue()
{
    const auto now = std::chrono::steady_clock::now();
    if (statusAsked_ && now - *statusAsked_ < StatusInterval) return;
    statusAsked_ = now;
    tasks_.spawn(readStatus(appState().firstDevice()));
}

// A failed read leaves the last values: the monitor finds out whether the
// device is lost.
loop::Task<> MetricsFeed::readStatus(std::string address)
{
    try {
        const DeviceStatus status = co_await onDevice(address, &registers::readStatus);
        if (!monitorState().watching() || appState().firstDevice() != address) co_return;
        counted_.inputs = {status.in1State == 1, status.in2State == 1};
        counted_.outputs = {status.out1State == 1, status.out2State == 1};
    } catch (const NrError &) {}
}
