#include "DeviceSettings.h"

#include "AppState.h"
#include "NrAPI.h"
#include "NrDiscovery.h"
#include "NrErrors.h"

#include <QCoreApplication>
#include <algorithm>
#include <iterator>

using namespace NrAPI;

const QStringList &delaySteps()
{
    static const QStringList steps = [] {
        QStringList texts;
        for (int halfSeconds = 0; halfSeconds < 256; ++halfSeconds) {
            QString text = QString::number(halfSeconds / 2);
            if (halfSeconds % 2) text += QStringLiteral(".5");
            texts << text;
        }
        return texts;
    }();
    return steps;
}

const QStringList &shutdownActionNames()
{
    static const QStringList names{
        QStringLiteral("Shutdown"), QStringLiteral("Restart"), QStringLiteral("Hibernate/Sleep"),
        QStringLiteral("Stand By"), QStringLiteral("Log Out"), QStringLiteral("No Action"),
    };
    return names;
}

int shutdownActionEntry(int32_t value)
{
    return std::clamp<int>(value, 0, int(shutdownActionNames().size()) - 1);
}

bool enableTicked(int32_t value) { return value != 0; }
bool driveTicked(int32_t value) { return value == 1; }
bool manualChosen(int32_t value) { return value == 1; }
int32_t tickValue(bool ticked) { return ticked ? 1 : 0; }

StatusLamps indicatorLamps(const DeviceStatus &s)
{
    return {
        indicatorColour(s.out1State, {s.out1In1Enable, s.out1In2Enable}),
        indicatorColour(s.out2State, {s.out2In1Enable, s.out2In2Enable}),
        indicatorColour(s.in1State, {s.out1In1Enable, s.out2In1Enable, s.powerIn1Enable}),
        indicatorColour(s.in2State, {s.out1In2Enable, s.out2In2Enable, s.powerIn2Enable}),
    };
}

void checkDiscovery(SettingsAccess access)
{
    if (!appState().discoveryFailed) return;
    throw NrError(1, access == SettingsAccess::Load
                         ? QStringLiteral("Cannot Load Settings - Device Discovery Failed.")
                         : QStringLiteral("Cannot Save Settings - Device Discovery Failed."));
}

namespace {

void selectDevice(const QString &address) { checkError(NrSetDevice(address), "Set Device"); }

// The enables live in both records: the status needs them to arm its lamps.
void copyEnables(const DeviceConfig &config, DeviceStatus &status)
{
    status.out1In1Enable = config.out1In1Enable;
    status.out1In2Enable = config.out1In2Enable;
    status.out2In1Enable = config.out2In1Enable;
    status.out2In2Enable = config.out2In2Enable;
    status.powerIn1Enable = config.powerIn1Enable;
    status.powerIn2Enable = config.powerIn2Enable;
}

}   // namespace

LoadedSettings loadSettings(const QString &address)
{
    checkDiscovery(SettingsAccess::Load);
    selectDeviceLettingEventsRun(address);

    LoadedSettings loaded;
    DeviceConfig &c = loaded.config;
    DeviceStatus &s = loaded.status;
    checkError(pallixGetGlobalStatus(loaded.globalStatus), "Get Global Status");
    appState().lastGlobalStatus = loaded.globalStatus;
    checkError(pallixGetPowerOnDelay(c.powerOnDelay), "Get Power On Delay");
    checkError(pallixGetPowerOffDelay(c.powerOffDelay), "Get Power Off Delay");
    checkError(pallixGetOutState(s.out1State, s.out2State, c.out1Manual, c.out2Manual, c.out1Drive,
                                 c.out2Drive),
               "Get Out State");
    checkError(pallixGetOutACPIEnable(c.out1ACPIEnable, c.out2ACPIEnable), "Get Out ACPI Enable");
    checkError(pallixGetPowerInEnable(c.powerIn1Enable, c.powerIn2Enable), "Get Power In Enable");
    checkError(pallixGetACPIPulseWidth1(c.acpiPulseWidth1), "Get ACPI Pulse Width 1");
    checkError(pallixGetACPIPulseWidth2(c.acpiPulseWidth2), "Get ACPI Pulse Width 2");
    checkError(pallixGetWDTEnable(c.wdtEnable), "Get WDT Enable");
    checkError(
        pallixGetOutInEnable(c.out1In1Enable, c.out1In2Enable, c.out2In1Enable, c.out2In2Enable),
        "Get Out In Enable");
    checkError(pallixGetShutdownAction(c.shutdownAction), "Get Shutdown Action");
    checkError(pallixGetInState(s.in1State, s.in2State), "Get In State");
    checkError(pallixGetOutOnDelay1(c.out1OnDelay), "Get Out On Delay 1");
    checkError(pallixGetOutOffDelay1(c.out1OffDelay), "Get Out Off Delay 1");
    checkError(pallixGetOutOnDelay2(c.out2OnDelay), "Get Out On Delay 2");
    checkError(pallixGetOutOffDelay2(c.out2OffDelay), "Get Out Off Delay 2");
    copyEnables(c, s);
    return loaded;
}

