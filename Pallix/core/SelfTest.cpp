#include "SelfTest.h"

#include "AppState.h"
#include "Desktop.h"
#include "DeviceWatch.h"
#include "MousePointer.h"
#include "NrAPI.h"
#include "NrDiscovery.h"
#include "NrErrors.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <climits>
#include <cmath>
#include <utility>

namespace {

const QString NoDeviceText = QStringLiteral("No Device Available");
const QString WatchedDeviceChangedText =
    QStringLiteral("The watched Pallix changed during the test; the test stopped.");
const QString NotRestoredText =
    QStringLiteral("Settings not restored: they were not read completely before the test.");
const QString WriteWarningText = QStringLiteral(
    "Warning: Exiting the program during this test could result in the loss of your current "
    "Pallix settings. Please allow the test to complete, or use the stop button. Continue?");

void processEvents() { QCoreApplication::processEvents(); }

}   // namespace

int loopCountFromText(const QString &text)
{
    static const QRegularExpression leadingNumber(
        QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?))"));
    const QRegularExpressionMatch match = leadingNumber.match(text);
    if (!match.hasMatch()) return 0;
    const double value = std::nearbyint(match.captured(1).toDouble());   // halves to even
    if (value >= double(INT_MAX)) return INT_MAX;
    if (value <= double(INT_MIN)) return INT_MIN;
    return int(value);
}

// Marks a test as running for as long as its handler runs, so that a second
// one started from inside its event processing does nothing.
class SelfTest::RunScope {
public:
    explicit RunScope(SelfTest &test) : test_(test)
    {
        test_.running_ = true;
        test_.view_.showTestRunning(true);
    }
    ~RunScope()
    {
        test_.running_ = false;
        test_.writeTestRunning_ = false;
        test_.device_.clear();
        test_.view_.showTestRunning(false);
        setMousePointer(MousePointer::Default);
    }
    RunScope(const RunScope &) = delete;
    RunScope &operator=(const RunScope &) = delete;

private:
    SelfTest &test_;
};

namespace {

QList<SelfTest *> &selfTests()
{
    static QList<SelfTest *> tests;
    return tests;
}

}   // namespace

SelfTest::SelfTest(SelfTestView &view) : view_(view) { selfTests().append(this); }

SelfTest::~SelfTest() { selfTests().removeAll(this); }

void stopSelfTestsAndRestore()
{
    for (SelfTest *test : selfTests())
        test->stopAndRestore();
}

void SelfTest::load()
{
    try {
        updateStatusIndicators();
        view_.fillLoopCounts(MaxLoops);
    } catch (const NrError &error) {
        showError(error);
    }
    setMousePointer(MousePointer::Default);
}

void SelfTest::stop() { stopRequested_ = true; }

void SelfTest::clear() { view_.clearLog(); }

void SelfTest::addLog(const QString &text)
{
    if (!view_.detailsChecked() && text.startsWith(QStringLiteral("Testing:"))) return;
    view_.appendLogLine(text);
    processEvents();
}

QString SelfTest::testDevice() const
{
    return device_.isEmpty() ? appState().deviceList.value(0) : device_;
}

void SelfTest::selectDevice() { selectDeviceLettingEventsRun(testDevice()); }

// Events ran since the last call, and with them handlers that select other
// devices: the test's own is selected again, and a test whose device is no
// longer the watched one stops rather than write into another.
void SelfTest::aimAtTestDevice()
{
    if (!device_.isEmpty() && appState().deviceList.value(0) != device_)
        throw NrError(1, WatchedDeviceChangedText);
    checkError(NrAPI::NrSetDevice(testDevice()), QStringLiteral("Set Device"));
}

void SelfTest::updateStatusIndicators()
{
    AppState &app = appState();
    checkDiscovery(SettingsAccess::Load);
    setMousePointer(MousePointer::ArrowHourglass);
    selectDevice();

    int32_t global = 0;
    checkError(NrAPI::pallixGetGlobalStatus(global), QStringLiteral("Get Global Status"));
    app.lastGlobalStatus = global;
    view_.showStatusCaption(QStringLiteral("Status ") + QString::number(global));

    const DeviceStatus status = readDeviceStatus();
    view_.showLamps(indicatorLamps(status));
}

