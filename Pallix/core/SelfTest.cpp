#include "SelfTest.h"

#include "AppState.h"
#include "DeviceWatch.h"
#include "NrAPI.h"
#include "MousePointer.h"
#include "NrDiscovery.h"
#include "NrErrors.h"
#include "Desktop.h"

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

}  // namespace

int LoopCountFromText(const QString &text)
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
        SetMousePointer(MousePointer::Default);
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

}  // namespace

SelfTest::SelfTest(SelfTestView &view) : view_(view) { selfTests().append(this); }

SelfTest::~SelfTest() { selfTests().removeAll(this); }

void StopSelfTestsAndRestore()
{
    for (SelfTest *test : selfTests()) test->StopAndRestore();
}

void SelfTest::Load()
{
    try {
        UpdateStatusIndicators();
        view_.fillLoopCounts(MaxLoops);
    } catch (const NrError &error) {
        ShowError(error);
    }
    SetMousePointer(MousePointer::Default);
}

void SelfTest::Stop() { stopRequested_ = true; }

void SelfTest::Clear() { view_.clearLog(); }

void SelfTest::AddLog(const QString &text)
{
    if (!view_.detailsChecked() && text.startsWith(QStringLiteral("Testing:"))) return;
    view_.appendLogLine(text);
    processEvents();
}

QString SelfTest::testDevice() const
{
    return device_.isEmpty() ? appState().DeviceList.value(0) : device_;
}

void SelfTest::selectDevice() { SelectDeviceLettingEventsRun(testDevice()); }

// Events ran since the last call, and with them handlers that select other
// devices: the test's own is selected again, and a test whose device is no
// longer the watched one stops rather than write into another.
void SelfTest::aimAtTestDevice()
{
    if (!device_.isEmpty() && appState().DeviceList.value(0) != device_)
        throw NrError(1, WatchedDeviceChangedText);
    CheckError(NrAPI::NrSetDevice(testDevice()), QStringLiteral("Set Device"));
}

void SelfTest::UpdateStatusIndicators()
{
    AppState &app = appState();
    CheckDiscovery(SettingsAccess::Load);
    SetMousePointer(MousePointer::ArrowHourglass);
    selectDevice();

    int32_t global = 0;
    CheckError(NrAPI::pallixGetGlobalStatus(global), QStringLiteral("Get Global Status"));
    app.LastGlobalStatus = global;
    view_.showStatusCaption(QStringLiteral("Status ") + QString::number(global));

    const DeviceStatus status = ReadDeviceStatus();
    view_.showLamps(IndicatorLamps(status));
}

void SelfTest::readRegister(const char *name, const std::function<int32_t()> &read)
{
    const QString operation = QStringLiteral("Get ") + QString::fromLatin1(name);
    AddLog(QStringLiteral("Testing: ") + operation);
    aimAtTestDevice();
    CheckError(read(), operation);
}

