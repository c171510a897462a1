// A tray control that records what the application asked of the tray
// window's timers and icon, for tests that run without the window.
#pragma once

#include "TrayControl.h"

#include <QList>

class RecordingTray : public TrayControl {
public:
    RecordingTray() { setTrayControl(this); }
    ~RecordingTray() override { setTrayControl(nullptr); }

    void setMonitorEnabled(bool enabled) override {
        monitorEnabled = enabled;
        monitorChanges << enabled;
    }
    void enableDiscoveryTimer() override { ++discoveryEnabled; }
    void ChangeIcon(int IconIndex) override { icons << IconIndex; }

    bool monitorEnabled = false;
    QList<bool> monitorChanges;
    int discoveryEnabled = 0;
    QList<int> icons;
};
