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
    int32_t PowerOnDelay = 0;     // half-seconds
    int32_t PowerOffDelay = 0;    // half-seconds
    int32_t ShutdownAction = 0;   // index into ShutdownActionNames()
    int32_t PowerIn1Enable = 0;
    int32_t PowerIn2Enable = 0;
    int32_t Out1OnDelay = 0;
    int32_t Out1OffDelay = 0;
    int32_t Out2OnDelay = 0;
    int32_t Out2OffDelay = 0;
    int32_t Out1Manual = 0;       // 1 Manual, 0 Automatic
    int32_t Out2Manual = 0;
    int32_t Out1Drive = 0;        // manual drive: 1 on, 0 off
    int32_t Out2Drive = 0;
    int32_t Out1ACPIEnable = 0;
    int32_t Out2ACPIEnable = 0;
    int32_t ACPIPulseWidth1 = 0;  // half-seconds
    int32_t ACPIPulseWidth2 = 0;
    int32_t Out1In1Enable = 0;    // output 1 follows input 1
    int32_t Out1In2Enable = 0;
    int32_t Out2In1Enable = 0;
    int32_t Out2In2Enable = 0;
    int32_t WDTEnable = 0;
};

// What the four status lamps need, read together.
struct DeviceStatus {
    int32_t Out1State = 0;   // 1: the output is on
    int32_t Out2State = 0;
    int32_t In1State = 0;    // 1: the input is active
    int32_t In2State = 0;
    int32_t Out1In1Enable = 0;
    int32_t Out1In2Enable = 0;
    int32_t Out2In1Enable = 0;
    int32_t Out2In2Enable = 0;
    int32_t PowerIn1Enable = 0;
    int32_t PowerIn2Enable = 0;
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
const QStringList &DelaySteps();
// "Shutdown" ... "No Action"; the entry's position is the action code.
const QStringList &ShutdownActionNames();

// Register value to control.
int ShutdownActionEntry(int32_t value);   // 6 and above show "No Action"
bool EnableTicked(int32_t value);         // any value but 0
bool DriveTicked(int32_t value);          // exactly 1
bool ManualChosen(int32_t value);         // exactly 1
// Control to register value.
int32_t TickValue(bool ticked);

StatusLamps IndicatorLamps(const DeviceStatus &status);

// Which way an operation goes, for the text of its discovery failure.
enum class SettingsAccess { Load, Save };
// Fails with error 1 while the last discovery found no device.
void CheckDiscovery(SettingsAccess access);

// The sixteen reads; LastGlobalStatus takes the global status once it has
// been read. Nothing is handed over unless every read succeeds.
LoadedSettings LoadSettings(const QString &address);
// The fourteen writes; a failure leaves the earlier ones written.
void SaveSettings(const QString &address, const DeviceConfig &config);
// Both outputs' state control and manual drive in one write.
void WriteOutState(const QString &address, int32_t out1Manual, int32_t out2Manual,
                   int32_t out1Drive, int32_t out2Drive);
DeviceStatus LoadStatus(const QString &address);
// The four status reads of the selected device: out state, power-in enable,
// out-in enable, in state.
DeviceStatus ReadDeviceStatus();