void SelfTest::readRegister(const char *name, const std::function<int32_t()> &read)
{
    const QString operation = QStringLiteral("Get ") + QString::fromLatin1(name);
    addLog(QStringLiteral("Testing: ") + operation);
    aimAtTestDevice();
    checkError(read(), operation);
}

void SelfTest::readAllRegisters()
{
    using namespace NrAPI;
    checkDiscovery(SettingsAccess::Load);
    setMousePointer(MousePointer::ArrowHourglass);
    selectDevice();

    // Read into a copy: the record is replaced only by a complete pass.
    SavedSettings s = saved_;
    int32_t global = 0;
    readRegister("Global Status", [&] { return pallixGetGlobalStatus(global); });
    appState().lastGlobalStatus = global;
    readRegister("Power On Delay", [&] { return pallixGetPowerOnDelay(s.powerOnDelay); });
    readRegister("Power Off Delay", [&] { return pallixGetPowerOffDelay(s.powerOffDelay); });
    readRegister("Out State", [&] {
        int32_t *o = s.outState;
        return pallixGetOutState(o[0], o[1], o[2], o[3], o[4], o[5]);
    });
    readRegister("Out ACPI Enable",
                 [&] { return pallixGetOutACPIEnable(s.outACPIEnable[0], s.outACPIEnable[1]); });
    readRegister("Power In Enable",
                 [&] { return pallixGetPowerInEnable(s.powerInEnable[0], s.powerInEnable[1]); });
    readRegister("ACPI Pulse Width 1", [&] { return pallixGetACPIPulseWidth1(s.acpiPulseWidth1); });
    readRegister("ACPI Pulse Width 2", [&] { return pallixGetACPIPulseWidth2(s.acpiPulseWidth2); });
    readRegister("WDT Enable", [&] { return pallixGetWDTEnable(s.wdtEnable); });
    readRegister("Out In Enable", [&] {
        int32_t *e = s.outInEnable;
        return pallixGetOutInEnable(e[0], e[1], e[2], e[3]);
    });
    readRegister("Shutdown Action", [&] { return pallixGetShutdownAction(s.shutdownAction); });
    readRegister("In State", [&] { return pallixGetInState(s.inState[0], s.inState[1]); });
    readRegister("Out On Delay 1", [&] { return pallixGetOutOnDelay1(s.outOnDelay1); });
    readRegister("Out Off Delay 1", [&] { return pallixGetOutOffDelay1(s.outOffDelay1); });
    readRegister("Out On Delay 2", [&] { return pallixGetOutOnDelay2(s.outOnDelay2); });
    readRegister("Out Off Delay 2", [&] { return pallixGetOutOffDelay2(s.outOffDelay2); });
    saved_ = s;
}

void SelfTest::readTest()
{
    if (running_) return;
    RunScope scope(*this);
    try {
        runReadTest();
    } catch (const NrError &error) {
        appState().testBusy = false;
        showError(error);
    }
}

void SelfTest::runReadTest()
{
    stopRequested_ = false;
    view_.showProgress(QString());
    if (appState().deviceCount < 1) throw NrError(1, NoDeviceText);
    const int loops = loopCountFromText(view_.loopCountText());
    if (loops < 1) return;

    device_ = appState().deviceList.value(0);
    appState().testBusy = true;
    for (int pass = 0; pass < loops && !stopRequested_;) {
        updateStatusIndicators();
        readAllRegisters();
        addLog(QStringLiteral("Read Test Complete"));
        ++pass;
        view_.showProgress(QStringLiteral("Read Loops: ") + QString::number(pass));
        processEvents();
    }
    appState().testBusy = false;
}

