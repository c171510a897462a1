#include "DeviceSettings.h"

#include "AppState.h"
#include "NrAPI.h"
#include "NrDiscovery.h"
#include "NrErrors.h"

#include <QCoreApplication>
#include <algorithm>

using namespace NrAPI;

const QStringList &DelaySteps()
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

const QStringList &ShutdownActionNames()
{
    static const QStringList names{
        QStringLiteral("Shutdown"), QStringLiteral("Restart"),  QStringLiteral("Hibernate/Sleep"),
        QStringLiteral("Stand By"), QStringLiteral("Log Out"), QStringLiteral("No Action"),
    };
    return names;
}

int ShutdownActionEntry(int32_t value)
{
    return std::clamp<int>(value, 0, int(ShutdownActionNames().size()) - 1);
}

bool EnableTicked(int32_t value) { return value != 0; }
bool DriveTicked(int32_t value) { return value == 1; }
bool ManualChosen(int32_t value) { return value == 1; }
int32_t TickValue(bool ticked) { return ticked ? 1 : 0; }

StatusLamps IndicatorLamps(const DeviceStatus &s)
{
    return {
        IndicatorColour(s.Out1State, {s.Out1In1Enable, s.Out1In2Enable}),
        IndicatorColour(s.Out2State, {s.Out2In1Enable, s.Out2In2Enable}),
        IndicatorColour(s.In1State, {s.Out1In1Enable, s.Out2In1Enable, s.PowerIn1Enable}),
        IndicatorColour(s.In2State, {s.Out1In2Enable, s.Out2In2Enable, s.PowerIn2Enable}),
    };
}

void CheckDiscovery(SettingsAccess access)
{
    if (!appState().DiscoveryFailed) return;
    throw NrError(1, access == SettingsAccess::Load
                         ? QStringLiteral("Cannot Load Settings - Device Discovery Failed.")
                         : QStringLiteral("Cannot Save Settings - Device Discovery Failed."));
}

namespace {

void selectDevice(const QString &address) { CheckError(NrSetDevice(address), "Set Device"); }

// The enables live in both records: the status needs them to arm its lamps.
void copyEnables(const DeviceConfig &config, DeviceStatus &status)
{
    status.Out1In1Enable = config.Out1In1Enable;
    status.Out1In2Enable = config.Out1In2Enable;
    status.Out2In1Enable = config.Out2In1Enable;
    status.Out2In2Enable = config.Out2In2Enable;
    status.PowerIn1Enable = config.PowerIn1Enable;
    status.PowerIn2Enable = config.PowerIn2Enable;
}

}  // namespace

LoadedSettings LoadSettings(const QString &address)
{
    CheckDiscovery(SettingsAccess::Load);
    SelectDeviceLettingEventsRun(address);

    LoadedSettings loaded;
    DeviceConfig &c = loaded.config;
    DeviceStatus &s = loaded.status;
    CheckError(pallixGetGlobalStatus(loaded.globalStatus), "Get Global Status");
    appState().LastGlobalStatus = loaded.globalStatus;
    CheckError(pallixGetPowerOnDelay(c.PowerOnDelay), "Get Power On Delay");
    CheckError(pallixGetPowerOffDelay(c.PowerOffDelay), "Get Power Off Delay");
    CheckError(pallixGetOutState(s.Out1State, s.Out2State, c.Out1Manual, c.Out2Manual,
                                 c.Out1Drive, c.Out2Drive),
               "Get Out State");
    CheckError(pallixGetOutACPIEnable(c.Out1ACPIEnable, c.Out2ACPIEnable), "Get Out ACPI Enable");
    CheckError(pallixGetPowerInEnable(c.PowerIn1Enable, c.PowerIn2Enable), "Get Power In Enable");
    CheckError(pallixGetACPIPulseWidth1(c.ACPIPulseWidth1), "Get ACPI Pulse Width 1");
    CheckError(pallixGetACPIPulseWidth2(c.ACPIPulseWidth2), "Get ACPI Pulse Width 2");
    CheckError(pallixGetWDTEnable(c.WDTEnable), "Get WDT Enable");
    CheckError(pallixGetOutInEnable(c.Out1In1Enable, c.Out1In2Enable, c.Out2In1Enable,
                                    c.Out2In2Enable),
               "Get Out In Enable");
    CheckError(pallixGetShutdownAction(c.ShutdownAction), "Get Shutdown Action");
    CheckError(pallixGetInState(s.In1State, s.In2State), "Get In State");
    CheckError(pallixGetOutOnDelay1(c.Out1OnDelay), "Get Out On Delay 1");
    CheckError(pallixGetOutOffDelay1(c.Out1OffDelay), "Get Out Off Delay 1");
    CheckError(pallixGetOutOnDelay2(c.Out2OnDelay), "Get Out On Delay 2");
    CheckError(pallixGetOutOffDelay2(c.Out2OffDelay), "Get Out Off Delay 2");
    copyEnables(c, s);
    return loaded;
}

