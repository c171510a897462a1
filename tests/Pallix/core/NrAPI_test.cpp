// Library access: texts copied and freed, and no call while another runs.
#include "AppState.h"
#include "AppTestSupport.h"
#include "Countdown.h"
#include "DeviceMonitor.h"
#include "DeviceSearch.h"
#include "FakePlatform.h"
#include "NrAPI.h"
#include "SimulatedDevice.h"

#include <QThread>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
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

TEST_F(LibraryTest, LoadsFromTheApplicationFolderAndReadsTexts)
{
    QString reason;
    ASSERT_TRUE(NrAPI::load(&reason)) << reason.toStdString();
    EXPECT_EQ(NrAPI::NrDiscovery(QStringLiteral("127.0.0.255")), 0);
    ASSERT_EQ(NrAPI::NrDiscoveryCount(), 1);
    EXPECT_EQ(NrAPI::NrGetFirmwareVersion(), QStringLiteral("01.03"));
    EXPECT_EQ(NrAPI::NrGetMACAddress().size(), 17);
    EXPECT_TRUE(NrAPI::NrGetDevice(0).startsWith(QStringLiteral("NERRIN:")))
        << NrAPI::NrGetDevice(0).toStdString();
    EXPECT_EQ(NrAPI::NrGetDevice(4), QStringLiteral(" "));
}

TEST_F(LibraryTest, RegistersGoThroughTheTypedCalls)
{
    ASSERT_EQ(NrAPI::NrSetDevice(device.address()), 0);
    ASSERT_EQ(NrAPI::pallixSetOutInEnable(1, 0, 1, 0), 0);
    EXPECT_EQ(device.sim.reg(1, kOutInEnable), 0x05);
    int f[4] = {9, 9, 9, 9};
    ASSERT_EQ(NrAPI::pallixGetOutInEnable(f[0], f[1], f[2], f[3]), 0);
    EXPECT_EQ((std::vector<int>{f[0], f[1], f[2], f[3]}), (std::vector<int>{1, 0, 1, 0}));
}

TEST_F(LibraryTest, NoCallStartsWhileAnotherIsInProgress)
{
    ASSERT_TRUE(NrAPI::load());
    ASSERT_EQ(NrAPI::NrSetDevice(device.address()), 0);
    device.command("offline");
    int value = 0;
    int status = 0;
    std::thread slow([&] { status = NrAPI::pallixGetWDTEnable(value); });
    ASSERT_TRUE(waitUntil([] { return NrAPI::busy(); }, 2000));
    EXPECT_EQ(NrAPI::pallixGetPowerOnDelay(value), NrAPI::BusyStatus);
    EXPECT_EQ(NrAPI::NrGetFirmwareVersion(), QString());

    // Ticks that come due meanwhile skip their turn.
    appState().deviceList = {device.address(), QString()};
    DeviceSearch search;
    Countdown countdown;
    DeviceMonitor monitor(search, countdown);
    monitor.tick();
    EXPECT_EQ(monitor.errorCount, 0);
    slow.join();
    EXPECT_EQ(status, 3);
    EXPECT_FALSE(NrAPI::busy());
}

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

TEST_F(LibraryTest, TheLibrarysOwnBoxesAreShownWhileFurtherCallsWait)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers probe memory through a pipe, which needs free descriptors";
#endif
    ASSERT_TRUE(NrAPI::load());
    ASSERT_EQ(NrAPI::NrSetDevice(device.address()), 0);
    std::vector<int> callsDuringBox;
    platform.onBox = [&](const RecordedBox &) {
        callsDuringBox.push_back(NrAPI::NrDiscoveryCount());
    };
    int value = 0;
    int status = 0;
    {
        const NoFreeDescriptors full;
        status = NrAPI::pallixGetWDTEnable(value);
    }
    EXPECT_NE(status, 0);
    ASSERT_FALSE(platform.boxes.isEmpty());
    EXPECT_EQ(platform.boxes[0].title, QStringLiteral("Nerrin"));
    EXPECT_EQ(platform.boxes[0].text, QStringLiteral("INVALID_SOCKET"));
    ASSERT_EQ(callsDuringBox.size(), size_t(platform.boxes.size()));
    for (int answer : callsDuringBox)
        EXPECT_EQ(answer, NrAPI::BusyStatus);
    EXPECT_FALSE(NrAPI::busy());
}

}   // namespace
