// One write-test pass: test values into every writable register but the
// watchdog, each read back and compared, mismatches logged.
#include "SelfTest.h"

#include "AppState.h"
#include "GlobalStatus.h"
#include "MousePointer.h"
#include "NrAPI.h"
#include "NrErrors.h"
#include "TimeDelay.h"

#include <QCoreApplication>
#include <QStringList>

// A whole-byte register swept from 0 to last.
struct SelfTest::SweepRegister {
    const char *name;
    int32_t (*set)(int32_t);
    int32_t (*get)(int32_t &);
    int32_t last;
};

// A flag register written all 0, then all 1; labels by written value and flag.
struct SelfTest::FlagRegister {
    QString name;
    int count;
    int32_t (*setAll)(int32_t);
    int32_t (*getAll)(int32_t *);
    QStringList labels[2];
};

namespace {

constexpr int PauseMs = 1000;
const QString GlobalStatusLabel = QStringLiteral("Global Status Write Error ");

int32_t setOutACPI(int32_t v) { return NrAPI::pallixSetOutACPIEnable(v, v); }
int32_t getOutACPI(int32_t *f) { return NrAPI::pallixGetOutACPIEnable(f[0], f[1]); }
int32_t setPowerIn(int32_t v) { return NrAPI::pallixSetPowerInEnable(v, v); }
int32_t getPowerIn(int32_t *f) { return NrAPI::pallixGetPowerInEnable(f[0], f[1]); }
int32_t setOutIn(int32_t v) { return NrAPI::pallixSetOutInEnable(v, v, v, v); }
int32_t getOutIn(int32_t *f) { return NrAPI::pallixGetOutInEnable(f[0], f[1], f[2], f[3]); }

QStringList numberedLabels(const QString &name, int count, const QString &tail)
{
    QStringList labels;
    for (int k = 1; k <= count; ++k)
        labels << name + QStringLiteral(" Write Error (") + QString::number(k) + QLatin1Char(')')
                      + tail;
    return labels;
}

}   // namespace

void SelfTest::compare(const QString &label, int32_t expected, int32_t actual)
{
    if (expected != actual)
        addLog(label + QString::number(expected) + QLatin1Char(' ') + QString::number(actual));
}

bool SelfTest::exercise(const std::function<void()> &writeReadCompare)
{
    // Once Stop was asked for nothing more is written, even when the request
    // came in during a step's log line or pause: the restore may already be done.
    if (stopRequested_) return false;
    aimAtTestDevice();
    writeReadCompare();
    QCoreApplication::processEvents();
    return !stopRequested_;
}

// Writing the register acknowledges the events it holds: one the monitor has
// not polled yet stops the test and goes to the monitor instead.
bool SelfTest::eventPending(int32_t status)
{
    if (!holdsDeviceEvent(status)) return false;
    pendingStatus_ = status;
    stopRequested_ = true;
    addLog(status & PowerActionRequestBit
               ? QStringLiteral("Write Test stopped: the Pallix requests the PC's power action.")
               : QStringLiteral("Write Test stopped: the Pallix lost power."));
    return true;
}

bool SelfTest::testGlobalStatus()
{
    addLog(QStringLiteral("Testing: Global Status"));
    int32_t before = 0;
    aimAtTestDevice();
    checkError(NrAPI::pallixGetGlobalStatus(before), QStringLiteral("Get Global Status"));
    appState().lastGlobalStatus = before;
    if (eventPending(before)) return false;
    const auto writeAndRead = [this](int32_t value) {
        checkError(NrAPI::pallixSetGlobalStatus(value), QStringLiteral("Set Global Status"));
        int32_t read = 0;
        checkError(NrAPI::pallixGetGlobalStatus(read), QStringLiteral("Get Global Status"));
        appState().lastGlobalStatus = 0;
        return read;
    };
    const auto logLine = [this](int32_t written, int32_t read) {
        addLog(GlobalStatusLabel + QString::number(written) + QLatin1Char(' ')
               + QString::number(read));
    };
    return exercise([&] {
               const int32_t read = writeAndRead(0);
               for (int bit : {2, 4, 8})
                   if (read & bit) logLine(0, read);
               eventPending(read);
           })
           && exercise([&] {
                  const int32_t read = writeAndRead(255);
                  for (int bit : {4, 8})
                      if (!(read & bit)) logLine(255, read);
              });
}

bool SelfTest::pauseWithIndicators()
{
    updateStatusIndicators();
    delayMs(PauseMs);
    updateStatusIndicators();
    return true;
}

