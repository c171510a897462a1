// What other modules ask of the tray window: its discovery timer, its icon,
// and its monitor for a status someone else read.
#pragma once

class TrayControl {
public:
    virtual ~TrayControl() = default;
    virtual void enableDiscoveryTimer() = 0;            // tmrDiscovery, interval unchanged
    virtual void ChangeIcon(int IconIndex) = 0;         // 0 red, otherwise gray
    virtual void removeIcon() {}                        // the application is ending
    // A global status read outside the monitor (the write test), handled as
    // if the monitor had polled it.
    virtual void handlePolledStatus(int /*status*/) {}
};

// The tray window registers itself; until then a do-nothing control answers.
TrayControl &trayControl();
void setTrayControl(TrayControl *control);
