// The settings model behind the configuration window: the records it edits
// and shows, the value lists, the encodings between register values and
// controls, and the device operations that read and write them. No window
// is needed to use any of it.
#pragma once

#include "device/IndicatorColour.h"
#include "loop/Task.h"

#include <cstdint>
#include <string>
#include <vector>

// One field per setting the window edits; register values as the library
// hands them over.
struct DeviceConfig {
    int32_t powerOnDelay = 0;     // half-seconds
    int32_t powerOffDelay = 0;    // half-seconds
    int32_t shutdownAction = 0;   // index into shutdownActionNames()
    int32_t powerIn1Enable = 0;
    int32_t powerIn2Enable = 0;
    int32_t out1OnDelay = 0;
    int32_t out1OffDelay = 0;
    int32_t out2OnDelay = 0;
    int32_t out2OffDelay = 0;
    int32_t out1Manual = 0;   // 1 Manual, 0 Automatic
    int32_t out2Manual = 0;
    int32_t out1Drive = 0;   // manual drive: 1 on, 0 off
    int32_t out2Drive = 0;
    int32_t out1ACPIEnable = 0;
    int32_t out2ACPIEnable = 0;
    int32_t acpiPulseWidth1 = 0;   // half-seconds
    int32_t acpiPulseWidth2 = 0;
    int32_t out1In1Enable = 0;   // output 1 follows input 1
    int32_t out1In2Enable = 0;
    int32_t out2In1Enable = 0;
    int32_t out2In2Enable = 0;
    int32_t wdtEnable = 0;

    bool operator==(const DeviceConfig &) const = default;
};

// What the four status lamps need, read together.
struct DeviceStatus {
    int32_t out1State = 0;   // 1: the output is on
    int32_t out2State = 0;
    int32_t in1State = 0;   // 1: the input is active
    int32_t in2State = 0;
    int32_t out1In1Enable = 0;
    int32_t out1In2Enable = 0;
    int32_t out2In1Enable = 0;
    int32_t out2In2Enable = 0;
    int32_t powerIn1Enable = 0;
    int32_t powerIn2Enable = 0;
};

struct LoadedSettings {
    DeviceConfig config;
    DeviceStatus status;
    int32_t globalStatus = 0;
};

// The four lamps of the "Status" frame.
struct StatusLamps {
    LampState out1 = LampState::Unknown;
    LampState out2 = LampState::Unknown;
    LampState in1 = LampState::Unknown;
    LampState in2 = LampState::Unknown;
};

// 256 texts, entry n being n/2 seconds: "0", "0.5", ... "127.5". Delay and
// pulse-width lists; the entry's position is the register value.
const std::vector<std::string> &delaySteps();
// "Shutdown" ... "No Action"; the entry's position is the action code.
const std::vector<std::string> &shutdownActionNames();

// Register value to control.
int shutdownActionEntry(int32_t value);   // 6 and above show "No Action"
bool enableTicked(int32_t value);         // any value but 0
bool driveTicked(int32_t value);          // exactly 1
bool manualChosen(int32_t value);         // exactly 1
// Control to register value.
int32_t tickValue(bool ticked);

StatusLamps indicatorLamps(const DeviceStatus &status);

// Which way an operation goes, for the text of its discovery failure.
enum class SettingsAccess { Load, Save };
// Fails with error 1 while the last discovery found no device.
void checkDiscovery(SettingsAccess access);

// The registers a save writes, in its order.
enum class ConfigRegister {
    PowerOnDelay,
    PowerOffDelay,
    OutState,
    OutACPIEnable,
    PowerInEnable,
    ACPIPulseWidth1,
    ACPIPulseWidth2,
    WDTEnable,
    OutInEnable,
    ShutdownAction,
    OutOnDelay1,
    OutOffDelay1,
    OutOnDelay2,
    OutOffDelay2,
    Count
};

// The operations, each on the device thread, awaited on the loop. Each
// fails with NrError: error 1 while discovery has failed, a device error
// at the first library call that fails.

// The sixteen reads; lastGlobalStatus takes the global status once it has
// been read. Nothing is handed over unless every read succeeds.
loop::Task<LoadedSettings> loadSettings(std::string address);
// The configuration registers read until two reads in a row agree: what a
// change is made from, and what tells whether it took.
loop::Task<DeviceConfig> loadConfirmedConfig(std::string address);
// The fourteen writes; a failure leaves the earlier ones written.
loop::Task<> saveSettings(std::string address, DeviceConfig config);
// The one write of a save that stores this register, from config's fields.
loop::Task<> writeConfigRegister(std::string address, ConfigRegister reg, DeviceConfig config);
// Both outputs' state control and manual drive in one write.
loop::Task<> writeOutState(std::string address, int32_t out1Manual, int32_t out2Manual,
                           int32_t out1Drive, int32_t out2Drive);
// The four status reads of a device.
loop::Task<DeviceStatus> loadStatus(std::string address);
