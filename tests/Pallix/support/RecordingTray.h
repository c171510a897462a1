// A tray control that records what the application asked of the tray
// window's discovery timer and icon, for tests that run without the window.
#pragma once

#include "TrayControl.h"

#include <QList>

class RecordingTray : public TrayControl {
public:
    RecordingTray() { setTrayControl(this); }
    ~RecordingTray() override { setTrayControl(nullptr); }

    void enableDiscoveryTimer() override { ++discoveryEnabled; }
    void ChangeIcon(int IconIndex) override { icons << IconIndex; }
    void handlePolledStatus(int status) override { handedStatus << status; }

    int discoveryEnabled = 0;
    QList<int> icons;
    QList<int> handedStatus;
};