void SelfTest::writeTest()
{
    if (running_) return;
    RunScope scope(*this);
    stopRequested_ = false;
    view_.showProgress(QString());
    const int answer = Desktop::current().messageBox(WriteWarningText, appTitle(),
                                                     MsgIcon::Critical, MsgButtons::OKCancel);
    if (answer != MsgOK || stopRequested_) return;

    writeTestRunning_ = true;
    savedThisRun_ = false;
    restored_ = false;
    pendingStatus_.reset();
    try {
        runWriteTest();
    } catch (const NrError &error) {
        appState().testBusy = false;
        showError(error);
        if (!restored_) restoreReporting();
    }
    handOverPendingEvent();
}

// After the restore, so the monitor reads the user's delay and action, not
// the test's values.
void SelfTest::handOverPendingEvent()
{
    if (!pendingStatus_) return;
    const int32_t status = *std::exchange(pendingStatus_, std::nullopt);
    if (DeviceWatch *watch = DeviceWatch::current()) watch->monitor.handlePolledStatus(status);
}

void SelfTest::runWriteTest()
{
    if (appState().deviceCount < 1) throw NrError(1, NoDeviceText);
    const int loops = loopCountFromText(view_.loopCountText());
    if (loops < 1) return;

    device_ = appState().deviceList.value(0);
    appState().testBusy = true;
    readAllRegisters();
    savedThisRun_ = true;
    for (int pass = 0; pass < loops && !stopRequested_;) {
        writeTestPass();
        ++pass;
        view_.showProgress(QStringLiteral("Write Test: ") + QString::number(pass));
        processEvents();
    }
    appState().testBusy = false;
    if (!restored_) restoreSettings();
}

void SelfTest::stopAndRestore()
{
    if (!running_) return;
    stopRequested_ = true;
    if (!writeTestRunning_ || restored_) return;
    // The running test sits below us on the stack and may never get back
    // (the application is ending), so the configuration goes back now.
    restored_ = true;
    restoreReporting();
}

// The saved registers as the configuration record the save writes.
static DeviceConfig configFrom(const SavedSettings &s)
{
    DeviceConfig c;
    c.powerOnDelay = s.powerOnDelay;
    c.powerOffDelay = s.powerOffDelay;
    c.out1Manual = s.outState[2];
    c.out2Manual = s.outState[3];
    c.out1Drive = s.outState[4];
    c.out2Drive = s.outState[5];
    c.out1ACPIEnable = s.outACPIEnable[0];
    c.out2ACPIEnable = s.outACPIEnable[1];
    c.powerIn1Enable = s.powerInEnable[0];
    c.powerIn2Enable = s.powerInEnable[1];
    c.acpiPulseWidth1 = s.acpiPulseWidth1;
    c.acpiPulseWidth2 = s.acpiPulseWidth2;
    c.wdtEnable = s.wdtEnable;
    c.out1In1Enable = s.outInEnable[0];
    c.out1In2Enable = s.outInEnable[1];
    c.out2In1Enable = s.outInEnable[2];
    c.out2In2Enable = s.outInEnable[3];
    c.shutdownAction = s.shutdownAction;
    c.out1OnDelay = s.outOnDelay1;
    c.out1OffDelay = s.outOffDelay1;
    c.out2OnDelay = s.outOnDelay2;
    c.out2OffDelay = s.outOffDelay2;
    return c;
}

void SelfTest::restoreSettings()
{
    // Writing back a record from an earlier run, or zeros, would replace the
    // user's configuration with values the device never held.
    if (!savedThisRun_) {
        addLog(NotRestoredText);
        return;
    }
    // The same writes, in the same order, as a save of the configuration window.
    saveSettings(testDevice(), configFrom(saved_));
    setMousePointer(MousePointer::Default);
}

// A restore that fails here has no caller left to report to: one box says
// so, and the application carries on.
void SelfTest::restoreReporting()
{
    try {
        restoreSettings();
    } catch (const NrError &error) {
        appState().deviceError = false;
        setMousePointer(MousePointer::Default);
        addLog(QStringLiteral("Settings not restored: ") + error.description());
        Desktop::current().messageBox(
            error.description() + QStringLiteral(" (") + QString::number(error.number())
                + QStringLiteral(")\r\nThe Pallix settings could not be restored."),
            appTitle(), MsgIcon::Critical, MsgButtons::OK);
    }
}
