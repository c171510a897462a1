// The monitor timer of the tray window: polls the watched device's global
// status and acts on its power-action request and its power loss. Whether
// it polls is MonitorState's to say.
#pragma once

#include "loop/TaskScope.h"
#include "loop/Timer.h"
#include "watch/WatchEvents.h"

#include <cstdint>
#include <functional>
#include <string>

class Countdown;
class DeviceSearch;
class NrError;

class DeviceMonitor {
public:
    static constexpr loop::Duration Interval{2000};
    static constexpr int SilentFailures = 10;   // failures reported before going quiet
    // A wall clock that moved this much more than the interval between two
    // ticks means the PC slept; its network needs time to come back.
    static constexpr std::int64_t ClockJumpMs = 30000;

    DeviceMonitor(DeviceSearch &search, Countdown &countdown, WatchEvents &events);

    // The timer's: one poll, unless the last one still waits on the device.
    void tick();
    // Acts on a global status as a tick would; used for a status the write
    // test read instead of the monitor.
    void handlePolledStatus(int status);

    void pollingChanged(bool polling);
    void watchingChanged(bool watching);
    bool ticking() const { return ticking_; }

    loop::Timer monitorTimer;
    int errorCount = 0;
    std::function<std::int64_t()> wallClockMs;   // replaceable for tests

private:
    loop::Task<> runTick();
    loop::Task<> poll();
    loop::Task<> actOn(int status, std::string address);
    loop::Task<> powerActionRequested(std::string address);
    loop::Task<> powerLost(std::string address);
    loop::Task<> tellPowerLost(std::string address, bool restorable);
    void failed(const NrError &error);
    void noticeClockJump();

    DeviceSearch &search_;
    Countdown &countdown_;
    WatchEvents &events_;
    bool ticking_ = false;
    std::int64_t lastTickWallMs_ = 0;   // 0 until the first tick since polling started
    loop::TaskScope tasks_;
};

// Half-seconds to whole seconds, ties to even (5 gives 2, 7 gives 4).
int halfSecondsToSeconds(int halfSeconds);

std::string powerLostText();
