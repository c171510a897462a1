// A countdown of the device watch beside a simulated device that is watched.
#pragma once

#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "RecordingWatch.h"
#include "SimulatedDevice.h"
#include "app/AppState.h"
#include "watch/MonitorState.h"

#include <gtest/gtest.h>

class CountdownFixture : public ::testing::Test {
protected:
    CountdownFixture()
    {
        appState() = AppState{};
        appState().appPath = folder.path();
        appState().deviceList = {device.address(), std::string()};
        appState().deviceCount = 1;
        device.sim.setReg(1, pallixsim::registers::kPowerInEnable, 0);
        monitorState().setWatching(true);
    }
    ~CountdownFixture() override { countdown.cancel(); }

    FakePlatform platform;
    TestAppFolder folder;
    RecordingWatch watch;
    SimulatedDevice device;
    Countdown &countdown = watch.countdown;
};
