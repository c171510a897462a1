#include "selftest/SelfTest.h"

#include "app/AppInstance.h"
#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/Notice.h"
#include "app/NrErrors.h"
#include "device/NrAPI.h"
#include "loop/Waits.h"

#include <algorithm>
#include <iterator>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const std::string NoDeviceText = "No Device Available";
const std::string WatchedDeviceChangedText =
    "The watched Pallix changed during the test; the test stopped.";
const std::string NotRestoredText =
    "Settings not restored: they were not read completely before the test.";
const std::string WriteWarningText =
    "Warning: Exiting the program during this test could result in the loss of your current "
    "Pallix settings. Please allow the test to complete, or use the stop button. Continue?";

std::vector<SelfTest *> &selfTests()
{
    static std::vector<SelfTest *> tests;
    return tests;
}

}   // namespace

int loopCountFromText(const std::string &text)
{
    // A leading number as a decimal, with an optional sign and exponent.
    const char *start = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*start)))
        ++start;
    const char *first = start + ((*start == '+' || *start == '-') ? 1 : 0);
    const bool digitFirst = std::isdigit(static_cast<unsigned char>(first[0]))
                            || (first[0] == '.' && std::isdigit(static_cast<unsigned char>(first[1])));
    if (!digitFirst) return 0;
    const double value = std::nearbyint(std::strtod(start, nullptr));   // halves to even
    if (value >= double(INT_MAX)) return INT_MAX;
    if (value <= double(INT_MIN)) return INT_MIN;
    return int(value);
}

// Marks a test as running for as long as its task runs, so that a second
// one asked for meanwhile does nothing.
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
        test_.ended_.set();
        if (test_.destroyed_) return;
        test_.view_.showTestRunning(false);
        setMousePointer(MousePointer::Default);
    }
    RunScope(const RunScope &) = delete;
    RunScope &operator=(const RunScope &) = delete;

private:
    SelfTest &test_;
};

SelfTest::SelfTest(SelfTestView &view, DeviceEventHandler onDeviceEvent)
    : view_(view), onDeviceEvent_(std::move(onDeviceEvent))
{
    selfTests().push_back(this);
}

SelfTest::~SelfTest()
{
    destroyed_ = true;
    std::erase(selfTests(), this);
}

loop::Task<> stopSelfTestsAndRestore()
{
    for (SelfTest *test : std::vector<SelfTest *>(selfTests()))
        co_await test->stopAndRestore();
}

loop::Task<> endAfterSelfTests(int exitCode)
{
    co_await stopSelfTestsAndRestore();
    endApplication(exitCode);
}

void SelfTest::load()
{
    tasks_.spawn([](SelfTest &test) -> loop::Task<> {
        std::optional<NrError> failure;
        try {
            co_await test.updateStatusIndicators();
            test.view_.fillLoopCounts(MaxLoops);
        } catch (const NrError &error) {
            failure = error;
        }
        if (failure) showError(*failure);
        setMousePointer(MousePointer::Default);
    }(*this));
}

void SelfTest::stop() { stopRequested_ = true; }

void SelfTest::clear() { view_.clearLog(); }

void SelfTest::addLog(const std::string &text)
{
    if (!view_.detailsChecked() && text.starts_with("Testing:")) return;
    view_.appendLogLine(text);
}

std::string SelfTest::testDevice() const
{
    return device_.empty() ? appState().firstDevice() : device_;
}

// The device is selected and events run once, as before every refresh and pass.
loop::Task<> SelfTest::selectDevice()
{
    const std::string address = testDevice();
    co_await device().call(&registers::selectDevice, address);
    co_await loop::letEventsRun();
}

void SelfTest::aimAtTestDevice() const
{
    if (!device_.empty() && appState().firstDevice() != device_)
        throw NrError(1, WatchedDeviceChangedText);
}

loop::Task<> SelfTest::updateStatusIndicators()
{
    checkDiscovery(SettingsAccess::Load);
    setMousePointer(MousePointer::ArrowHourglass);
    co_await selectDevice();

    const int32_t global = co_await onTestDevice(&registers::readGlobalStatus);
    appState().lastGlobalStatus = global;
    view_.showStatusCaption("Status " + std::to_string(global));

    const DeviceStatus status = co_await onTestDevice(&registers::readStatus);
    view_.showLamps(indicatorLamps(status));
}

