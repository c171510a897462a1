#include "AppState.h"
#include "AppTestSupport.h"
#include "DeviceSearch.h"
#include "FakePlatform.h"
#include "FirmwareCheck.h"
#include "NrErrors.h"
#include "SimulatedDevice.h"
#include "TrayControl.h"
#include "WindowHooks.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class RecordingTray : public TrayControl {
public:
    RecordingTray() { setTrayControl(this); }
    ~RecordingTray() override { setTrayControl(nullptr); }
    void setMonitorEnabled(bool enabled) override { monitor.push_back(enabled); }
    void enableDiscoveryTimer() override {}
    void ChangeIcon(int) override {}
    void removeIcon() override { ++iconsRemoved; }

    std::vector<bool> monitor;
    int iconsRemoved = 0;
};

const QString expectedPrompt = QStringLiteral(
    "Your Pallix requires a firmware update!\r\n"
    "\r\n"
    "   Local Version: 01.04\r\n"
    "   New Version: 01.03\r\n"
    "\r\n"
    "   IP Address: 127.0.0.2\r\n"
    "   MAC Address: 00-50-C2-8F-10-01\r\n"
    "\r\n"
    "Update now?");

const QString expectedNetworksWarning = QStringLiteral(
    "Pallix detects multiple networks.\r\n"
    "Please disable any wireless or secondary network devices before firmware update.");

const QString expectedPowerWarning = QStringLiteral(
    "NOTE:  During a firmware update, you must ensure that the PC connected to Pallix™ and the "
    "Pallix™ unit will be continuously powered during the entire programming process.  Make "
    "sure Pallix™ does not control the PC's power during a firmware update otherwise the "
    "programming process will fail and the unit will be non-functional.");

class FirmwareCheckTest : public ::testing::Test {
protected:
    FirmwareCheckTest()
    {
        appState() = AppState{};
        appState().AppPath = folder.path();
        appState().DeviceList = {QStringLiteral("127.0.0.2"), QString()};
        appState().DeviceCount = 1;
        appState().MACAddress = QStringLiteral("00-50-C2-8F-10-01");
        appState().FirmwareVersion = QStringLiteral("01.04");
    }

    // Runs the check inside the application's event loop; true when the
    // check ended the application.
    bool checkEndsApplication()
    {
        bool ended = true;
        QTimer::singleShot(0, [] { FirmwareCheck(); });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&ended] {
            ended = false;
            QCoreApplication::exit(1);
        });
        guard.start(20000);
        // A check that returns without ending quits the loop here; one that
        // hangs is stopped by the guard.
        QTimer::singleShot(0, [&] {
            if (!appState().Ending) {
                ended = false;
                QCoreApplication::exit(2);
            }
        });
        QApplication::exec();
        return ended && appState().Ending;
    }

    TestAppFolder folder;
    FakePlatform platform;
    RecordingTray tray;
};

TEST_F(FirmwareCheckTest, CarriedVersionAsksNothing)
{
    appState().FirmwareVersion = QStringLiteral("01.03");
    FirmwareCheck();
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_TRUE(platform.updaters.isEmpty());
    EXPECT_TRUE(tray.monitor.empty());
}

TEST_F(FirmwareCheckTest, AnyOtherVersionTextIsOffered)
{
    for (const char *version : {"01.04", "1.03", "01.02", "", "01.03 "}) {
        platform.boxes.clear();
        platform.answers = {MsgCancel};
        appState().FirmwareVersion = QString::fromLatin1(version);
        FirmwareCheck();
        ASSERT_EQ(platform.boxes.size(), 1) << version;
        EXPECT_TRUE(platform.boxes[0].window) << version;
        EXPECT_TRUE(platform.boxes[0].text.contains(QStringLiteral("   Local Version: ")
                                                    + QString::fromLatin1(version) + "\r\n"));
    }
}

