// pallixd's servers on the network, each on only when its address is set:
// NUT for the PCs that shut down with this one, Prometheus metrics. Both
// follow the device watch.
#pragma once

#include "MetricsFeed.h"
#include "NetworkOptions.h"
#include "NutFeed.h"

#include <memory>

class DeviceWatch;

class NetworkServices {
public:
    NetworkServices(DeviceWatch &watch, const NetworkConfig &config);

    // Throws StartError naming the address that cannot be listened on.
    void listen();
    // The service wrote the device's settings: done once what the servers
    // show of them was read again.
    loop::Task<> settingsWritten();

private:
    NetworkConfig config_;
    std::unique_ptr<NutFeed> nut_;
    std::unique_ptr<MetricsFeed> metrics_;
};
