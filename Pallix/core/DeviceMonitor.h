// The monitor timer of the tray window: polls the watched device's global
// status and acts on its power-action request and its power loss. Whether
// it polls is MonitorState's to say.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class Countdown;
class DeviceSearch;

class DeviceMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int Interval = 2000;
    static constexpr int SilentFailures = 10;   // failures reported before going quiet
    // A wall clock that moved this much more than the interval between two
    // ticks means the PC slept; its network needs time to come back.
    static constexpr int ClockJumpMs = 30000;

    DeviceMonitor(DeviceSearch &search, Countdown &countdown);

    void tick();
    // Acts on a global status as a tick would; used for a status the write
    // test read instead of the monitor.
    void handlePolledStatus(int status);

    QTimer monitorTimer;
    int errorCount = 0;
    std::function<qint64()> wallClockMs;   // replaceable for tests

signals:
    void powerLossReported();

private:
    void poll();
    void actOn(int status);
    void powerActionRequested();
    void powerLost();
    void failed(const class NrError &error);
    void pollingChanged(bool polling);
    void noticeClockJump();

    DeviceSearch &search_;
    Countdown &countdown_;
    bool ticking_ = false;
    qint64 lastTickWallMs_ = 0;   // 0 until the first tick since polling started
};

// Half-seconds to whole seconds, ties to even (5 gives 2, 7 gives 4).
int halfSecondsToSeconds(int halfSeconds);

QString powerLostText();
