// Register access against the in-process simulated device: replies from
// another port of the device, and replies too short to carry a value.
#include <gtest/gtest.h>

#include "SimulatedDevice.h"
#include "Transport.h"

namespace {

// Only the device's address is checked: it may answer from any port.
TEST_F(NrSimulatedDevice, RepliesFromEitherPortOfTheDeviceAreTaken) {
    for (int replyPort : {0, 11001}) {
        pallixsim::Simulator &sim = start({.replyPort = replyPort});
        sim.setReg(1, 9, 33);
        int32_t value = -1;
        EXPECT_EQ(pallixGetPowerOnDelay(&value), kNrOk) << replyPort;
        EXPECT_EQ(value, 33) << replyPort;
        EXPECT_EQ(pallixSetPowerOffDelay(20), kNrOk) << replyPort;
        EXPECT_EQ(sim.reg(1, 10), 20) << replyPort;
        EXPECT_EQ(sim.requestCount(1), 2u) << "one attempt each";
    }
}

// A truncated global-status reply must not hide a power request as 0.
TEST_F(NrSimulatedDevice, ShortReadRepliesCountAsNoneAndShortWriteRepliesAsAnswers) {
    pallixsim::Simulator &sim = start();
    sim.requestPowerAction(1);
    sim.command("reply short");
    int32_t status = 77;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(pallixGetGlobalStatus(&status), kNrNoReply);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), repeated("No Reply Error\n\n", 4) + "Retry Loop Failed.\n\n");
    EXPECT_EQ(status, 77);
    EXPECT_EQ(sim.requestCount(1), 4u);

    EXPECT_EQ(pallixSetPowerOnDelay(12), kNrOk);
    EXPECT_EQ(sim.reg(1, 9), 12);
    EXPECT_EQ(sim.requestCount(1), 5u);

    sim.command("reply normal");
    EXPECT_EQ(pallixGetGlobalStatus(&status), kNrOk);
    EXPECT_EQ(status & 1, 1);
}

}  // namespace
