#include "device/SettingNames.h"

#include "app/Text.h"

#include <cctype>
#include <cmath>

namespace {

using R = ConfigRegister;
using U = SettingUnit;

SettingField field(const char *name, U unit, int32_t DeviceConfig::*value, R reg)
{
    return {name, unit, value, reg};
}

std::string onOff(bool on) { return on ? "on" : "off"; }

// Up to three digits, optionally a point and up to three more: whole or half seconds.
std::optional<int32_t> halfSeconds(const std::string &text)
{
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto digits = [](const std::string &part) {
        for (const char c : part)
            if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        return true;
    };
    if (whole.empty() || whole.size() > 3 || !digits(whole)) return std::nullopt;
    if (point != std::string::npos && (fraction.empty() || fraction.size() > 3 || !digits(fraction)))
        return std::nullopt;
    const double halves = std::stod(text) * 2;
    if (halves != std::floor(halves) || halves > 255) return std::nullopt;
    return int32_t(halves);
}

std::optional<int32_t> oneOf(const std::string &text, const std::vector<std::string> &choices)
{
    for (size_t i = 0; i < choices.size(); ++i)
        if (equalsIgnoringCase(text, choices[i])) return int32_t(i);
    return std::nullopt;
}

}   // namespace

const std::vector<SettingField> &settingFields()
{
    using C = DeviceConfig;
    static const std::vector<SettingField> fields{
        field("powerOnDelay", U::HalfSeconds, &C::powerOnDelay, R::PowerOnDelay),
        field("powerOffDelay", U::HalfSeconds, &C::powerOffDelay, R::PowerOffDelay),
        field("shutdownAction", U::Action, &C::shutdownAction, R::ShutdownAction),
        field("powerIn1Enable", U::Enable, &C::powerIn1Enable, R::PowerInEnable),
        field("powerIn2Enable", U::Enable, &C::powerIn2Enable, R::PowerInEnable),
        field("out1OnDelay", U::HalfSeconds, &C::out1OnDelay, R::OutOnDelay1),
        field("out1OffDelay", U::HalfSeconds, &C::out1OffDelay, R::OutOffDelay1),
        field("out2OnDelay", U::HalfSeconds, &C::out2OnDelay, R::OutOnDelay2),
        field("out2OffDelay", U::HalfSeconds, &C::out2OffDelay, R::OutOffDelay2),
        field("out1Manual", U::StateControl, &C::out1Manual, R::OutState),
        field("out2Manual", U::StateControl, &C::out2Manual, R::OutState),
        field("out1Drive", U::Drive, &C::out1Drive, R::OutState),
        field("out2Drive", U::Drive, &C::out2Drive, R::OutState),
        field("out1ACPIEnable", U::Enable, &C::out1ACPIEnable, R::OutACPIEnable),
        field("out2ACPIEnable", U::Enable, &C::out2ACPIEnable, R::OutACPIEnable),
        field("acpiPulseWidth1", U::HalfSeconds, &C::acpiPulseWidth1, R::ACPIPulseWidth1),
        field("acpiPulseWidth2", U::HalfSeconds, &C::acpiPulseWidth2, R::ACPIPulseWidth2),
        field("out1In1Enable", U::Enable, &C::out1In1Enable, R::OutInEnable),
        field("out1In2Enable", U::Enable, &C::out1In2Enable, R::OutInEnable),
        field("out2In1Enable", U::Enable, &C::out2In1Enable, R::OutInEnable),
        field("out2In2Enable", U::Enable, &C::out2In2Enable, R::OutInEnable),
        field("wdtEnable", U::Enable, &C::wdtEnable, R::WDTEnable),
    };
    return fields;
}

const SettingField *findSetting(const std::string &name)
{
    for (const SettingField &f : settingFields())
        if (equalsIgnoringCase(name, f.name)) return &f;
    return nullptr;
}

std::string settingText(const SettingField &field, int32_t value)
{
    switch (field.unit) {
    case U::HalfSeconds:
        if (value >= 0 && value < int32_t(delaySteps().size())) return delaySteps()[size_t(value)];
        return std::to_string(value / 2) + (value % 2 ? ".5" : "");
    case U::Enable: return onOff(enableTicked(value));
    case U::Drive: return onOff(driveTicked(value));
    case U::StateControl: return manualChosen(value) ? "manual" : "automatic";
    case U::Action: return shutdownActionNames()[size_t(shutdownActionEntry(value))];
    }
    return {};
}

std::string settingValues(SettingUnit unit)
{
    switch (unit) {
    case U::HalfSeconds: return "0 to 127.5 seconds in steps of 0.5";
    case U::Enable:
    case U::Drive: return "on or off";
    case U::StateControl: return "manual or automatic";
    case U::Action: return '"' + join(shutdownActionNames(), "\", \"") + '"';
    }
    return {};
}

std::optional<int32_t> parseSetting(const SettingField &field, const std::string &text,
                                    std::string *reason)
{
    std::optional<int32_t> value;
    switch (field.unit) {
    case U::HalfSeconds: value = halfSeconds(text); break;
    case U::Enable:
    case U::Drive: value = oneOf(text, {"off", "on"}); break;
    case U::StateControl: value = oneOf(text, {"automatic", "manual"}); break;
    case U::Action: value = oneOf(text, shutdownActionNames()); break;
    }
    if (!value && reason)
        *reason = std::string(field.name) + " takes " + settingValues(field.unit) + ", not \"" + text
                  + "\"";
    return value;
}

loop::Task<DeviceConfig> writeSetting(std::string address, const SettingField &field,
                                      int32_t value)
{
    // The other fields of the register are written back as they are: only
    // from a configuration the device confirmed.
    DeviceConfig config = co_await loadConfirmedConfig(address);
    config.*field.value = value;
    co_await writeConfigRegister(address, field.reg, config);
    co_return co_await loadConfirmedConfig(address);
}
