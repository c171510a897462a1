#include "device/SettingsUpdate.h"

#include <set>

namespace {

bool sameSetting(const SettingField &field, int32_t a, int32_t b)
{
    return settingText(field, a) == settingText(field, b);
}

}   // namespace

loop::Task<SettingsUpdate> updateSettings(std::string address, std::vector<SettingValue> wanted)
{
    SettingsUpdate update;
    const DeviceConfig held = co_await loadConfirmedConfig(address);
    DeviceConfig target = held;
    std::set<ConfigRegister> registers;   // in the order of a save
    for (const SettingValue &setting : wanted) {
        target.*setting.field->value = setting.value;
        if (sameSetting(*setting.field, held.*setting.field->value, setting.value)) continue;
        update.written.push_back(setting);
        registers.insert(setting.field->reg);
    }
    for (const ConfigRegister reg : registers)
        co_await writeConfigRegister(address, reg, target);
    update.readBack = co_await loadConfirmedConfig(address);
    for (const SettingValue &setting : wanted) {
        const int32_t read = update.readBack.*setting.field->value;
        if (!sameSetting(*setting.field, read, setting.value))
            update.notTaken.push_back({setting.field, setting.value, read});
    }
    co_return update;
}

std::string mismatchText(const SettingMismatch &m)
{
    return std::string(m.field->name) + " did not take: wanted " + settingText(*m.field, m.wanted)
           + ", read " + settingText(*m.field, m.read);
}
