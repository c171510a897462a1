// The configuration window, driven offscreen against the simulated device.
#include "ConfigTestSupport.h"
#include "QtText.h"
#include "RecordingWatch.h"
#include "StatusLamp.h"
#include "app/NrErrors.h"
#include "device/DeviceSettings.h"
#include "frmPallix.h"
#include "watch/ConfigView.h"
#include "watch/MonitorState.h"
#include "watch/NrDiscovery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

using configtest::forgetDevices;
using configtest::kRead;
using configtest::registersOf;
using configtest::SilenceAfter;
using configtest::SimulatedDevices;
using configtest::writesOf;

using namespace pallixsim::registers;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 255, 0);
const QColor kOrange(255, 128, 0);
const QColor kGrey(128, 128, 128);

class ConfigWindow : public ::testing::Test {
protected:
    // As the tray window does: the monitor and discovery reach this window.
    ConfigWindow() { setConfigView(&configWindowView()); }
    ~ConfigWindow() override
    {
        setConfigView(nullptr);
        delete frmPallix::existing();
    }

    frmPallix &window() { return frmPallix::instance(); }
    template <typename T> T *control(const char *name)
    {
        T *found = window().findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QComboBox *list(const char *name) { return control<QComboBox>(name); }
    QCheckBox *box(const char *name) { return control<QCheckBox>(name); }
    QRadioButton *option(const char *name) { return control<QRadioButton>(name); }
    QColor lamp(const char *name) { return control<StatusLamp>(name)->colour(); }

    // What the user does to pick an entry of the device list.
    void pickDevice(int entry)
    {
        QComboBox *devices = list("cmbPallix");
        devices->setCurrentIndex(entry);
        emit devices->activated(entry);
        settle();
    }
    // The window's device work, asked for so far, done.
    void settle()
    {
        waitUntil([] { return !frmPallix::existing() || frmPallix::existing()->editor().idle(); },
                  20000);
    }
    void open()
    {
        showConfig();
        settle();
    }
    void click(const char *button)
    {
        control<QPushButton>(button)->click();
        settle();
    }
    // The monitor's refresh of the lamps, to its end.
    void refreshLamps() { runTask(configWindowView().loadStatus()); }
    bool told(size_t box, const char *part) const
    {
        return box < platform.boxes.size()
               && platform.boxes[box].text.find(part) != std::string::npos;
    }

    TestAppFolder folder;
    FakePlatform platform;
    RecordingWatch tray;
};

// Registers of a device whose settings differ from the simulator's defaults.
void configure(pallixsim::Simulator &sim, int device)
{
    sim.setReg(device, kPowerOnDelay, 255);   // power-on delay 127.5 s
    sim.setReg(device, kPowerOffDelay, 0);
    sim.setReg(device, kShutdownAction, 7);     // no such action
    sim.setReg(device, kOutState, 0x14);        // output 1 manual, driven on; output 2 automatic
    sim.setReg(device, kOutInEnable, 0x08);     // output 2 follows input 2
    sim.setReg(device, kPowerInEnable, 0x01);   // power trigger on input 1
    sim.setReg(device, kAcpiPulseWidth1, 3);
    sim.setReg(device, kAcpiPulseWidth2, 4);
    sim.setReg(device, kWdtEnable, 1);   // watchdog on
    sim.setReg(device, kOutOnDelay1, 6);
    sim.setInput(device, 1, true);
}

}   // namespace

TEST_F(ConfigWindow, WithoutADeviceItOpensWithDefaultsAndReadsNothing)
{
    SimulatedDevices devices;
    forgetDevices();

    open();

    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().windowTitle(), "Nerrin Pallix™ Control Center");
    EXPECT_EQ(list("cmbPallix")->count(), 0);
    for (const char *name : {"cmbPowerOnDelay", "cmbPowerOffDelay", "cmbOutOnDelay1",
                             "cmbOutOffDelay1", "cmbOutOnDelay2", "cmbOutOffDelay2"}) {
        EXPECT_EQ(list(name)->currentText(), "0") << name;
        EXPECT_EQ(list(name)->count(), 256) << name;
    }
    EXPECT_EQ(list("cmbPulseWidth1")->currentIndex(), -1);
    EXPECT_EQ(list("cmbPulseWidth2")->currentIndex(), -1);
    EXPECT_EQ(list("cmbShutdownAction")->currentIndex(), -1);
    EXPECT_EQ(list("cmbShutdownAction")->count(), 6);
    EXPECT_FALSE(box("chkManualOutDrive0")->isEnabled());
    EXPECT_FALSE(box("chkManualOutDrive1")->isEnabled());
    for (const char *name : {"chkInState0", "chkInState1", "chkOutState0", "chkOutState1"})
        EXPECT_EQ(lamp(name), kWhite) << name;
    EXPECT_EQ(lamp("chkMainWakeState_0"), kOrange);
    EXPECT_EQ(lamp("chkMainWakeState_1"), kGreen);
    EXPECT_EQ(lamp("chkMainWakeState_2"), kGrey);
    EXPECT_EQ(lamp("chkMainWakeState_3"), kWhite);
    EXPECT_EQ(devices.sim().requestCount(1), 0u);

    // Nothing was read, so nothing may be written.
    click("cmdApply");
    EXPECT_EQ(devices.sim().requestCount(1), 0u);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(told(0, "have not been read yet"));
}

