// The device watch a program runs, with what it asked of the tray icon
// recorded, for tests that run without the tray window.
#pragma once

#include "TestLoop.h"
#include "watch/DeviceWatch.h"

#include <vector>

class RecordingWatch : public DeviceWatch {
public:
    RecordingWatch() { addObserver(&recorder_); }
    ~RecordingWatch() override { removeObserver(&recorder_); }

    bool searching() const { return search.discoveryTimer.isActive(); }
    // One monitor tick now, run to its end, the timer stopped so it adds none.
    void tickMonitorOnce()
    {
        monitor.monitorTimer.stop();
        monitor.tick();
        waitUntil([this] { return !monitor.ticking(); }, 30000);
    }

    std::vector<int> icons;   // 0 red, 1 gray

private:
    class Recorder : public WatchEvents {
    public:
        explicit Recorder(RecordingWatch &watch) : watch_(watch) {}
        void searchShown(int iconIndex) override { watch_.icons.push_back(iconIndex); }

    private:
        RecordingWatch &watch_;
    };
    Recorder recorder_{*this};
};
