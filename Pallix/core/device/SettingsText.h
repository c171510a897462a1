// Settings as lines of text, "name = value", with the names and units of
// SettingNames: what pallixctl exports and imports, and the form in which
// a device's configuration is kept on disk.
#pragma once

#include "device/SettingNames.h"

#include <optional>
#include <string>
#include <vector>

// One setting and the register value a line gives it.
struct SettingValue {
    const SettingField *field = nullptr;
    int32_t value = 0;
};

// A line that cannot be used: its number (from 1), its text and why.
struct SettingsLineError {
    int line = 0;
    std::string text;
    std::string reason;
};

struct ParsedSettings {
    std::vector<SettingValue> settings;   // in the order of the lines
    std::vector<SettingsLineError> errors;
};

// Every field of the configuration, one "name = value" line each, in the
// order of settingFields().
std::string settingsText(const DeviceConfig &config);
// "name = value" for one setting.
std::string settingLine(const SettingField &field, int32_t value);

// Every line checked: blank lines and lines starting with # are passed over;
// a name that is not a setting, a value outside its unit, a setting given
// twice or a line that is not "name = value" is an error.
ParsedSettings parseSettingsText(const std::string &text);

// `line 3: "powerOffDelay = 200": powerOffDelay takes ...`
std::string describeLineError(const SettingsLineError &error);

// The whole configuration, when every setting is given; otherwise none, and
// the names of the missing ones in *missing.
std::optional<DeviceConfig> completeConfig(const std::vector<SettingValue> &settings,
                                           std::string *missing);