namespace {

using ConfigWrite = void (*)(const DeviceConfig &);

// One write per register, indexed by ConfigRegister: the order of a save.
const ConfigWrite configWrites[] = {
    [](const DeviceConfig &c) {
        checkError(pallixSetPowerOnDelay(c.powerOnDelay), "Set Power On Delay");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetPowerOffDelay(c.powerOffDelay), "Set Power Off Delay");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutState(c.out1Manual, c.out2Manual, c.out1Drive, c.out2Drive),
                   "Set Out State");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutACPIEnable(c.out1ACPIEnable, c.out2ACPIEnable),
                   "Set Out ACPI Enable");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetPowerInEnable(c.powerIn1Enable, c.powerIn2Enable),
                   "Set Power In Enable");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetACPIPulseWidth1(c.acpiPulseWidth1), "Set ACPI Pulse Width 1");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetACPIPulseWidth2(c.acpiPulseWidth2), "Set ACPI Pulse Width 2");
    },
    [](const DeviceConfig &c) { checkError(pallixSetWDTEnable(c.wdtEnable), "Set WDT Enable"); },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutInEnable(c.out1In1Enable, c.out1In2Enable, c.out2In1Enable,
                                        c.out2In2Enable),
                   "Set Out In Enable");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetShutdownAction(c.shutdownAction), "Set Shutdown Action");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOnDelay1(c.out1OnDelay), "Set Out On Delay 1");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOffDelay1(c.out1OffDelay), "Set Out Off Delay 1");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOnDelay2(c.out2OnDelay), "Set Out On Delay 2");
    },
    [](const DeviceConfig &c) {
        checkError(pallixSetOutOffDelay2(c.out2OffDelay), "Set Out Off Delay 2");
    },
};
static_assert(std::size(configWrites) == size_t(ConfigRegister::Count));

}   // namespace

void saveSettings(const QString &address, const DeviceConfig &c)
{
    checkDiscovery(SettingsAccess::Save);
    selectDevice(address);
    for (const ConfigWrite write : configWrites)
        write(c);
}

void writeConfigRegister(const QString &address, ConfigRegister reg, const DeviceConfig &config)
{
    checkDiscovery(SettingsAccess::Save);
    selectDevice(address);
    configWrites[size_t(reg)](config);
}

void writeOutState(const QString &address, int32_t out1Manual, int32_t out2Manual,
                   int32_t out1Drive, int32_t out2Drive)
{
    checkDiscovery(SettingsAccess::Save);
    selectDevice(address);
    checkError(pallixSetOutState(out1Manual, out2Manual, out1Drive, out2Drive), "Set Out State");
}

DeviceStatus loadStatus(const QString &address)
{
    checkDiscovery(SettingsAccess::Load);
    selectDeviceLettingEventsRun(address);
    return readDeviceStatus();
}

DeviceStatus readDeviceStatus()
{
    DeviceStatus s;
    int32_t out1Manual = 0, out2Manual = 0, out1Drive = 0, out2Drive = 0;
    checkError(
        pallixGetOutState(s.out1State, s.out2State, out1Manual, out2Manual, out1Drive, out2Drive),
        "Get Out State");
    checkError(pallixGetPowerInEnable(s.powerIn1Enable, s.powerIn2Enable), "Get Power In Enable");
    checkError(
        pallixGetOutInEnable(s.out1In1Enable, s.out1In2Enable, s.out2In1Enable, s.out2In2Enable),
        "Get Out In Enable");
    checkError(pallixGetInState(s.in1State, s.in2State), "Get In State");
    return s;
}
