// A device that answers late and loses requests: every call must return
// its own register's value or an error, never the answer to an earlier
// request, and a discovery must take no register reply for a device.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ostream>
#include <string>
#include <thread>

#include "FakeDevice.h"
#include "Records.h"
#include "SimulatedDevice.h"
#include "Transport.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Callers do a little work of their own between calls.
constexpr auto kBetweenCalls = 100ms;

struct Setting {
    const char *name;
    int reg;
    int32_t (*get)(int32_t *);
    int32_t (*set)(int32_t);
};

// Whole-byte registers the device leaves alone, each to hold a value of its own.
const Setting kPowerOnDelay{"power-on delay", 9, pallixGetPowerOnDelay, pallixSetPowerOnDelay};
const Setting kPowerOffDelay{"power-off delay", 10, pallixGetPowerOffDelay, pallixSetPowerOffDelay};
const Setting kPulseWidth1{"pulse width 1", 13, pallixGetACPIPulseWidth1, pallixSetACPIPulseWidth1};
const Setting kOutOnDelay1{"output 1 on-delay", 1, pallixGetOutOnDelay1, pallixSetOutOnDelay1};

struct Step {
    const Setting *setting;
    bool write;
    int value;  // for a write
};

struct Link {
    int lateMs;
    int dropPercent;
};

// Names the case in failure messages and test lists.
void PrintTo(const Link &link, std::ostream *out) {
    *out << "replies " << link.lateMs << " ms late, " << link.dropPercent << " % of requests dropped";
}

class NrLateReplies : public NrSimulatedDevice, public ::testing::WithParamInterface<Link> {
protected:
    pallixsim::Simulator &startLate(const Link &link) {
        pallixsim::Simulator &sim = start();
        int distinct = 40;
        for (const Setting *s : {&kPowerOnDelay, &kPowerOffDelay, &kPulseWidth1, &kOutOnDelay1})
            sim.setReg(1, s->reg, distinct += 17);
        EXPECT_EQ(sim.command("delay " + std::to_string(link.lateMs)), "ok");
        EXPECT_EQ(sim.command("drop " + std::to_string(link.dropPercent)), "ok");
        return sim;
    }

    // A read that succeeds holds the register's own value; a write that
    // succeeds reached the device.
    void run(pallixsim::Simulator &sim, const Step &step) {
        ::testing::internal::CaptureStdout();  // the transport's retry lines
        int32_t value = -1;
        const int32_t status = step.write ? step.setting->set(step.value) : step.setting->get(&value);
        ::testing::internal::GetCapturedStdout();
        const std::string what = std::string(step.write ? "write " : "read ") + step.setting->name;
        EXPECT_TRUE(status == kNrOk || status == kNrNoReply) << what << ": status " << status;
        if (status == kNrOk) {
            const int held = sim.reg(1, step.setting->reg);
            EXPECT_EQ(step.write ? step.value : value, held) << what;
        }
        std::this_thread::sleep_for(kBetweenCalls);
    }
};

TEST_P(NrLateReplies, NoCallTakesAnotherRequestsReply) {
    pallixsim::Simulator &sim = startLate(GetParam());
    for (const Step &step : {Step{&kPowerOnDelay, false, 0}, Step{&kPulseWidth1, true, 201},
                             Step{&kPowerOffDelay, false, 0}})
        run(sim, step);
}

INSTANTIATE_TEST_SUITE_P(LateAndLossyLinks, NrLateReplies,
                         ::testing::Values(Link{950, 90}, Link{1100, 25}, Link{1500, 30}, Link{2500, 50}),
                         [](const auto &info) {
                             return "Late" + std::to_string(info.param.lateMs) + "msDrop" +
                                    std::to_string(info.param.dropPercent);
                         });

// Only an exchange that went unanswered leaves a wait behind; once the
// device answers at once again, so does every call.
TEST_F(NrLateReplies, AnswersAtOnceCostNoWait) {
    pallixsim::Simulator &sim = startLate({1100, 0});
    run(sim, {&kPowerOnDelay, false, 0});
    EXPECT_EQ(sim.command("delay 0"), "ok");

    const auto timed = [&] {
        const auto started = Clock::now();
        int32_t value = -1;
        EXPECT_EQ(pallixGetPowerOffDelay(&value), kNrOk);
        EXPECT_EQ(value, sim.reg(1, kPowerOffDelay.reg));
        return Clock::now() - started;
    };
    EXPECT_GT(timed(), 2s) << "the first call waits until the late replies are due";
    std::chrono::nanoseconds slowest{};
    for (int i = 0; i < 20; ++i) slowest = std::max(slowest, timed());
    EXPECT_LT(slowest, 100ms);

    // The device answered the probe, so it owes no late reply to it.
    NrDiscovery(kDevice);
    ASSERT_EQ(NrDiscoveryCount(), 1);
    EXPECT_LT(timed(), 100ms);
}

// A register reply that comes after its call is no device for a discovery,
// and a probe's late answer is no register value.
TEST_F(NrLateReplies, DiscoveryAndRegisterRepliesStayApart) {
    pallixsim::Simulator &sim = startLate({1100, 0});
    run(sim, {&kPowerOnDelay, false, 0});

    ::testing::internal::CaptureStdout();
    NrDiscovery(kDevice);
    ::testing::internal::GetCapturedStdout();
    for (int slot = 0; slot < NrDiscoveryCount(); ++slot) {
        const std::string record = takeText(NrGetDevice(slot));
        EXPECT_EQ(fieldOf(record, 2), sim.address(1)) << "slot " << slot << ": " << record;
    }
    std::this_thread::sleep_for(kBetweenCalls);

    run(sim, {&kPowerOffDelay, false, 0});
}

}  // namespace
