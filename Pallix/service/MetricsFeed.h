// pallixd's Prometheus metrics, fed from the device watch: what it counts
// as it goes, and at each scrape the watch's state now.
#pragma once

#include "Metrics.h"
#include "MetricsServer.h"
#include "loop/TaskScope.h"
#include "watch/WatchEvents.h"

#include <chrono>
#include <optional>
#include <string>

class DeviceWatch;

class MetricsFeed : private WatchEvents {
public:
    // Inputs and outputs are read beside the polls, no more often than this.
    static constexpr std::chrono::seconds StatusInterval{10};

    explicit MetricsFeed(DeviceWatch &watch);
    ~MetricsFeed() override;
    MetricsFeed(const MetricsFeed &) = delete;
    MetricsFeed &operator=(const MetricsFeed &) = delete;

    // Throws ListenError.
    void listen(const ListenAddress &address);

private:
    void deviceLost() override;
    void powerRequest(int mode, int seconds) override;
    void powerAction(int mode) override;
    void powerLost() override;
    void polled(bool answered, std::chrono::steady_clock::duration took) override;

    MetricsSnapshot snapshot() const;
    void readStatusWhenDue();
    loop::Task<> readStatus(std::string address);

    DeviceWatch &watch_;
    // The counters, the poll times and the last inputs and outputs read;
    // the rest of a scrape is the watch's state at that moment.
    MetricsSnapshot counted_;
    std::optional<std::chrono::steady_clock::time_point> statusAsked_;
    MetricsServer server_;
    loop::TaskScope tasks_;
};

// An action code's label: "shutdown", "restart", ... as its command's option is named.
std::string powerActionLabel(int mode);
