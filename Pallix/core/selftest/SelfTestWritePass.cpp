// One write-test pass: test values into every writable register but the
// watchdog, each read back and compared, mismatches logged. Each write and
// its read back are one job on the device thread; the comparison and the
// log follow on the loop.
#include "selftest/SelfTest.h"

#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/NrErrors.h"
#include "app/TimeDelay.h"
#include "device/GlobalStatus.h"
#include "device/NrAPI.h"

#include <array>
#include <vector>

// A whole-byte register swept from 0 to last.
struct SelfTest::SweepRegister {
    const char *name;
    int32_t (*set)(int32_t);
    int32_t (*get)(int32_t &);
    int32_t last;
};

// A flag register written all 0, then all 1; labels by written value and flag.
struct SelfTest::FlagRegister {
    std::string name;
    int count;
    int32_t (*setAll)(int32_t);
    int32_t (*getAll)(int32_t *);
    std::vector<std::string> labels[2];
};

namespace {

const std::string GlobalStatusLabel = "Global Status Write Error ";

int32_t setOutACPI(int32_t v) { return NrAPI::pallixSetOutACPIEnable(v, v); }
int32_t getOutACPI(int32_t *f) { return NrAPI::pallixGetOutACPIEnable(f[0], f[1]); }
int32_t setPowerIn(int32_t v) { return NrAPI::pallixSetPowerInEnable(v, v); }
int32_t getPowerIn(int32_t *f) { return NrAPI::pallixGetPowerInEnable(f[0], f[1]); }
int32_t setOutIn(int32_t v) { return NrAPI::pallixSetOutInEnable(v, v, v, v); }
int32_t getOutIn(int32_t *f) { return NrAPI::pallixGetOutInEnable(f[0], f[1], f[2], f[3]); }

std::vector<std::string> numberedLabels(const std::string &name, int count, const std::string &tail)
{
    std::vector<std::string> labels;
    for (int k = 1; k <= count; ++k)
        labels.push_back(name + " Write Error (" + std::to_string(k) + ")" + tail);
    return labels;
}

// The global status before the test writes it, and what it reads after.
struct GlobalStatusStep {
    int32_t before = 0;
    bool written = false;
    int32_t read = 0;
};

// Device thread, each: one write and its read back.
int32_t writeAndReadGlobalStatus(int32_t value)
{
    checkError(NrAPI::pallixSetGlobalStatus(value), "Set Global Status");
    int32_t read = 0;
    checkError(NrAPI::pallixGetGlobalStatus(read), "Get Global Status");
    return read;
}

// The status before the test writes it, and the first write unless it held an event.
GlobalStatusStep firstGlobalStatusStep()
{
    GlobalStatusStep step;
    checkError(NrAPI::pallixGetGlobalStatus(step.before), "Get Global Status");
    if (holdsDeviceEvent(step.before)) return step;
    step.written = true;
    step.read = writeAndReadGlobalStatus(0);
    return step;
}

struct OutStatePattern {
    int32_t write[4];
    bool outputsCompared;
    int32_t outputs;   // what both outputs must read
};

std::array<int32_t, 6> writeAndReadOutState(OutStatePattern p)
{
    checkError(NrAPI::pallixSetOutState(p.write[0], p.write[1], p.write[2], p.write[3]),
               "Set Out State");
    std::array<int32_t, 6> o{};
    checkError(NrAPI::pallixGetOutState(o[0], o[1], o[2], o[3], o[4], o[5]), "Get Out State");
    return o;
}

int32_t writeAndReadValue(int32_t (*set)(int32_t), int32_t (*get)(int32_t &), int32_t value,
                          std::string name)
{
    checkError(set(value), "Set " + name);
    int32_t read = 0;
    checkError(get(read), "Get " + name);
    return read;
}

std::array<int32_t, 4> writeAndReadFlags(int32_t (*setAll)(int32_t), int32_t (*getAll)(int32_t *),
                                         int32_t value, std::string name)
{
    checkError(setAll(value), "Set " + name);
    std::array<int32_t, 4> flags{};
    checkError(getAll(flags.data()), "Get " + name);
    return flags;
}

}   // namespace

void SelfTest::compare(const std::string &label, int32_t expected, int32_t actual)
{
    if (expected != actual)
        addLog(label + std::to_string(expected) + ' ' + std::to_string(actual));
}

// Writing the register acknowledges the events it holds: one the monitor has
// not polled yet stops the test and goes to the monitor instead.
bool SelfTest::eventPending(int32_t status)
{
    if (!holdsDeviceEvent(status)) return false;
    pendingStatus_ = status;
    stopRequested_ = true;
    addLog(status & PowerActionRequestBit
               ? "Write Test stopped: the Pallix requests the PC's power action."
               : "Write Test stopped: the Pallix lost power.");
    return true;
}

// The read before and the first write are one job, so nothing waits
// between them in which an event could be swallowed unseen.
loop::Task<bool> SelfTest::testGlobalStatus()
{
    addLog("Testing: Global Status");
    if (stopRequested_) co_return false;
    const GlobalStatusStep first = co_await onTestDevice(&firstGlobalStatusStep);
    appState().lastGlobalStatus = first.before;
    if (eventPending(first.before)) co_return false;
    appState().lastGlobalStatus = 0;
    const auto logLine = [this](int32_t written, int32_t read) {
        addLog(GlobalStatusLabel + std::to_string(written) + ' ' + std::to_string(read));
    };
    for (int bit : {2, 4, 8})
        if (first.read & bit) logLine(0, first.read);
    eventPending(first.read);
    if (stopRequested_) co_return false;

    const int32_t read = co_await onTestDevice(&writeAndReadGlobalStatus, 255);
    appState().lastGlobalStatus = 0;
    for (int bit : {4, 8})
        if (!(read & bit)) logLine(255, read);
    co_return !stopRequested_;
}