TEST_F(ConfigWindow, OpeningShowsTheDeviceWithoutWritingToIt)
{
    SimulatedDevices devices;
    configure(devices.sim(), 1);

    open();

    const auto log = devices.sim().requests(1);
    EXPECT_EQ(registersOf(log, kRead).size(), 16u);
    EXPECT_TRUE(writesOf(log).empty());
    EXPECT_EQ(list("cmbPallix")->currentText(), qText(devices.address(1)));
    EXPECT_EQ(list("cmbPowerOnDelay")->currentText(), "127.5");
    EXPECT_EQ(list("cmbPowerOffDelay")->currentText(), "0");
    EXPECT_EQ(list("cmbShutdownAction")->currentText(), "No Action");
    EXPECT_EQ(list("cmbOutOnDelay1")->currentText(), "3");
    EXPECT_EQ(list("cmbPulseWidth1")->currentText(), "1.5");
    EXPECT_EQ(list("cmbPulseWidth2")->currentText(), "2");
    EXPECT_TRUE(option("OptStateControl1_0")->isChecked());
    EXPECT_TRUE(option("OptStateControl2_1")->isChecked());
    EXPECT_TRUE(box("chkManualOutDrive0")->isChecked());
    EXPECT_TRUE(box("chkManualOutDrive0")->isEnabled());
    EXPECT_FALSE(box("chkOut0In0Enable")->isEnabled());
    EXPECT_FALSE(list("cmbPulseWidth1")->isEnabled());
    EXPECT_FALSE(box("chkManualOutDrive1")->isEnabled());
    EXPECT_TRUE(box("chkOut1In1Enable")->isChecked());
    EXPECT_TRUE(box("chkPwrIn0En")->isChecked());
    EXPECT_FALSE(box("chkWDTEnable")->isChecked());
    EXPECT_EQ(lamp("chkOutState0"), kGreen);    // driven on
    EXPECT_EQ(lamp("chkOutState1"), kOrange);   // follows input 2
    EXPECT_EQ(lamp("chkInState0"), kGreen);     // active
    EXPECT_EQ(lamp("chkInState1"), kOrange);    // output 2 follows it
    EXPECT_FALSE(window().editor().loading());
}

// The window's own traffic pauses the monitor and leaves it as it was: a
// countdown keeps it held, so a repeated request cannot restart it.
TEST_F(ConfigWindow, ItsDeviceTrafficLeavesTheMonitorAsItFoundIt)
{
    SimulatedDevices devices;
    monitorState().setWatching(true);
    showConfig();
    EXPECT_FALSE(monitorState().polling());   // held while the load is under way
    settle();
    EXPECT_TRUE(monitorState().polling());

    monitorState().hold(MonitorHold::Countdown);
    click("cmdApply");
    EXPECT_TRUE(monitorState().held(MonitorHold::Countdown));
    EXPECT_FALSE(monitorState().polling());
    monitorState().release(MonitorHold::Countdown);
}

// A click that writes nothing puts its control back, so the window never
// shows a mode the device does not have.
TEST_F(ConfigWindow, ARefusedModeClickPutsTheControlBack)
{
    SimulatedDevices devices;
    ASSERT_FALSE(configWindowView().visible());   // nothing read yet: writes are refused
    option("OptStateControl1_0")->click();
    EXPECT_TRUE(option("OptStateControl1_1")->isChecked());
    EXPECT_FALSE(box("chkManualOutDrive0")->isEnabled());
    EXPECT_TRUE(box("chkOut0In0Enable")->isEnabled());
    EXPECT_EQ(devices.sim().requestCount(1), 0u);

    open();
    devices.sim().command("offline");   // the write goes unanswered
    option("OptStateControl1_0")->click();
    settle();
    devices.sim().command("online");
    EXPECT_TRUE(option("OptStateControl1_1")->isChecked());
    EXPECT_FALSE(box("chkManualOutDrive0")->isEnabled());
}

