// The monitor beside the configuration window.
#include "AppState.h"
#include "AppTestSupport.h"
#include "ConfigView.h"
#include "FakePlatform.h"
#include "NrAPI.h"
#include "SimulatedDevice.h"
#include "frmPallix.h"
#include "frmPallixSysTray.h"

#include <gtest/gtest.h>

namespace {

// With the configuration window open on another device, the lamp refresh
// must not leave that device selected: a self test running beside it would
// write its test values there.
TEST(MonitorWithConfigWindow, TheWatchedDeviceStaysSelectedAfterTheLampRefresh)
{
    appState() = AppState{};
    FakePlatform platform;
    TestAppFolder folder;
    SimulatedDevice devices(pallixsim::SimOptions{.devices = 2});
    frmPallixSysTray window;
    ASSERT_TRUE(window.start());
    ASSERT_EQ(appState().deviceCount, 2);
    showConfig();   // opens on the last device found
    ASSERT_TRUE(configWindowView().visible());

    window.monitor.monitorTimer.stop();
    devices.sim.clearRequests();
    window.monitor.tick();
    EXPECT_GE(devices.sim.requestCount(2), 4u);   // the lamps show the device in the window

    devices.sim.clearRequests();
    int value = 0;
    ASSERT_EQ(NrAPI::pallixGetPowerOnDelay(value), 0);
    EXPECT_EQ(devices.sim.requestCount(1), 1u);
    EXPECT_EQ(devices.sim.requestCount(2), 0u);
}

}   // namespace
