// What the settings and configuration-window tests share: a simulator with
// the application's state pointing at it, the order of the registers a
// device was asked for, and a way to make one particular call fail.
#pragma once

#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "Simulator.h"
#include "app/AppState.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace configtest {

constexpr uint8_t kRead = 0x05;
constexpr uint8_t kWrite = 0x04;

// The registers of one kind of request, in the order the device got them.
inline std::vector<int> registersOf(const std::vector<pallixsim::Request> &log, uint8_t opcode)
{
    std::vector<int> registers;
    for (const auto &r : log)
        if (r.opcode == opcode) registers.push_back(r.address);
    return registers;
}

// (register, value) of every write, in order.
inline std::vector<std::pair<int, int>> writesOf(const std::vector<pallixsim::Request> &log)
{
    std::vector<std::pair<int, int>> writes;
    for (const auto &r : log)
        if (r.opcode == kWrite) writes.emplace_back(r.address, r.value);
    return writes;
}

// A running simulator of `devices` devices, found by the last discovery.
class SimulatedDevices {
public:
    explicit SimulatedDevices(int devices = 1) : sim_(pallixsim::SimOptions{.devices = devices})
    {
        sim_.start();
        AppState &state = appState();
        state.deviceList.clear();
        for (int k = 1; k <= devices; ++k)
            state.deviceList.push_back(sim_.address(k));
        state.deviceList.push_back(std::string());
        state.deviceCount = devices;
        state.discoveryFailed = false;
        state.lastGlobalStatus = 0;
    }
    ~SimulatedDevices() { sim_.stop(); }

    pallixsim::Simulator &sim() { return sim_; }
    std::string address(int device) const { return sim_.address(device); }

private:
    pallixsim::Simulator sim_;
};

// Nothing found: the list is empty and no device call may be made.
inline void forgetDevices()
{
    AppState &state = appState();
    state.deviceList = {std::string()};
    state.deviceCount = 0;
}

// Makes a device fall silent once it has received `count` more requests,
// so the next call fails after the library's retries. Replies are slowed
// a little, which gives the silence time to start before that next request
// is sent, however the threads are scheduled.
class SilenceAfter {
public:
    SilenceAfter(pallixsim::Simulator &sim, int device, size_t count)
        : sim_(sim), device_(std::to_string(device))
    {
        sim_.command("delay 100 " + device_);
        const size_t target = sim_.requestCount(device) + count;
        watcher_ = std::thread([this, device, target] {
            while (!stop_ && sim_.requestCount(device) < target)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (!stop_) sim_.command("offline 0 " + device_);
        });
    }
    ~SilenceAfter()
    {
        stop_ = true;
        watcher_.join();
        sim_.command("online " + device_);
        sim_.command("delay 0 " + device_);
    }
    SilenceAfter(const SilenceAfter &) = delete;
    SilenceAfter &operator=(const SilenceAfter &) = delete;

private:
    pallixsim::Simulator &sim_;
    std::string device_;
    std::atomic<bool> stop_{false};
    std::thread watcher_;
};

}   // namespace configtest
