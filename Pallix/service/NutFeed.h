// pallixd's NUT server, fed from the device watch: the Pallix as NUT's
// clients see it, and the forced shutdown of NUT's primary when this PC's
// countdown ends.
#pragma once

#include "NetworkOptions.h"
#include "NutServer.h"
#include "PallixNutUps.h"
#include "loop/Event.h"
#include "loop/TaskScope.h"
#include "watch/WatchEvents.h"

#include <optional>
#include <string>

class DeviceWatch;

class NutFeed : private WatchEvents {
public:
    NutFeed(DeviceWatch &watch, const NetworkConfig &config);
    ~NutFeed() override;
    NutFeed(const NutFeed &) = delete;
    NutFeed &operator=(const NutFeed &) = delete;

    // From here on the countdown's action waits for the secondaries.
    // Throws ListenError.
    void listen(const ListenAddress &address);
    // The service wrote the device's settings: what NUT shows of them is read again.
    loop::Task<> settingsWritten();

private:
    void deviceFound(const std::string &address) override;
    void deviceLost() override;
    void powerRequest(int mode, int seconds) override;
    void powerLost() override;

    PallixNutFacts facts() const;
    void readPowerOffDelay();
    loop::Task<> readPowerOffDelayNow();
    // The countdown ended at zero: FSD, then the wait for the secondaries.
    loop::Task<> forcedShutdown(int mode);
    loop::Task<> secondariesLoggedOut();

    DeviceWatch &watch_;
    const std::chrono::seconds hostsync_;
    NutServer server_;
    std::optional<int> powerOffDelaySeconds_;   // as the device said it, in whole seconds
    unsigned found_ = 0;   // counts finds, so a late read of a lost device is dropped
    loop::Event secondariesGone_;
    std::optional<std::string> actionWaiting_;   // the action that waits for the secondaries
    loop::TaskScope tasks_;
};