TEST_F(ConfigWindow, ApplyWritesWhatTheWindowShowsAndReadsItBack)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    configure(sim, 1);
    open();
    sim.clearRequests();

    list("cmbPowerOffDelay")->setCurrentIndex(40);
    click("cmdApply");

    const auto log = sim.requests(1);
    ASSERT_EQ(log.size(), 30u);
    EXPECT_EQ(writesOf(log).size(), 14u);
    EXPECT_EQ(registersOf(log, kRead).size(), 16u);
    EXPECT_EQ(log[13].opcode, configtest::kWrite);   // all writes before the reads
    EXPECT_EQ(sim.reg(1, kPowerOffDelay), 40);
    EXPECT_EQ(sim.reg(1, kPowerOnDelay), 255);
    EXPECT_EQ(sim.reg(1, kShutdownAction), 5);   // "No Action" as shown
    EXPECT_EQ(sim.reg(1, kWdtEnable), 0);        // the watchdog is always switched off
    EXPECT_EQ(sim.reg(1, kOutState) & 0x3C, 0x14);
    EXPECT_EQ(list("cmbPowerOffDelay")->currentText(), "20");
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ConfigWindow, WithThreeDevicesItOpensOnTheThirdAndWritesGoToTheOneShown)
{
    SimulatedDevices devices(3);
    pallixsim::Simulator &sim = devices.sim();
    open();
    EXPECT_EQ(list("cmbPallix")->count(), 3);
    EXPECT_EQ(list("cmbPallix")->currentText(), qText(devices.address(3)));
    EXPECT_EQ(registersOf(sim.requests(3), kRead).size(), 16u);
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_EQ(sim.requestCount(2), 0u);

    // Apply writes to the device shown, not the first one found.
    click("cmdApply");
    EXPECT_EQ(writesOf(sim.requests(3)).size(), 14u);
    EXPECT_EQ(sim.requestCount(1), 0u);
    sim.clearRequests();

    // The user types the first device's address, moves a delay on by one
    // step with the keyboard and presses Apply.
    QLineEdit *edit = list("cmbPallix")->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, qText(devices.address(1)));
    settle();
    EXPECT_EQ(registersOf(sim.requests(1), kRead).size(), 16u);
    const int onDelay = sim.reg(1, kOutOnDelay1);
    QComboBox *outOnDelay1 = list("cmbOutOnDelay1");
    outOnDelay1->setFocus();
    QTest::keyClick(outOnDelay1, Qt::Key_Down);
    QTest::mouseClick(control<QPushButton>("cmdApply"), Qt::LeftButton);
    settle();

    EXPECT_EQ(sim.reg(1, kOutOnDelay1), onDelay + 1);
    EXPECT_EQ(writesOf(sim.requests(1)).size(), 14u);
    EXPECT_TRUE(writesOf(sim.requests(3)).empty());
    EXPECT_EQ(sim.requestCount(2), 0u);

    // The lamps follow the selected device too.
    sim.clearRequests();
    refreshLamps();
    EXPECT_EQ(registersOf(sim.requests(1), kRead), (std::vector<int>{5, 11, 7, 12}));
    EXPECT_EQ(sim.requestCount(3), 0u);
}

TEST_F(ConfigWindow, ManualDriveWritesBothOutputsAtOnce)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(1, kOutState, 0x04 | 0x08 | 0x10);   // both manual, output 1 driven
    open();
    sim.clearRequests();

    QCheckBox *drive2 = box("chkManualOutDrive1");
    ASSERT_TRUE(drive2->isEnabled());
    QTest::mouseClick(drive2, Qt::LeftButton, {}, QPoint(8, drive2->height() / 2));
    settle();

    EXPECT_EQ(writesOf(sim.requests(1)), (std::vector<std::pair<int, int>>{{5, 0x3C}}));
    EXPECT_EQ(sim.reg(1, kOutState) & 0x03, 0x03);   // both outputs on now
}