void SaveSettings(const QString &address, const DeviceConfig &c)
{
    CheckDiscovery(SettingsAccess::Save);
    selectDevice(address);
    CheckError(pallixSetPowerOnDelay(c.PowerOnDelay), "Set Power On Delay");
    CheckError(pallixSetPowerOffDelay(c.PowerOffDelay), "Set Power Off Delay");
    CheckError(pallixSetOutState(c.Out1Manual, c.Out2Manual, c.Out1Drive, c.Out2Drive),
               "Set Out State");
    CheckError(pallixSetOutACPIEnable(c.Out1ACPIEnable, c.Out2ACPIEnable), "Set Out ACPI Enable");
    CheckError(pallixSetPowerInEnable(c.PowerIn1Enable, c.PowerIn2Enable), "Set Power In Enable");
    CheckError(pallixSetACPIPulseWidth1(c.ACPIPulseWidth1), "Set ACPI Pulse Width 1");
    CheckError(pallixSetACPIPulseWidth2(c.ACPIPulseWidth2), "Set ACPI Pulse Width 2");
    CheckError(pallixSetWDTEnable(c.WDTEnable), "Set WDT Enable");
    CheckError(pallixSetOutInEnable(c.Out1In1Enable, c.Out1In2Enable, c.Out2In1Enable,
                                    c.Out2In2Enable),
               "Set Out In Enable");
    CheckError(pallixSetShutdownAction(c.ShutdownAction), "Set Shutdown Action");
    CheckError(pallixSetOutOnDelay1(c.Out1OnDelay), "Set Out On Delay 1");
    CheckError(pallixSetOutOffDelay1(c.Out1OffDelay), "Set Out Off Delay 1");
    CheckError(pallixSetOutOnDelay2(c.Out2OnDelay), "Set Out On Delay 2");
    CheckError(pallixSetOutOffDelay2(c.Out2OffDelay), "Set Out Off Delay 2");
}

void WriteOutState(const QString &address, int32_t out1Manual, int32_t out2Manual,
                   int32_t out1Drive, int32_t out2Drive)
{
    CheckDiscovery(SettingsAccess::Save);
    selectDevice(address);
    CheckError(pallixSetOutState(out1Manual, out2Manual, out1Drive, out2Drive), "Set Out State");
}

DeviceStatus LoadStatus(const QString &address)
{
    CheckDiscovery(SettingsAccess::Load);
    SelectDeviceLettingEventsRun(address);
    return ReadDeviceStatus();
}

DeviceStatus ReadDeviceStatus()
{
    DeviceStatus s;
    int32_t out1Manual = 0, out2Manual = 0, out1Drive = 0, out2Drive = 0;
    CheckError(pallixGetOutState(s.Out1State, s.Out2State, out1Manual, out2Manual, out1Drive,
                                 out2Drive),
               "Get Out State");
    CheckError(pallixGetPowerInEnable(s.PowerIn1Enable, s.PowerIn2Enable), "Get Power In Enable");
    CheckError(pallixGetOutInEnable(s.Out1In1Enable, s.Out1In2Enable, s.Out2In1Enable,
                                    s.Out2In2Enable),
               "Get Out In Enable");
    CheckError(pallixGetInState(s.In1State, s.In2State), "Get In State");
    return s;
}
