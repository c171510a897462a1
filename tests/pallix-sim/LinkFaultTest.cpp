#include <gtest/gtest.h>

#include <thread>

#include "SimulatorFixture.h"

using namespace pallixtest;
using namespace std::chrono_literals;

namespace {

class SimLinkFaultTest : public SimulatorTest {
protected:
    void SetUp() override { startSimulator({.devices = 2}); }
    bool answers(int device = 1, std::chrono::milliseconds timeout = 300ms) {
        return ask(readRequest(0), device, timeout).has_value();
    }
};

}  // namespace

TEST_F(SimLinkFaultTest, OfflineUntilOnline) {
    command("offline");
    EXPECT_FALSE(answers());
    EXPECT_TRUE(answers(2));
    command("online");
    EXPECT_TRUE(answers());
    EXPECT_EQ(sim().requestCount(1), 2u) << "requests are counted while silent too";
}

TEST_F(SimLinkFaultTest, OfflineForAWhile) {
    command("offline 0.4");
    EXPECT_FALSE(answers(1, 100ms));
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(answers());
}

TEST_F(SimLinkFaultTest, OfflineAfterSomeAnswers) {
    command("offline-after 1 0.4");
    EXPECT_TRUE(answers());
    EXPECT_FALSE(answers(1, 100ms));
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(answers());
}

TEST_F(SimLinkFaultTest, DropLosesExactlyThatShareInAFixedPattern) {
    command("drop 50");
    std::string pattern;
    for (int i = 0; i < 8; ++i) pattern += answers(1, 150ms) ? 'a' : '-';
    EXPECT_EQ(pattern, "a-a-a-a-");
    command("drop 25 2");
    int answered = 0;
    for (int i = 0; i < 8; ++i) answered += answers(2, 150ms);
    EXPECT_EQ(answered, 6);
    command("drop 0");
    EXPECT_TRUE(answers());

    const auto log = sim().requests(1);
    ASSERT_EQ(log.size(), 9u);
    EXPECT_FALSE(log[1].answered);
    EXPECT_EQ(log[1].address, 0) << "a dropped request is still logged with what it asked";
}

TEST_F(SimLinkFaultTest, DelayHoldsEveryReplyBack) {
    command("delay 400");
    client().send(sim().address(1), 11000, readRequest(0));
    EXPECT_FALSE(client().receive(150ms)) << "reply came before its delay";
    EXPECT_TRUE(client().receive(1000ms));
    command("delay 0");
    EXPECT_TRUE(answers(1, 100ms));
}

TEST_F(SimLinkFaultTest, ZeroAndShortReplies) {
    command("reply zero");
    auto reply = ask(readRequest(9));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->bytes[0], 0);
    EXPECT_EQ(reply->bytes[5], 10) << "only the first byte is spoiled";

    command("reply short");
    reply = ask(readRequest(9));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->bytes.size(), 5u);

    command("reply normal");
    reply = ask(readRequest(9));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->bytes.size(), 8u);
}

TEST_F(SimLinkFaultTest, APowerRequestCanLandAfterAGivenNumberOfAnswers) {
    command("power-request-after 2");
    EXPECT_TRUE(answers());
    EXPECT_EQ(sim().reg(1, 0) & 1, 0);
    EXPECT_TRUE(answers());
    EXPECT_EQ(sim().reg(1, 0) & 1, 1);
}