void SelfTest::ReadAllRegisters()
{
    using namespace NrAPI;
    CheckDiscovery(SettingsAccess::Load);
    SetMousePointer(MousePointer::ArrowHourglass);
    selectDevice();

    // Read into a copy: the record is replaced only by a complete pass.
    SavedSettings s = saved_;
    int32_t global = 0;
    readRegister("Global Status", [&] { return pallixGetGlobalStatus(global); });
    appState().LastGlobalStatus = global;
    readRegister("Power On Delay", [&] { return pallixGetPowerOnDelay(s.powerOnDelay); });
    readRegister("Power Off Delay", [&] { return pallixGetPowerOffDelay(s.powerOffDelay); });
    readRegister("Out State", [&] {
        int32_t *o = s.outState;
        return pallixGetOutState(o[0], o[1], o[2], o[3], o[4], o[5]);
    });
    readRegister("Out ACPI Enable", [&] {
        return pallixGetOutACPIEnable(s.outACPIEnable[0], s.outACPIEnable[1]);
    });
    readRegister("Power In Enable", [&] {
        return pallixGetPowerInEnable(s.powerInEnable[0], s.powerInEnable[1]);
    });
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

void SelfTest::ReadTest()
{
    if (running_) return;
    RunScope scope(*this);
    try {
        runReadTest();
    } catch (const NrError &error) {
        appState().TestBusy = false;
        ShowError(error);
    }
}

void SelfTest::runReadTest()
{
    stopRequested_ = false;
    view_.showProgress(QString());
    if (appState().DeviceCount < 1) throw NrError(1, NoDeviceText);
    const int loops = LoopCountFromText(view_.loopCountText());
    if (loops < 1) return;

    device_ = appState().DeviceList.value(0);
    appState().TestBusy = true;
    for (int pass = 0; pass < loops && !stopRequested_;) {
        UpdateStatusIndicators();
        ReadAllRegisters();
        AddLog(QStringLiteral("Read Test Complete"));
        ++pass;
        view_.showProgress(QStringLiteral("Read Loops: ") + QString::number(pass));
        processEvents();
    }
    appState().TestBusy = false;
}

void SelfTest::WriteTest()
{
    if (running_) return;
    RunScope scope(*this);
    stopRequested_ = false;
    view_.showProgress(QString());
    const int answer = Desktop::current().messageBox(WriteWarningText, AppTitle(),
                                                      MsgIcon::Critical, MsgButtons::OKCancel);
    if (answer != MsgOK || stopRequested_) return;

    writeTestRunning_ = true;
    savedThisRun_ = false;
    restored_ = false;
    pendingStatus_.reset();
    try {
        runWriteTest();
    } catch (const NrError &error) {
        appState().TestBusy = false;
        ShowError(error);
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
    if (appState().DeviceCount < 1) throw NrError(1, NoDeviceText);
    const int loops = LoopCountFromText(view_.loopCountText());
    if (loops < 1) return;

    device_ = appState().DeviceList.value(0);
    appState().TestBusy = true;
    ReadAllRegisters();
    savedThisRun_ = true;
    for (int pass = 0; pass < loops && !stopRequested_;) {
        WriteTestPass();
        ++pass;
        view_.showProgress(QStringLiteral("Write Test: ") + QString::number(pass));
        processEvents();
    }
    appState().TestBusy = false;
    if (!restored_) RestoreSettings();
}

void SelfTest::StopAndRestore()
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
    c.PowerOnDelay = s.powerOnDelay;
    c.PowerOffDelay = s.powerOffDelay;
    c.Out1Manual = s.outState[2];
    c.Out2Manual = s.outState[3];
    c.Out1Drive = s.outState[4];
    c.Out2Drive = s.outState[5];
    c.Out1ACPIEnable = s.outACPIEnable[0];
    c.Out2ACPIEnable = s.outACPIEnable[1];
    c.PowerIn1Enable = s.powerInEnable[0];
    c.PowerIn2Enable = s.powerInEnable[1];
    c.ACPIPulseWidth1 = s.acpiPulseWidth1;
    c.ACPIPulseWidth2 = s.acpiPulseWidth2;
    c.WDTEnable = s.wdtEnable;
    c.Out1In1Enable = s.outInEnable[0];
    c.Out1In2Enable = s.outInEnable[1];
    c.Out2In1Enable = s.outInEnable[2];
    c.Out2In2Enable = s.outInEnable[3];
    c.ShutdownAction = s.shutdownAction;
    c.Out1OnDelay = s.outOnDelay1;
    c.Out1OffDelay = s.outOffDelay1;
    c.Out2OnDelay = s.outOnDelay2;
    c.Out2OffDelay = s.outOffDelay2;
    return c;
}

void SelfTest::RestoreSettings()
{
    // Writing back a record from an earlier run, or zeros, would replace the
    // user's configuration with values the device never held.
    if (!savedThisRun_) {
        AddLog(NotRestoredText);
        return;
    }
    // The same writes, in the same order, as a save of the configuration window.
    SaveSettings(testDevice(), configFrom(saved_));
    SetMousePointer(MousePointer::Default);
}

// A restore that fails here has no caller left to report to: one box says
// so, and the application carries on.
void SelfTest::restoreReporting()
{
    try {
        RestoreSettings();
    } catch (const NrError &error) {
        appState().DeviceError = false;
        SetMousePointer(MousePointer::Default);
        AddLog(QStringLiteral("Settings not restored: ") + error.description());
        Desktop::current().messageBox(
            error.description() + QStringLiteral(" (") + QString::number(error.number()) +
                QStringLiteral(")\r\nThe Pallix settings could not be restored."),
            AppTitle(), MsgIcon::Critical, MsgButtons::OK);
    }
}
