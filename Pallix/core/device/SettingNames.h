// The settings model's fields by name, in the units a user thinks in:
// seconds in halves for delays and pulse widths, on/off for enables and the
// manual drive, manual/automatic for state control, the power-off action by
// the name its value list gives it. For programs that take settings as text.
#pragma once

#include "device/DeviceSettings.h"

#include <optional>
#include <string>
#include <vector>

enum class SettingUnit { HalfSeconds, Enable, Drive, StateControl, Action };

struct SettingField {
    const char *name;   // as DeviceConfig names the field
    SettingUnit unit;
    int32_t DeviceConfig::*value;
    ConfigRegister reg;   // the register that stores it, with its neighbours
};

// Every field, in the order of DeviceConfig.
const std::vector<SettingField> &settingFields();
// By name, case ignored; null for an unknown one.
const SettingField *findSetting(const std::string &name);

// The value as the user reads it: "12.5", "on", "manual", "Shutdown".
std::string settingText(const SettingField &field, int32_t value);
// What the unit takes, for messages and help: "0 to 127.5 seconds in steps of 0.5", ...
std::string settingValues(SettingUnit unit);
// The register value of a text in the field's unit; none (and why) when it
// is out of range or not of the unit.
std::optional<int32_t> parseSetting(const SettingField &field, const std::string &text,
                                    std::string *reason);

// Reads the configuration, changes one field and writes only the register
// that holds it, its other fields as just read; returns the configuration
// read back after the write.
loop::Task<DeviceConfig> writeSetting(std::string address, const SettingField &field,
                                      int32_t value);