namespace {

// One read of the register pass: what the library call fills.
struct RegisterRead {
    const char *name;   // the operation is "Get " + name
    int32_t (*call)(SavedSettings &s, int32_t &global);
};

using namespace NrAPI;

const RegisterRead registerReads[] = {
    {"Global Status", [](SavedSettings &, int32_t &g) { return pallixGetGlobalStatus(g); }},
    {"Power On Delay", [](SavedSettings &s, int32_t &) { return pallixGetPowerOnDelay(s.powerOnDelay); }},
    {"Power Off Delay",
     [](SavedSettings &s, int32_t &) { return pallixGetPowerOffDelay(s.powerOffDelay); }},
    {"Out State",
     [](SavedSettings &s, int32_t &) {
         int32_t *o = s.outState;
         return pallixGetOutState(o[0], o[1], o[2], o[3], o[4], o[5]);
     }},
    {"Out ACPI Enable",
     [](SavedSettings &s, int32_t &) {
         return pallixGetOutACPIEnable(s.outACPIEnable[0], s.outACPIEnable[1]);
     }},
    {"Power In Enable",
     [](SavedSettings &s, int32_t &) {
         return pallixGetPowerInEnable(s.powerInEnable[0], s.powerInEnable[1]);
     }},
    {"ACPI Pulse Width 1",
     [](SavedSettings &s, int32_t &) { return pallixGetACPIPulseWidth1(s.acpiPulseWidth1); }},
    {"ACPI Pulse Width 2",
     [](SavedSettings &s, int32_t &) { return pallixGetACPIPulseWidth2(s.acpiPulseWidth2); }},
    {"WDT Enable", [](SavedSettings &s, int32_t &) { return pallixGetWDTEnable(s.wdtEnable); }},
    {"Out In Enable",
     [](SavedSettings &s, int32_t &) {
         int32_t *e = s.outInEnable;
         return pallixGetOutInEnable(e[0], e[1], e[2], e[3]);
     }},
    {"Shutdown Action",
     [](SavedSettings &s, int32_t &) { return pallixGetShutdownAction(s.shutdownAction); }},
    {"In State",
     [](SavedSettings &s, int32_t &) { return pallixGetInState(s.inState[0], s.inState[1]); }},
    {"Out On Delay 1", [](SavedSettings &s, int32_t &) { return pallixGetOutOnDelay1(s.outOnDelay1); }},
    {"Out Off Delay 1",
     [](SavedSettings &s, int32_t &) { return pallixGetOutOffDelay1(s.outOffDelay1); }},
    {"Out On Delay 2", [](SavedSettings &s, int32_t &) { return pallixGetOutOnDelay2(s.outOnDelay2); }},
    {"Out Off Delay 2",
     [](SavedSettings &s, int32_t &) { return pallixGetOutOffDelay2(s.outOffDelay2); }},
};

struct PassRead {
    SavedSettings settings;
    int32_t global = 0;
};

// Device thread: one row of the pass.
PassRead readRow(PassRead pass, size_t row)
{
    const RegisterRead &read = registerReads[row];
    checkError(read.call(pass.settings, pass.global), std::string("Get ") + read.name);
    return pass;
}

}   // namespace

loop::Task<> SelfTest::readAllRegisters()
{
    checkDiscovery(SettingsAccess::Load);
    setMousePointer(MousePointer::ArrowHourglass);
    co_await selectDevice();

    // Read into a copy: the record is replaced only by a complete pass.
    PassRead pass{saved_, 0};
    for (size_t row = 0; row < std::size(registerReads); ++row) {
        addLog(std::string("Testing: Get ") + registerReads[row].name);
        pass = co_await onTestDevice(&readRow, pass, row);
        if (row == 0) appState().lastGlobalStatus = pass.global;
    }
    saved_ = pass.settings;
}

void SelfTest::readTest() { tasks_.spawn(read()); }

loop::Task<> SelfTest::read()
{
    if (running_) co_return;
    RunScope scope(*this);
    std::optional<NrError> failure;
    try {
        co_await runReadTest();
    } catch (const NrError &error) {
        failure = error;
    }
    if (failure) {
        appState().testBusy = false;
        showError(*failure);
    }
}

