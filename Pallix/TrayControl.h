// What other modules ask of the tray window: its two timers and its icon.
#pragma once

class TrayControl {
public:
    virtual ~TrayControl() = default;
    virtual void setMonitorEnabled(bool enabled) = 0;   // Timer1
    virtual void enableDiscoveryTimer() = 0;            // tmrDiscovery, interval unchanged
    virtual void ChangeIcon(int IconIndex) = 0;         // 0 red, otherwise gray
    virtual void removeIcon() {}                        // the application is ending
};

// The tray window registers itself; until then a do-nothing control answers.
TrayControl &trayControl();
void setTrayControl(TrayControl *control);
