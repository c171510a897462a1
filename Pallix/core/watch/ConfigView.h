// The configuration window as the monitor and discovery see it: whether it
// is open, its lamps refreshed each tick, its device list refilled after a
// discovery. The Control Center registers its window; the service has none.
#pragma once

#include "loop/Task.h"

class ConfigView {
public:
    virtual ~ConfigView() = default;
    virtual bool visible() = 0;                // may create the window, hidden, the first time
    virtual loop::Task<> loadStatus() = 0;     // the lamps; errors go to the caller
    virtual void loadDevices() = 0;            // the device list
};

ConfigView *configView();   // null when there is none
void setConfigView(ConfigView *view);

// Whether there is a configuration window and it is open.
inline bool configViewVisible() { return configView() && configView()->visible(); }
