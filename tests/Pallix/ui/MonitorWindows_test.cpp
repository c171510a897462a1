// The monitor beside the configuration window.
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "SimulatedDevice.h"
#include "app/AppState.h"
#include "device/DeviceSettings.h"
#include "frmPallix.h"
#include "frmPallixSysTray.h"
#include "watch/ConfigView.h"

#include <gtest/gtest.h>

namespace {

// With the configuration window open on another device, the lamp refresh
// reads that device, while the poll, and every job for the watched device
// that follows it, reach the watched one only.
TEST(MonitorWithConfigWindow, TheLampsReadTheWindowsDeviceAndTheRestTheWatchedOne)
{
    appState() = AppState{};
    FakePlatform platform;
    TestAppFolder folder;
    SimulatedDevice devices(pallixsim::SimOptions{.devices = 2});
    frmPallixSysTray window;
    ASSERT_TRUE(window.start());
    ASSERT_TRUE(waitUntil([&] { return !window.search.searching(); }, 30000));
    ASSERT_EQ(appState().deviceCount, 2);
    showConfig();   // opens on the last device found
    ASSERT_TRUE(waitUntil([] { return frmPallix::existing()->editor().idle(); }, 10000));
    ASSERT_TRUE(configWindowView().visible());

    window.monitor.monitorTimer.stop();
    devices.sim.clearRequests();
    window.monitor.tick();
    ASSERT_TRUE(waitUntil([&] { return !window.monitor.ticking(); }, 10000));
    EXPECT_EQ(devices.sim.requestCount(1), 1u);   // the poll
    EXPECT_GE(devices.sim.requestCount(2), 4u);   // the lamps show the device in the window

    devices.sim.clearRequests();
    runTask(writeOutState(appState().firstDevice(), 0, 0, 0, 0));
    EXPECT_EQ(devices.sim.requestCount(1), 1u);
    EXPECT_EQ(devices.sim.requestCount(2), 0u);
    frmPallix::existing()->close();
}

}   // namespace