TEST_F(ConfigWindow, ChoosingAutomaticEnablesTheTriggersAndWritesAtOnce)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(1, kOutState, 0x04 | 0x10);
    open();
    sim.clearRequests();

    option("OptStateControl1_1")->click();
    settle();

    EXPECT_FALSE(box("chkManualOutDrive0")->isEnabled());
    for (const char *name : {"chkOut0In0Enable", "chkOut0In1Enable", "chkOut0ACPIEn"})
        EXPECT_TRUE(box(name)->isEnabled()) << name;
    for (const char *name : {"cmbPulseWidth1", "cmbOutOnDelay1", "cmbOutOffDelay1"})
        EXPECT_TRUE(list(name)->isEnabled()) << name;
    // The drive box keeps its tick; only the mode changes.
    EXPECT_EQ(writesOf(sim.requests(1)), (std::vector<std::pair<int, int>>{{5, 0x10}}));
}

TEST_F(ConfigWindow, BeforeAnyLoadApplyAndOkWriteNothing)
{
    SimulatedDevices devices;
    ASSERT_FALSE(configWindowView().visible());   // created hidden, nothing read
    EXPECT_EQ(list("cmbPallix")->count(), 1);

    click("cmdApply");
    click("cmdOK");

    EXPECT_EQ(devices.sim().requestCount(1), 0u);
    EXPECT_EQ(platform.boxes.size(), 1u);   // the same notice is not stacked
    EXPECT_NE(frmPallix::existing(), nullptr);
}

TEST_F(ConfigWindow, OkThatFailsKeepsTheWindowOpenAndCancelThenClosesIt)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    open();
    list("cmbPowerOnDelay")->setCurrentIndex(9);
    {
        SilenceAfter silence(sim, 1, 1);   // "Set Power Off Delay" goes unanswered
        click("cmdOK");
    }
    ASSERT_NE(frmPallix::existing(), nullptr);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(sim.reg(1, kPowerOnDelay), 9);
    ASSERT_FALSE(folder.logLines().empty());
    EXPECT_EQ(folder.logLines()[0], "Error: Set Power Off Delay (3)(Status:0)");
    EXPECT_TRUE(platform.boxes.empty());   // a device error only greys the icon
    EXPECT_EQ(tray.icons, (std::vector<int>{1}));

    sim.clearRequests();
    click("cmdCancel");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmPallix::existing(), nullptr);
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(ConfigWindow, ALoadThatFailsLeavesEveryControlAsItWas)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    configure(sim, 1);
    open();
    sim.setReg(1, kPowerOnDelay, 1);
    sim.setReg(1, kOutState, 0);
    sim.setReg(1, kGlobalStatus, 0x06);
    {
        SilenceAfter silence(sim, 1, 11);   // "Get In State" goes unanswered
        pickDevice(0);
    }
    EXPECT_EQ(list("cmbPowerOnDelay")->currentText(), "127.5");
    EXPECT_TRUE(option("OptStateControl1_0")->isChecked());
    EXPECT_EQ(lamp("chkOutState0"), kGreen);
    EXPECT_FALSE(window().editor().loading());
    EXPECT_EQ(appState().lastGlobalStatus, 0x06);
    ASSERT_FALSE(folder.logLines().empty());
    EXPECT_EQ(folder.logLines()[0], "Error: Get In State (3)(Status:6)");
}

TEST_F(ConfigWindow, AFailedDiscoveryEndsEveryOperationBeforeAnyDeviceCall)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(1, kOutState, 0x04);   // output 1 manual, so its drive box can be clicked
    open();
    sim.clearRequests();
    appState().discoveryFailed = true;
    const std::string save = "Cannot Save Settings - Device Discovery Failed. (1)";
    const std::string load = "Cannot Load Settings - Device Discovery Failed. (1)";

    // Each box is answered before the next click: an open one is not shown twice.
    const auto answered = [&] {
        settle();
        letLoopRun(20);
    };
    click("cmdApply");
    answered();
    click("cmdOK");
    answered();
    box("chkManualOutDrive0")->click();
    answered();
    option("OptStateControl1_1")->click();
    answered();
    pickDevice(0);
    answered();
    EXPECT_THROW(
        {
            try {
                refreshLamps();
            } catch (const NrError &error) {
                EXPECT_EQ(error.number(), 1);
                EXPECT_EQ(error.description() + " (1)", load);
                throw;
            }
        },
        NrError);

    EXPECT_EQ(platform.boxTexts(), (std::vector<std::string>{save, save, save, save, load}));
    EXPECT_EQ(sim.requestCount(1), 0u);
    EXPECT_TRUE(window().isVisible());
}

