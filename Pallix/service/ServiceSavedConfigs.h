// pallixd's kept configurations: the last one read from or written to each
// Pallix, in the service's state folder, and, when it is asked to, the one
// written back after the Pallix lost power, with what was written and every
// setting that did not take in the log.
#pragma once

#include "loop/TaskScope.h"
#include "watch/WatchEvents.h"

#include <string>

class DeviceWatch;

class ServiceSavedConfigs : private WatchEvents {
public:
    ServiceSavedConfigs(DeviceWatch &watch, bool restoreAfterPowerLoss);
    ~ServiceSavedConfigs() override;
    ServiceSavedConfigs(const ServiceSavedConfigs &) = delete;
    ServiceSavedConfigs &operator=(const ServiceSavedConfigs &) = delete;

private:
    void powerLost() override;
    loop::Task<> restore(std::string address);

    DeviceWatch &watch_;
    bool restoreAfterPowerLoss_;
    loop::TaskScope tasks_;
};

// $STATE_DIRECTORY (systemd's, from StateDirectory=), else /var/lib/pallix/
// for root, else the user's state folder; ends in a separator.
std::string serviceStateFolder();