loop::Task<> SelfTest::runReadTest()
{
    stopRequested_ = false;
    view_.showProgress({});
    if (appState().deviceCount < 1) throw NrError(1, NoDeviceText);
    const int loops = loopCountFromText(view_.loopCountText());
    if (loops < 1) co_return;

    device_ = appState().firstDevice();
    appState().testBusy = true;
    for (int pass = 0; pass < loops && !stopRequested_;) {
        co_await updateStatusIndicators();
        co_await readAllRegisters();
        addLog("Read Test Complete");
        ++pass;
        view_.showProgress("Read Loops: " + std::to_string(pass));
        co_await loop::letEventsRun();
    }
    appState().testBusy = false;
}

void SelfTest::writeTest() { tasks_.spawn(write()); }

loop::Task<> SelfTest::write(WriteWarning warning)
{
    if (running_) co_return;
    RunScope scope(*this);
    stopRequested_ = false;
    view_.showProgress({});
    if (warning == WriteWarning::Ask) {
        const int answer = co_await askBox(WriteWarningText, appTitle(), MsgIcon::Critical,
                                           MsgButtons::OKCancel);
        if (answer != MsgOK || stopRequested_) co_return;
    }

    writeTestRunning_ = true;
    savedThisRun_ = false;
    restored_ = false;
    pendingStatus_.reset();
    std::optional<NrError> failure;
    try {
        co_await runWriteTest();
    } catch (const NrError &error) {
        failure = error;
    }
    if (failure) {
        appState().testBusy = false;
        showError(*failure);
        if (!restored_) co_await restoreReporting();
    }
    handOverPendingEvent();
}

// After the restore, so the monitor reads the user's delay and action, not
// the test's values.
void SelfTest::handOverPendingEvent()
{
    if (!pendingStatus_) return;
    const int32_t status = *std::exchange(pendingStatus_, std::nullopt);
    if (onDeviceEvent_) onDeviceEvent_(status);
}

loop::Task<> SelfTest::runWriteTest()
{
    if (appState().deviceCount < 1) throw NrError(1, NoDeviceText);
    const int loops = loopCountFromText(view_.loopCountText());
    if (loops < 1) co_return;

    device_ = appState().firstDevice();
    appState().testBusy = true;
    co_await readAllRegisters();
    savedThisRun_ = true;
    for (int pass = 0; pass < loops && !stopRequested_;) {
        co_await writeTestPass();
        ++pass;
        view_.showProgress("Write Test: " + std::to_string(pass));
        co_await loop::letEventsRun();
    }
    appState().testBusy = false;
    co_await restoreSettings();
}

// The running test sees Stop at its next step and writes the settings back
// itself; a test still at its warning has written nothing.
loop::Task<> SelfTest::stopAndRestore()
{
    if (!running_) co_return;
    stopRequested_ = true;
    if (!writeTestRunning_ || restored_) co_return;
    co_await ended_.wait();
}

namespace {

// The saved registers as the configuration record the save writes.
DeviceConfig configFrom(const SavedSettings &s)
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

}   // namespace

loop::Task<> SelfTest::restoreSettings()
{
    // Writing back a record from an earlier run, or zeros, would replace the
    // user's configuration with values the device never held.
    if (!savedThisRun_) {
        addLog(NotRestoredText);
        co_return;
    }
    // The same writes, in the same order, as a save of the configuration window.
    co_await saveSettings(testDevice(), configFrom(saved_));
    restored_ = true;
    setMousePointer(MousePointer::Default);
}

// A restore that fails here has no caller left to report to: one box says
// so, and the application carries on.
loop::Task<> SelfTest::restoreReporting()
{
    std::optional<NrError> failure;
    try {
        co_await restoreSettings();
    } catch (const NrError &error) {
        failure = error;
    }
    if (!failure) co_return;
    setMousePointer(MousePointer::Default);
    addLog("Settings not restored: " + failure->description());
    showNotice(failure->text() + "\r\nThe Pallix settings could not be restored.", appTitle(),
               MsgIcon::Critical);
}