TEST_F(FirmwareCheckTest, PromptTextAndMonitorStopped)
{
    platform.answers = {MsgCancel};
    FirmwareCheck();
    ASSERT_EQ(platform.boxes.size(), 1);
    EXPECT_TRUE(platform.boxes[0].window);
    EXPECT_EQ(platform.boxes[0].text, expectedPrompt);
    EXPECT_EQ(tray.monitor, std::vector<bool>{false});
}

TEST_F(FirmwareCheckTest, CancelInThePromptStartsNothing)
{
    platform.answers = {MsgCancel};
    FirmwareCheck();
    EXPECT_TRUE(platform.updaters.isEmpty());
    EXPECT_FALSE(appState().Ending);
    EXPECT_EQ(tray.iconsRemoved, 0);
}

TEST_F(FirmwareCheckTest, MultipleNetworksWarningRepeatsUntilOneAddressRemains)
{
    platform.addresses = {QStringLiteral("10.0.0.5"), QStringLiteral("192.168.1.20")};
    int warnings = 0;
    platform.onBox = [&](const RecordedBox &box) {
        if (box.text == expectedNetworksWarning && ++warnings == 2)
            platform.addresses = {QStringLiteral("192.168.1.20")};
    };
    platform.answers = {MsgOK, MsgOK, MsgOK, MsgCancel};
    FirmwareCheck();

    ASSERT_EQ(platform.boxes.size(), 4);
    for (int i : {1, 2}) {
        EXPECT_EQ(platform.boxes[i].text, expectedNetworksWarning);
        EXPECT_EQ(platform.boxes[i].icon, MsgIcon::Information);
        EXPECT_EQ(platform.boxes[i].buttons, MsgButtons::OKCancel);
        EXPECT_FALSE(platform.boxes[i].window);
    }
    EXPECT_EQ(platform.boxes[3].text, expectedPowerWarning);
    EXPECT_EQ(platform.boxes[3].icon, MsgIcon::Critical);
    EXPECT_EQ(platform.boxes[3].buttons, MsgButtons::OKCancel);
    EXPECT_TRUE(platform.updaters.isEmpty());   // Cancel in the power warning
}

TEST_F(FirmwareCheckTest, NetworksAreCountedAsDiscoverySeesThem)
{
    // The command line's address list replaces the PC's own one here too.
    platform.addresses = {QStringLiteral("10.0.0.5"), QStringLiteral("192.168.1.20")};
    appState().LocalAddressOverride = {QStringLiteral("127.0.0.1")};
    platform.answers = {MsgOK, MsgCancel};
    FirmwareCheck();
    EXPECT_EQ(platform.boxTexts(), (QStringList{expectedPrompt, expectedPowerWarning}));
}

TEST_F(FirmwareCheckTest, CancelInTheNetworksWarningStartsNothing)
{
    platform.addresses = {QStringLiteral("10.0.0.5"), QStringLiteral("192.168.1.20")};
    platform.answers = {MsgOK, MsgCancel};
    FirmwareCheck();
    EXPECT_EQ(platform.boxes.size(), 2);   // no power warning
    EXPECT_TRUE(platform.updaters.isEmpty());
    EXPECT_FALSE(appState().Ending);
}

TEST_F(FirmwareCheckTest, AcceptingEverythingStartsTheUpdaterAndEnds)
{
    EXPECT_TRUE(checkEndsApplication());
    ASSERT_EQ(platform.updaters.size(), 1);
    EXPECT_EQ(platform.updaters[0].program, folder.path() + QStringLiteral("nrfwupdate"));
    EXPECT_EQ(platform.updaters[0].arguments,
              (QStringList{QStringLiteral("127.0.0.2"),
                           folder.path() + QStringLiteral("download/test_out.hex")}));
    EXPECT_EQ(tray.iconsRemoved, 1);
    EXPECT_EQ(platform.boxTexts(), (QStringList{expectedPrompt, expectedPowerWarning}));
}

