// Discovery and register access against the in-process simulated devices.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <set>

#include "FakeDevice.h"
#include "LibraryFixture.h"
#include "Records.h"
#include "Simulator.h"
#include "Transport.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char *kBroadcast = "127.0.0.255";

class NrDiscovery : public LibraryTest {
protected:
    void startDevices(int count) {
        pallixsim::SimOptions options;
        options.devices = count;
        sim_ = std::make_unique<pallixsim::Simulator>(options);
        sim_->start();
    }

    std::set<std::string> simAddresses() const {
        std::set<std::string> all;
        for (int k = 1; k <= sim_->deviceCount(); ++k) all.insert(sim_->address(k));
        return all;
    }

    std::unique_ptr<pallixsim::Simulator> sim_;
};

TEST_F(NrDiscovery, NobodyAnswersAfterAboutOneSecond) {
    setSlot(1, "older text");
    const auto started = Clock::now();
    EXPECT_EQ(::NrDiscovery(kBroadcast), 0);
    const auto took = Clock::now() - started;
    EXPECT_EQ(NrDiscoveryCount(), 0);
    EXPECT_EQ(takeText(NrGetDevice(0)), "");
    EXPECT_EQ(takeText(NrGetDevice(1)), "older text");
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 2s);
    EXPECT_EQ(nrLib.sockOpen, 0);
}

TEST_F(NrDiscovery, TwoDevicesFillTwoSlotsAndTheFirstGivesVersionAndMac) {
    startDevices(2);
    EXPECT_EQ(::NrDiscovery(kBroadcast), 0);
    ASSERT_EQ(NrDiscoveryCount(), 2);
    const std::string first = takeText(NrGetDevice(0));
    const std::string second = takeText(NrGetDevice(1));
    EXPECT_EQ((std::set<std::string>{fieldOf(first, 2), fieldOf(second, 2)}), simAddresses());
    EXPECT_EQ(takeText(NrGetFirmwareVersion()), "01.03");
    const std::string mac = takeText(NrGetMACAddress());
    EXPECT_EQ(mac, fieldOf(first, 4));
    const int firstDevice = fieldOf(first, 2) == sim_->address(1) ? 1 : 2;
    EXPECT_EQ(mac, sim_->mac(firstDevice));
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(nrLib.macBytes[k], std::stoi(mac.substr(3 * k, 2), nullptr, 16)) << k;
    }
}

TEST_F(NrDiscovery, TheProbeIsTwoBytes) {
    startDevices(1);
    ::NrDiscovery(kBroadcast);
    const std::vector<pallixsim::Request> requests = sim_->requests(1);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes, (std::vector<uint8_t>{0xA5, 0x63}));
}

TEST_F(NrDiscovery, FiveDevicesCountFour) {
    startDevices(5);
    ::NrDiscovery(kBroadcast);
    EXPECT_EQ(NrDiscoveryCount(), 4);
    std::set<std::string> seen;
    for (int slot = 0; slot < 4; ++slot) seen.insert(fieldOf(takeText(NrGetDevice(slot)), 2));
    EXPECT_EQ(seen.size(), 4u);
    for (const std::string &address : seen) EXPECT_TRUE(simAddresses().count(address)) << address;
}

TEST_F(NrDiscovery, UnicastProbeFindsOneDevice) {
    startDevices(3);
    ::NrDiscovery(sim_->address(3).c_str());
    EXPECT_EQ(NrDiscoveryCount(), 1);
    EXPECT_EQ(fieldOf(takeText(NrGetDiscoveryString()), 2), sim_->address(3));
}

TEST_F(NrDiscovery, HeldLocalPortEndsDiscoveryAtOnce) {
    startDevices(1);
    const int holder = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(11002);
    ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr *>(&local), sizeof local), 0);
    ::testing::internal::CaptureStdout();
    ::NrDiscovery(kBroadcast);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "bind()");
    EXPECT_EQ(NrDiscoveryCount(), 0);
    EXPECT_EQ(sim_->requestCount(1), 0u);
    ::close(holder);
}

TEST_F(NrDiscovery, RegisterCallsReachTheSelectedDeviceOnly) {
    startDevices(2);
    sim_->setReg(1, 10, 7);
    NrSetDevice(sim_->address(2).c_str());
    EXPECT_EQ(pallixSetPowerOffDelay(42), kNrOk);
    EXPECT_EQ(sim_->reg(2, 10), 42);
    EXPECT_EQ(sim_->reg(1, 10), 7);
    sim_->setReg(2, 16, 3);
    int32_t action = -1;
    EXPECT_EQ(pallixGetShutdownAction(&action), kNrOk);
    EXPECT_EQ(action, 3);
    EXPECT_EQ(sim_->requestCount(1), 0u);
}

TEST_F(NrDiscovery, RegisterReplyReplacesTheDiscoveryText) {
    startDevices(1);
    ::NrDiscovery(kBroadcast);
    const std::string record = takeText(NrGetDevice(0));
    NrSetDevice(sim_->address(1).c_str());
    int32_t status = -1;
    ASSERT_EQ(pallixGetGlobalStatus(&status), kNrOk);
    EXPECT_NE(takeText(NrGetDiscoveryString()), record);
    EXPECT_EQ(takeText(NrGetDevice(1)), record);
    // Extracted at discovery time, so unaffected.
    EXPECT_EQ(takeText(NrGetFirmwareVersion()), "01.03");
}

}  // namespace
