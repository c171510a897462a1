// pallixd's metrics in Prometheus' text exposition format, version 0.0.4.
#pragma once

#include "PollHistogram.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

inline constexpr char MetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

struct MetricsSnapshot {
    bool deviceAnswers = false;
    // The labels of pallix_device_info, left out until an address is known.
    std::string address;
    std::string macAddress;
    std::string firmware;
    std::vector<bool> inputs;          // active, input 1 first
    std::vector<bool> outputs;         // on, output 1 first
    std::optional<int> globalStatus;   // the register as last read
    std::uint64_t powerRequests = 0;   // the device asked for a power action
    std::uint64_t powerLosses = 0;     // the device reported a power loss
    std::uint64_t failedPolls = 0;
    // By action name; give every action a 0 from the start, so its series exists.
    std::map<std::string, std::uint64_t> powerActions;
    int countdownSecondsLeft = 0;   // 0 while no countdown runs
    PollHistogram pollRoundTrips;
};

std::string renderMetrics(const MetricsSnapshot &snapshot);
