// The settings model behind the configuration window: the records it edits
// and shows, the value lists, the encodings between register values and
// controls, and the device operations that read and write them. No window
// is needed to use any of it.
#pragma once

#include "IndicatorColour.h"

#include <QString>
#include <QStringList>
#include <cstdint>

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
const QStringList &delaySteps();
// "Shutdown" ... "No Action"; the entry's position is the action code.
const QStringList &shutdownActionNames();

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

// The sixteen reads; lastGlobalStatus takes the global status once it has
// been read. Nothing is handed over unless every read succeeds.
LoadedSettings loadSettings(const QString &address);
// The fourteen writes; a failure leaves the earlier ones written.
void saveSettings(const QString &address, const DeviceConfig &config);
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
// The one write of a save that stores this register, from config's fields.
void writeConfigRegister(const QString &address, ConfigRegister reg, const DeviceConfig &config);
// Both outputs' state control and manual drive in one write.
void writeOutState(const QString &address, int32_t out1Manual, int32_t out2Manual,
                   int32_t out1Drive, int32_t out2Drive);
DeviceStatus loadStatus(const QString &address);
// The four status reads of the selected device: out state, power-in enable,
// out-in enable, in state.
DeviceStatus readDeviceStatus();
