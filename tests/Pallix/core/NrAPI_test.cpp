// Library access: texts copied and freed, every call on the device thread
// in turn, and the loop free while a call waits on the device.
#include "AppTestSupport.h"
#include "FakePlatform.h"
#include "SimulatedDevice.h"
#include "app/AppState.h"
#include "device/DeviceThread.h"
#include "device/NrAPI.h"
#include "loop/EventLoop.h"

#include <chrono>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif
#include <unistd.h>
#include <algorithm>
#include <vector>

using namespace pallixsim::registers;

namespace {

class LibraryTest : public ::testing::Test {
protected:
    LibraryTest() { appState().appPath = folder.path(); }
    FakePlatform platform;
    TestAppFolder folder;
    SimulatedDevice device;
};

// The library's calls, as a test makes them: on the device thread.
template <typename Job, typename... Inputs> auto onDeviceThread(Job job, Inputs... inputs)
{
    return runTask([](Job j, Inputs... in) -> loop::Task<std::invoke_result_t<Job, Inputs...>> {
        co_return co_await device().call(j, in...);
    }(job, inputs...));
}

TEST_F(LibraryTest, LoadsFromTheApplicationFolderAndReadsTexts)
{
    std::string reason;
    ASSERT_TRUE(NrAPI::load(&reason)) << reason;
    struct Texts {
        int32_t count = 0;
        std::string firmware, mac, first, fifth;
    };
    const Texts texts = onDeviceThread([] {
        Texts t;
        NrAPI::NrDiscovery("127.0.0.255");
        t.count = NrAPI::NrDiscoveryCount();
        t.firmware = NrAPI::NrGetFirmwareVersion();
        t.mac = NrAPI::NrGetMACAddress();
        t.first = NrAPI::NrGetDevice(0);
        t.fifth = NrAPI::NrGetDevice(4);
        return t;
    });
    ASSERT_EQ(texts.count, 1);
    EXPECT_EQ(texts.firmware, "01.03");
    EXPECT_EQ(texts.mac.size(), 17u);
    EXPECT_TRUE(texts.first.starts_with("NERRIN:")) << texts.first;
    EXPECT_EQ(texts.fifth, " ");
}

TEST_F(LibraryTest, RegistersGoThroughTheTypedCalls)
{
    const auto flags = onDeviceThread(
        [](std::string address) {
            EXPECT_EQ(NrAPI::NrSetDevice(address), 0);
            EXPECT_EQ(NrAPI::pallixSetOutInEnable(1, 0, 1, 0), 0);
            std::vector<int32_t> f(4, 9);
            EXPECT_EQ(NrAPI::pallixGetOutInEnable(f[0], f[1], f[2], f[3]), 0);
            return f;
        },
        device.address());
    EXPECT_EQ(device.sim.reg(1, kOutInEnable), 0x05);
    EXPECT_EQ(flags, (std::vector<int32_t>{1, 0, 1, 0}));
}

// A call that waits on a silent device holds up the calls behind it, never
// the loop: a timer of the loop fires on time meanwhile, and the device
// gets the waiting call's requests after all of the slow one's.
TEST_F(LibraryTest, CallsWaitTheirTurnAndTheLoopRunsMeanwhile)
{
    ASSERT_TRUE(NrAPI::load());
    device.command("offline");
    int32_t slowStatus = -1, nextStatus = -1;
    bool slowDone = false, nextDone = false;
    loop::TaskScope scope;
    const auto call = [](std::string address, int32_t (*get)(int32_t &)) {
        NrAPI::NrSetDevice(address);
        int32_t value = 0;
        return get(value);
    };
    scope.spawn([](decltype(call) c, std::string a, int32_t &status, bool &done) -> loop::Task<> {
        status = co_await DeviceThread::current().call(c, a, &NrAPI::pallixGetWDTEnable);
        done = true;
    }(call, device.address(), slowStatus, slowDone));
    scope.spawn([](decltype(call) c, std::string a, int32_t &status, bool &done) -> loop::Task<> {
        status = co_await DeviceThread::current().call(c, a, &NrAPI::pallixGetPowerOnDelay);
        done = true;
    }(call, device.address(), nextStatus, nextDone));

    const auto started = std::chrono::steady_clock::now();
    bool ticked = false;
    loop::EventLoop::current().startTimer(loop::Duration(200), [&] { ticked = true; });
    ASSERT_TRUE(waitUntil([&] { return ticked; }, 1000));
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(600));
    EXPECT_FALSE(slowDone);

    device.command("online");
    ASSERT_TRUE(waitUntil([&] { return slowDone && nextDone; }, 10000));
    EXPECT_EQ(nextStatus, 0);
    const auto requests = device.sim.requests(1);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().address, kPowerOnDelay);
    for (size_t i = 0; i + 1 < requests.size(); ++i)
        EXPECT_EQ(requests[i].address, kWdtEnable) << i;
}

// On Windows the library shows its boxes itself, with MessageBoxA.
#ifndef _WIN32
// Takes every free descriptor for as long as it lives, so no socket can be made.
class NoFreeDescriptors {
public:
    NoFreeDescriptors()
    {
        getrlimit(RLIMIT_NOFILE, &saved_);
        rlimit low = saved_;
        low.rlim_cur = std::min<rlim_t>(saved_.rlim_cur, 256);
        setrlimit(RLIMIT_NOFILE, &low);
        for (int fd; (fd = dup(2)) >= 0;)
            taken_.push_back(fd);
    }
    ~NoFreeDescriptors()
    {
        for (int fd : taken_)
            close(fd);
        setrlimit(RLIMIT_NOFILE, &saved_);
    }

private:
    rlimit saved_{};
    std::vector<int> taken_;
};

// The library's boxes come from the device thread; they are shown on the
// loop, once however often the call repeats them, and the call goes on.
TEST_F(LibraryTest, TheLibrarysOwnBoxesAreShownOnceWithoutHoldingTheCall)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers probe memory through a pipe, which needs free descriptors";
#endif
    ASSERT_TRUE(NrAPI::load());
    platform.holdBoxes = true;
    int32_t status = 0;
    {
        const NoFreeDescriptors full;
        status = onDeviceThread(
            [](std::string address) {
                NrAPI::NrSetDevice(address);
                int32_t value = 0;
                return NrAPI::pallixGetWDTEnable(value);
            },
            device.address());
    }
    EXPECT_NE(status, 0);
    ASSERT_TRUE(waitUntil([&] { return !platform.boxes.empty(); }, 2000));
    letLoopRun();
    EXPECT_EQ(platform.boxes[0].title, "Nerrin");
    EXPECT_EQ(platform.boxes[0].text, "INVALID_SOCKET");
    const auto texts = platform.boxTexts();
    for (const char *text : {"INVALID_SOCKET", "Scoket Error"})
        EXPECT_EQ(std::count(texts.begin(), texts.end(), text), 1) << text;
}

#endif

}   // namespace