TEST_F(FirmwareCheckTest, AnUpdaterThatCannotStartIsRaisedAndTheApplicationStays)
{
    platform.updaterStarts = false;
    try {
        FirmwareCheck();
        FAIL() << "no error raised";
    } catch (const NrError &error) {
        EXPECT_EQ(error.number(), UpdaterStartError);
        EXPECT_TRUE(error.description().contains(folder.path() + QStringLiteral("nrfwupdate")));
    }
    EXPECT_EQ(platform.updaters.size(), 1);
    EXPECT_FALSE(appState().Ending);
    EXPECT_EQ(tray.iconsRemoved, 0);
}

// The check as discovery runs it, against the simulated device.
class FirmwareCheckAfterDiscovery : public FirmwareCheckTest {
protected:
    FirmwareCheckAfterDiscovery()
    {
        appState() = AppState{};
        appState().AppPath = folder.path();
        platform.addresses = {QStringLiteral("127.0.0.1")};
    }

    static pallixsim::SimOptions firmware(const char *version)
    {
        pallixsim::SimOptions options;
        options.firmware = version;
        return options;
    }

    DeviceSearch search;
};

TEST_F(FirmwareCheckAfterDiscovery, AnOlderDeviceIsOfferedItsUpdate)
{
    SimulatedDevice device(firmware("01.02"));
    platform.answers = {MsgCancel};
    search.tick();

    ASSERT_EQ(platform.boxes.size(), 1);
    const QString prompt = platform.boxes[0].text;
    EXPECT_TRUE(prompt.contains(QStringLiteral("   Local Version: 01.02\r\n")));
    EXPECT_TRUE(prompt.contains(QStringLiteral("   IP Address: 127.0.0.2\r\n")));
    EXPECT_TRUE(prompt.contains(QStringLiteral("   MAC Address: ")
                                + QString::fromStdString(device.sim.mac(1)) + "\r\n"));
    // Declining leaves the monitor running.
    EXPECT_EQ(tray.monitor.back(), true);
    EXPECT_FALSE(search.tmrDiscovery.isActive());
}

TEST_F(FirmwareCheckAfterDiscovery, TheCarriedVersionAsksNothing)
{
    SimulatedDevice device(firmware("01.03"));
    search.tick();
    EXPECT_TRUE(platform.boxes.isEmpty());
    EXPECT_EQ(appState().FirmwareVersion, QStringLiteral("01.03"));
    EXPECT_EQ(tray.monitor.back(), true);
}

TEST_F(FirmwareCheckAfterDiscovery, AcceptingHandsTheDeviceToTheUpdater)
{
    SimulatedDevice device(firmware("01.02"));
    QTimer::singleShot(0, [this] { search.tick(); });
    QTimer::singleShot(20000, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(appState().Ending);
    ASSERT_EQ(platform.updaters.size(), 1);
    EXPECT_EQ(platform.updaters[0].arguments.value(0), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(tray.iconsRemoved, 1);
    // The updater has the device to itself: the monitor is not restarted.
    ASSERT_FALSE(tray.monitor.empty());
    EXPECT_FALSE(tray.monitor.back());
}

TEST_F(FirmwareCheckAfterDiscovery, AnUpdaterThatCannotStartIsReportedByTheDiscoveryTick)
{
    SimulatedDevice device(firmware("01.02"));
    platform.updaterStarts = false;
    search.tick();
    ASSERT_EQ(platform.boxes.size(), 3);
    EXPECT_EQ(platform.boxes[2].icon, MsgIcon::Critical);
    EXPECT_TRUE(platform.boxes[2].text.startsWith(QStringLiteral("Cannot start the firmware updater ")));
    EXPECT_TRUE(platform.boxes[2].text.endsWith(QStringLiteral(" (53)")));
    EXPECT_FALSE(appState().Ending);
    EXPECT_EQ(folder.logLines().size(), 1);
}

}  // namespace
