// The monitor timer of the tray window: polls the watched device's global
// status and acts on its power-action request and its power loss.
#pragma once

#include <QObject>
#include <QTimer>

class DeviceSearch;

class DeviceMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int Interval = 2000;
    static constexpr int SilentFailures = 10;   // failures reported before going quiet
    static constexpr int AcknowledgeValue = 225;

    explicit DeviceMonitor(DeviceSearch &search);

    void tick();

    QTimer Timer1;
    int ErrorCount = 0;

private:
    void poll();
    void powerActionRequested();
    void powerLost();
    void failed(const class NrError &error);

    DeviceSearch &search_;
    bool ticking_ = false;
};

// Half-seconds to whole seconds, ties to even (5 gives 2, 7 gives 4).
int HalfSecondsToSeconds(int halfSeconds);