TEST_F(ConfigWindow, EditingTheDeviceTextToANonEntryReadsNothing)
{
    SimulatedDevices devices;
    open();
    devices.sim().clearRequests();

    QLineEdit *edit = list("cmbPallix")->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, "10.0.0.9");
    settle();
    refreshLamps();
    click("cmdApply");

    EXPECT_EQ(devices.sim().requestCount(1), 0u);
    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(told(0, "have not been read yet"));
}

TEST_F(ConfigWindow, LampRefreshShowsTheLiveInputs)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(1, kPowerInEnable, 0x02);   // power trigger on input 2
    open();
    EXPECT_EQ(lamp("chkInState1"), kOrange);
    EXPECT_EQ(lamp("chkInState0"), kGrey);

    sim.setInput(1, 2, true);
    refreshLamps();

    EXPECT_EQ(lamp("chkInState1"), kGreen);
    EXPECT_EQ(lamp("chkInState0"), kGrey);
}

TEST_F(ConfigWindow, NewDiscoveryResultsRefillTheListAndReloadOnlyAVisibleWindow)
{
    SimulatedDevices devices(2);
    pallixsim::Simulator &sim = devices.sim();
    ASSERT_FALSE(configWindowView().visible());
    configWindowView().loadDevices();
    EXPECT_EQ(list("cmbPallix")->count(), 2);
    EXPECT_EQ(sim.requestCount(1) + sim.requestCount(2), 0u);

    open();
    sim.clearRequests();
    appState().deviceList = {devices.address(2), std::string()};
    appState().deviceCount = 1;
    configWindowView().loadDevices();
    configWindowView().loadDevices();   // once per device found: still one reload

    EXPECT_EQ(list("cmbPallix")->count(), 1);
    EXPECT_EQ(sim.requestCount(2), 0u);   // not while discovery still runs
    EXPECT_TRUE(waitUntil([&] { return sim.requestCount(2) > 0; }, 2000));
    settle();
    EXPECT_EQ(list("cmbPallix")->currentText(), qText(devices.address(2)));
    EXPECT_EQ(registersOf(sim.requests(2), kRead).size(), 16u);
    EXPECT_EQ(sim.requestCount(1), 0u);
}

TEST_F(ConfigWindow, AClickArrivingDuringALoadWritesNothing)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    sim.setReg(1, kOutState, 0x04);
    open();
    sim.clearRequests();

    // Delivered while the load waits on the device.
    QMetaObject::invokeMethod(box("chkManualOutDrive0"), &QCheckBox::click, Qt::QueuedConnection);
    pickDevice(0);

    EXPECT_EQ(registersOf(sim.requests(1), kRead).size(), 16u);
    EXPECT_TRUE(writesOf(sim.requests(1)).empty());
}

TEST_F(ConfigWindow, ADiscoveryWhileTheWindowIsOpenFindsEveryDeviceAndShowsTheFirst)
{
    SimulatedDevices devices(2);
    forgetDevices();
    open();

    runTask(runDiscovery());

    std::vector<std::string> found(appState().deviceList.begin(), appState().deviceList.begin() + 2);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{devices.address(1), devices.address(2)}));
    EXPECT_EQ(list("cmbPallix")->count(), 2);
    const int first = appState().firstDevice() == devices.address(1) ? 1 : 2;
    EXPECT_TRUE(waitUntil(
        [&] { return registersOf(devices.sim().requests(first), kRead).size() == 16; }, 3000));
    settle();
    EXPECT_EQ(list("cmbPallix")->currentText(), qText(appState().firstDevice()));
    EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(ConfigWindow, EnterSavesAndClosesEscapeClosesWithoutWriting)
{
    SimulatedDevices devices;
    pallixsim::Simulator &sim = devices.sim();
    open();
    sim.clearRequests();
    QTest::keyClick(&window(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmPallix::existing(), nullptr);
    EXPECT_EQ(sim.requestCount(1), 0u);

    open();   // a new window, read afresh
    EXPECT_EQ(registersOf(sim.requests(1), kRead).size(), 16u);
    sim.clearRequests();
    QTest::keyClick(&window(), Qt::Key_Return);
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmPallix::existing(), nullptr);
    EXPECT_EQ(writesOf(sim.requests(1)).size(), 14u);
    EXPECT_EQ(registersOf(sim.requests(1), kRead).size(), 0u);   // OK does not read back
}
