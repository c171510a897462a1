#include <gtest/gtest.h>

#include <sstream>

#include "SimulatorFixture.h"

using namespace pallixtest;
using namespace std::chrono_literals;

namespace {

std::vector<std::string> fields(const std::string &text) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ':');) parts.push_back(part);
    return parts;
}

class SimDiscoveryTest : public SimulatorTest {
protected:
    std::vector<Datagram> broadcastProbe() {
        client().send("127.0.0.255", 11000, probe());
        return client().receiveAll(300ms);
    }
};

}  // namespace

TEST_F(SimDiscoveryTest, OneDeviceAnswersWithAddressMacAndVersion) {
    startSimulator();
    const auto replies = broadcastProbe();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].from, "127.0.0.2");
    EXPECT_EQ(replies[0].fromPort, 11000);
    EXPECT_EQ(replies[0].text(), "NERRIN:PALLIX:127.0.0.2:MAC:02-50-4C-00-00-01:FW:01.03");
    EXPECT_EQ(sim().requests(1).front().opcode, 0x63);
}

TEST_F(SimDiscoveryTest, WithAReplyPortEveryAnswerLeavesFromIt) {
    startSimulator({.devices = 2, .replyPort = 11001});
    const auto replies = broadcastProbe();
    ASSERT_EQ(replies.size(), 2u);
    for (const Datagram &reply : replies) EXPECT_EQ(reply.fromPort, 11001);
    client().send(sim().address(2), 11000, readRequest(9));
    const auto reply = client().receive(300ms);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->from, sim().address(2));
    EXPECT_EQ(reply->fromPort, 11001);
}

TEST_F(SimDiscoveryTest, EveryDeviceAnswersFromItsOwnAddressWithItsOwnMac) {
    startSimulator({.devices = 3, .firmware = "01.02"});
    const auto replies = broadcastProbe();
    ASSERT_EQ(replies.size(), 3u);
    for (int k = 1; k <= 3; ++k) {
        const Datagram &reply = replies[static_cast<size_t>(k - 1)];
        const auto parts = fields(reply.text());
        ASSERT_EQ(parts.size(), 7u) << reply.text();
        EXPECT_EQ(reply.from, sim().address(k));
        EXPECT_EQ(parts[2], sim().address(k));
        EXPECT_EQ(parts[4], sim().mac(k));
        EXPECT_EQ(parts[6], "01.02");
    }
    EXPECT_NE(sim().mac(1), sim().mac(2));
    EXPECT_NE(sim().mac(2), sim().mac(3));
}

TEST_F(SimDiscoveryTest, AProbeToADeviceAddressIsAnsweredByThatDeviceAlone) {
    startSimulator({.devices = 3});
    client().send("127.0.0.3", 11000, probe());
    const auto replies = client().receiveAll(300ms);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].from, "127.0.0.3");
    EXPECT_EQ(sim().requestCount(1), 0u);
    EXPECT_EQ(sim().requestCount(2), 1u);
}

TEST_F(SimDiscoveryTest, OnlyProbesCountOnTheBroadcastAddress) {
    startSimulator();
    client().send("127.0.0.255", 11000, readRequest(0));
    client().send("127.0.0.255", 11000, std::vector<uint8_t>{0xA5, 0x63, 0x00});
    EXPECT_TRUE(client().receiveAll(300ms).empty());
    EXPECT_EQ(sim().requestCount(1), 0u);
}

TEST_F(SimDiscoveryTest, AnOfflineDeviceDoesNotAnswerTheProbe) {
    startSimulator({.devices = 2});
    command("offline 0 1");
    const auto replies = broadcastProbe();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].from, "127.0.0.3");
}

TEST(SimulatorStart, ABindFailureNamesTheAddress) {
    UdpClient squatter("127.0.0.2", 11000);
    pallixsim::Simulator sim;
    try {
        sim.start();
        FAIL() << "start succeeded on a taken port";
    } catch (const std::runtime_error &error) {
        EXPECT_NE(std::string(error.what()).find("127.0.0.2:11000"), std::string::npos) << error.what();
    }
}

TEST(SimulatorStart, RejectsOptionsItCannotServe) {
    EXPECT_THROW(pallixsim::Simulator({.devices = 0}), std::invalid_argument);
    EXPECT_THROW(pallixsim::Simulator({.firstAddress = "127.0.0"}), std::invalid_argument);
    EXPECT_THROW(pallixsim::Simulator({.firmware = "01:03"}), std::invalid_argument);
    EXPECT_THROW(pallixsim::Simulator({.devices = 2, .firstAddress = "127.0.0.254"}), std::invalid_argument);
}
