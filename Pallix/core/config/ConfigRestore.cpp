#include "config/ConfigRestore.h"

#include "app/NrErrors.h"
#include "app/Text.h"
#include "config/SavedConfigs.h"
#include "device/SettingsUpdate.h"

#include <optional>

namespace {

std::vector<SettingValue> everySetting(const DeviceConfig &config)
{
    std::vector<SettingValue> settings;
    for (const SettingField &field : settingFields())
        settings.push_back({&field, config.*field.value});
    return settings;
}

std::string writtenText(const std::string &mac, const std::vector<SettingValue> &written)
{
    const std::string what = "The configuration kept for the Pallix " + mac;
    if (written.empty()) return what + " was checked: the Pallix held it already.";
    std::vector<std::string> lines;
    for (const SettingValue &setting : written)
        lines.push_back(settingLine(*setting.field, setting.value));
    return what + " was written back: " + join(lines, ", ") + ".";
}

}   // namespace

loop::Task<RestoreReport> restoreSavedConfig(std::string address)
{
    RestoreReport report;
    const std::string mac = macOfDevice(address);
    std::string problem;
    const std::optional<DeviceConfig> kept = savedConfigs().load(mac, &problem);
    if (!kept) {
        report.lines.push_back(problem + "; nothing was written.");
        co_return report;
    }
    std::optional<NrError> failure;
    try {
        const SettingsUpdate update = co_await updateSettings(address, everySetting(*kept));
        report.lines.push_back(writtenText(mac, update.written));
        for (const SettingMismatch &mismatch : update.notTaken)
            report.lines.push_back(mismatchText(mismatch));
        report.restored = update.notTaken.empty();
    } catch (const NrError &error) {
        failure = error;
    }
    if (failure)
        report.lines.push_back("The configuration could not be written back: " + failure->text());
    // Until every setting took, the kept configuration is the one to restore.
    if (report.restored) savedConfigs().written(mac, *kept);
    co_return report;
}