bool SelfTest::testOutState()
{
    struct Pattern {
        int32_t write[4];
        bool outputsCompared;
        int32_t outputs;   // what both outputs must read
    };
    static constexpr Pattern patterns[] = {
        {{0, 0, 0, 0}, false, 0},
        {{1, 1, 0, 0}, true, 0},
        {{1, 1, 1, 1}, true, 1},
    };
    static const QStringList labels = numberedLabels(QStringLiteral("Out State"), 6, QString());

    addLog(QStringLiteral("Testing: Out State"));
    for (const Pattern &p : patterns) {
        const bool going = exercise([&] {
            checkError(NrAPI::pallixSetOutState(p.write[0], p.write[1], p.write[2], p.write[3]),
                       QStringLiteral("Set Out State"));
            int32_t o[6] = {};
            checkError(NrAPI::pallixGetOutState(o[0], o[1], o[2], o[3], o[4], o[5]),
                       QStringLiteral("Get Out State"));
            for (int k = 0; k < 4; ++k)
                compare(labels[k], p.write[k], o[k + 2]);
            if (p.outputsCompared) {
                compare(labels[4], p.outputs, o[0]);
                compare(labels[5], p.outputs, o[1]);
            }
        });
        if (!going) return false;
        updateStatusIndicators();
        delayMs(PauseMs);
    }
    return true;
}

bool SelfTest::sweep(const SweepRegister &reg)
{
    const QString name = QString::fromLatin1(reg.name);
    addLog(QStringLiteral("Testing: ") + name);
    const QString setName = QStringLiteral("Set ") + name;
    const QString getName = QStringLiteral("Get ") + name;
    const QString label = name + QStringLiteral(" Write Error ");
    for (int32_t value = 0; value <= reg.last; ++value) {
        const bool going = exercise([&] {
            checkError(reg.set(value), setName);
            int32_t read = 0;
            checkError(reg.get(read), getName);
            compare(label, value, read);
        });
        if (!going) return false;
    }
    return true;
}

bool SelfTest::testFlags(const FlagRegister &reg)
{
    addLog(QStringLiteral("Testing: ") + reg.name);
    for (int32_t value : {0, 1}) {
        const bool going = exercise([&] {
            checkError(reg.setAll(value), QStringLiteral("Set ") + reg.name);
            int32_t read[4] = {};
            checkError(reg.getAll(read), QStringLiteral("Get ") + reg.name);
            for (int k = 0; k < reg.count; ++k)
                compare(reg.labels[value][k], value, read[k]);
        });
        if (!going) return false;
    }
    return true;
}

void SelfTest::writeTestPass()
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

    static const QString acpiName = QStringLiteral("Out ACPI Enable");
    static const FlagRegister outACPIEnable{
        acpiName,
        2,
        setOutACPI,
        getOutACPI,
        {numberedLabels(acpiName, 2, QString()), numberedLabels(acpiName, 2, QString())}};
    // The first flag's label after writing zeros has no number.
    static const QString powerInName = QStringLiteral("Power In Enable");
    static const FlagRegister powerInEnable{
        powerInName,
        2,
        setPowerIn,
        getPowerIn,
        {QStringList{powerInName + QStringLiteral(" Write Error "),
                     numberedLabels(powerInName, 2, QString()).at(1)},
         numberedLabels(powerInName, 2, QString())}};
    static const QString outInName = QStringLiteral("Out In Enable");
    static const FlagRegister outInEnable{outInName,
                                          4,
                                          setOutIn,
                                          getOutIn,
                                          {numberedLabels(outInName, 4, QStringLiteral(" ")),
                                           numberedLabels(outInName, 4, QStringLiteral(" "))}};

    checkDiscovery(SettingsAccess::Load);
    setMousePointer(MousePointer::ArrowHourglass);
    selectDevice();

    const bool completed = testGlobalStatus() && pauseWithIndicators() && testOutState()
                           && sweep(powerOnDelay) && sweep(powerOffDelay)
                           && testFlags(outACPIEnable) && testFlags(powerInEnable)
                           && sweep(pulseWidth1) && sweep(pulseWidth2) && sweep(shutdownAction)
                           && testFlags(outInEnable) && sweep(outOnDelay1) && sweep(outOffDelay1)
                           && sweep(outOnDelay2) && sweep(outOffDelay2);
    if (completed) addLog(QStringLiteral("Write Test Complete"));
}
