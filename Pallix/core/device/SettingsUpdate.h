// Several settings written at once, as an import or a restore writes them:
// only the registers whose settings differ from what the device holds are
// written, and every setting asked for is read back.
#pragma once

#include "device/SettingsText.h"

#include <string>
#include <vector>

// A setting the device read back otherwise than it was written.
struct SettingMismatch {
    const SettingField *field = nullptr;
    int32_t wanted = 0;
    int32_t read = 0;
};

struct SettingsUpdate {
    std::vector<SettingValue> written;     // the settings that differed, as written
    std::vector<SettingMismatch> notTaken;
    DeviceConfig readBack;                 // confirmed, after the writes
};

// Reads the configuration (confirmed: two reads agree), writes the register
// of each setting that differs from it (the register's other settings as
// read, or as wanted), and reads it all back, confirmed as well. Settings are compared in the user's units: a register value
// shown as the same text is the same setting. Fails with NrError at the
// first call that fails, the earlier writes done.
loop::Task<SettingsUpdate> updateSettings(std::string address, std::vector<SettingValue> wanted);

// "powerOffDelay did not take: wanted 30.5, read 10"
std::string mismatchText(const SettingMismatch &mismatch);
