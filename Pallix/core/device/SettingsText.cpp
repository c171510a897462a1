#include "device/SettingsText.h"

#include "app/Text.h"

#include <set>

std::string settingLine(const SettingField &field, int32_t value)
{
    return std::string(field.name) + " = " + settingText(field, value);
}

std::string settingsText(const DeviceConfig &config)
{
    std::string text;
    for (const SettingField &field : settingFields())
        text += settingLine(field, config.*field.value) + "\n";
    return text;
}

namespace {

// The setting of one line, or why it has none.
std::optional<SettingValue> parseLine(const std::string &line, std::string *reason)
{
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        *reason = "not \"name = value\"";
        return std::nullopt;
    }
    const std::string name = trimmed(line.substr(0, equals));
    const SettingField *field = findSetting(name);
    if (!field) {
        *reason = "there is no setting \"" + name + "\"";
        return std::nullopt;
    }
    const std::optional<int32_t> value =
        parseSetting(*field, trimmed(line.substr(equals + 1)), reason);
    if (!value) return std::nullopt;
    return SettingValue{field, *value};
}

}   // namespace

ParsedSettings parseSettingsText(const std::string &text)
{
    ParsedSettings parsed;
    std::set<const SettingField *> given;
    const std::vector<std::string> lines = split(text, '\n');
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = trimmed(lines[i]);
        if (line.empty() || line.front() == '#') continue;
        const int number = int(i) + 1;
        std::string reason;
        const std::optional<SettingValue> setting = parseLine(line, &reason);
        if (setting && !given.insert(setting->field).second)
            reason = std::string(setting->field->name) + " is given twice";
        if (!reason.empty())
            parsed.errors.push_back({number, line, reason});
        else
            parsed.settings.push_back(*setting);
    }
    return parsed;
}

std::string describeLineError(const SettingsLineError &error)
{
    return "line " + std::to_string(error.line) + ": \"" + error.text + "\": " + error.reason;
}

std::optional<DeviceConfig> completeConfig(const std::vector<SettingValue> &settings,
                                           std::string *missing)
{
    DeviceConfig config;
    std::vector<std::string> absent;
    for (const SettingField &field : settingFields()) {
        bool found = false;
        for (const SettingValue &setting : settings)
            if (setting.field == &field) {
                config.*field.value = setting.value;
                found = true;
            }
        if (!found) absent.push_back(field.name);
    }
    if (absent.empty()) return config;
    if (missing) *missing = join(absent, ", ");
    return std::nullopt;
}