loop::Task<bool> SelfTest::pauseWithIndicators()
{
    co_await updateStatusIndicators();
    co_await delayMs(PauseMs);
    co_await updateStatusIndicators();
    co_return true;
}

loop::Task<bool> SelfTest::testOutState()
{
    static constexpr OutStatePattern patterns[] = {
        {{0, 0, 0, 0}, false, 0},
        {{1, 1, 0, 0}, true, 0},
        {{1, 1, 1, 1}, true, 1},
    };
    static const std::vector<std::string> labels = numberedLabels("Out State", 6, "");

    addLog("Testing: Out State");
    for (const OutStatePattern &p : patterns) {
        if (stopRequested_) co_return false;
        const auto o = co_await onTestDevice(&writeAndReadOutState, p);
        for (size_t k = 0; k < 4; ++k)
            compare(labels[k], p.write[k], o[k + 2]);
        if (p.outputsCompared) {
            compare(labels[4], p.outputs, o[0]);
            compare(labels[5], p.outputs, o[1]);
        }
        if (stopRequested_) co_return false;
        co_await updateStatusIndicators();
        co_await delayMs(PauseMs);
    }
    co_return true;
}

loop::Task<bool> SelfTest::sweep(const SweepRegister &reg)
{
    const std::string name = reg.name;
    addLog("Testing: " + name);
    const std::string label = name + " Write Error ";
    for (int32_t value = 0; value <= reg.last; ++value) {
        // Once Stop was asked for nothing more is written, even when the
        // request came in during a step's log line or pause: the restore may
        // already be done.
        if (stopRequested_) co_return false;
        const int32_t read =
            co_await onTestDevice(&writeAndReadValue, reg.set, reg.get, value, name);
        compare(label, value, read);
        if (stopRequested_) co_return false;
    }
    co_return true;
}

loop::Task<bool> SelfTest::testFlags(const FlagRegister &reg)
{
    addLog("Testing: " + reg.name);
    for (int32_t value : {0, 1}) {
        if (stopRequested_) co_return false;
        const auto read =
            co_await onTestDevice(&writeAndReadFlags, reg.setAll, reg.getAll, value, reg.name);
        for (int k = 0; k < reg.count; ++k)
            compare(reg.labels[value][size_t(k)], value, read[size_t(k)]);
        if (stopRequested_) co_return false;
    }
    co_return true;
}

loop::Task<> SelfTest::writeTestPass()
{
    using namespace NrAPI;
    static constexpr SweepRegister powerOnDelay{"Power On Delay", pallixSetPowerOnDelay,
                                                pallixGetPowerOnDelay, 255};
    static constexpr SweepRegister powerOffDelay{"Power Off Delay", pallixSetPowerOffDelay,
                                                 pallixGetPowerOffDelay, 255};
    static constexpr SweepRegister pulseWidth1{"ACPI Pulse Width 1", pallixSetACPIPulseWidth1,
                                               pallixGetACPIPulseWidth1, 255};
    static constexpr SweepRegister pulseWidth2{"ACPI Pulse Width 2", pallixSetACPIPulseWidth2,
                                               pallixGetACPIPulseWidth2, 255};
    static constexpr SweepRegister shutdownAction{"Shutdown Action", pallixSetShutdownAction,
                                                  pallixGetShutdownAction, 5};
    static constexpr SweepRegister outOnDelay1{"Out On Delay 1", pallixSetOutOnDelay1,
                                               pallixGetOutOnDelay1, 255};
    static constexpr SweepRegister outOffDelay1{"Out Off Delay 1", pallixSetOutOffDelay1,
                                                pallixGetOutOffDelay1, 255};
    static constexpr SweepRegister outOnDelay2{"Out On Delay 2", pallixSetOutOnDelay2,
                                               pallixGetOutOnDelay2, 255};
    static constexpr SweepRegister outOffDelay2{"Out Off Delay 2", pallixSetOutOffDelay2,
                                                pallixGetOutOffDelay2, 255};

    static const std::string acpiName = "Out ACPI Enable";
    static const FlagRegister outACPIEnable{
        acpiName,
        2,
        setOutACPI,
        getOutACPI,
        {numberedLabels(acpiName, 2, ""), numberedLabels(acpiName, 2, "")}};
    // The first flag's label after writing zeros has no number.
    static const std::string powerInName = "Power In Enable";
    static const FlagRegister powerInEnable{
        powerInName,
        2,
        setPowerIn,
        getPowerIn,
        {{powerInName + " Write Error ", numberedLabels(powerInName, 2, "").at(1)},
         numberedLabels(powerInName, 2, "")}};
    static const std::string outInName = "Out In Enable";
    static const FlagRegister outInEnable{
        outInName,
        4,
        setOutIn,
        getOutIn,
        {numberedLabels(outInName, 4, " "), numberedLabels(outInName, 4, " ")}};

    checkDiscovery(SettingsAccess::Load);
    setMousePointer(MousePointer::ArrowHourglass);
    co_await selectDevice();

    const bool completed =
        co_await testGlobalStatus() && co_await pauseWithIndicators() && co_await testOutState()
        && co_await sweep(powerOnDelay) && co_await sweep(powerOffDelay)
        && co_await testFlags(outACPIEnable) && co_await testFlags(powerInEnable)
        && co_await sweep(pulseWidth1) && co_await sweep(pulseWidth2)
        && co_await sweep(shutdownAction) && co_await testFlags(outInEnable)
        && co_await sweep(outOnDelay1) && co_await sweep(outOffDelay1)
        && co_await sweep(outOnDelay2) && co_await sweep(outOffDelay2);
    if (completed) addLog("Write Test Complete");
}
