#include "device/DeviceSettings.h"

#include "app/AppState.h"
#include "app/NrErrors.h"
#include "device/DeviceThread.h"
#include "device/RegisterAccess.h"
#include "loop/Waits.h"

#include <algorithm>

const std::vector<std::string> &delaySteps()
{
    static const std::vector<std::string> steps = [] {
        std::vector<std::string> texts;
        for (int halfSeconds = 0; halfSeconds < 256; ++halfSeconds)
            texts.push_back(std::to_string(halfSeconds / 2) + (halfSeconds % 2 ? ".5" : ""));
        return texts;
    }();
    return steps;
}

const std::vector<std::string> &shutdownActionNames()
{
    static const std::vector<std::string> names{
        "Shutdown", "Restart", "Hibernate/Sleep", "Stand By", "Log Out", "No Action",
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
                         ? "Cannot Load Settings - Device Discovery Failed."
                         : "Cannot Save Settings - Device Discovery Failed.");
}

// The device is selected, events run once, then the reads: the global
// status on its own, so lastGlobalStatus holds it even when a later read fails.
loop::Task<LoadedSettings> loadSettings(std::string address)
{
    checkDiscovery(SettingsAccess::Load);
    co_await device().call(&registers::selectDevice, address);
    co_await loop::letEventsRun();
    const int32_t global = co_await onDevice(address, &registers::readGlobalStatus);
    appState().lastGlobalStatus = global;
    LoadedSettings loaded = co_await onDevice(address, &registers::readConfiguration);
    loaded.globalStatus = global;
    co_return loaded;
}

loop::Task<DeviceConfig> loadConfirmedConfig(std::string address)
{
    checkDiscovery(SettingsAccess::Load);
    co_return co_await onDevice(address, &registers::readConfirmedConfiguration);
}

loop::Task<> saveSettings(std::string address, DeviceConfig config)
{
    checkDiscovery(SettingsAccess::Save);
    co_await onDevice(address, &registers::writeConfiguration, config);
}

loop::Task<> writeConfigRegister(std::string address, ConfigRegister reg, DeviceConfig config)
{
    checkDiscovery(SettingsAccess::Save);
    co_await onDevice(address, &registers::writeRegister, reg, config);
}

loop::Task<> writeOutState(std::string address, int32_t out1Manual, int32_t out2Manual,
                           int32_t out1Drive, int32_t out2Drive)
{
    checkDiscovery(SettingsAccess::Save);
    co_await onDevice(address, &registers::writeOutState, out1Manual, out2Manual, out1Drive,
                      out2Drive);
}

loop::Task<DeviceStatus> loadStatus(std::string address)
{
    checkDiscovery(SettingsAccess::Load);
    co_await device().call(&registers::selectDevice, address);
    co_await loop::letEventsRun();
    co_return co_await onDevice(address, &registers::readStatus);
}
