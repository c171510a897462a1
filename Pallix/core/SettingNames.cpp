#include "SettingNames.h"

#include <QRegularExpression>
#include <cmath>

namespace {

using R = ConfigRegister;
using U = SettingUnit;

SettingField field(const char *name, U unit, int32_t DeviceConfig::*value, R reg)
{
    return {name, unit, value, reg};
}

QString onOff(bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); }

std::optional<int32_t> halfSeconds(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral(R"(^\d{1,3}(\.\d{1,3})?$)"));
    if (!decimal.match(text).hasMatch()) return std::nullopt;
    const double halves = text.toDouble() * 2;
    if (halves != std::floor(halves) || halves > 255) return std::nullopt;
    return int32_t(halves);
}

std::optional<int32_t> oneOf(const QString &text, const QStringList &choices)
{
    for (int i = 0; i < choices.size(); ++i)
        if (text.compare(choices[i], Qt::CaseInsensitive) == 0) return i;
    return std::nullopt;
}

}   // namespace

const QList<SettingField> &settingFields()
{
    using C = DeviceConfig;
    static const QList<SettingField> fields{
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

const SettingField *findSetting(const QString &name)
{
    for (const SettingField &f : settingFields())
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

QString settingText(const SettingField &field, int32_t value)
{
    switch (field.unit) {
    case U::HalfSeconds: return delaySteps().value(value, QString::number(value / 2.0));
    case U::Enable: return onOff(enableTicked(value));
    case U::Drive: return onOff(driveTicked(value));
    case U::StateControl:
        return manualChosen(value) ? QStringLiteral("manual") : QStringLiteral("automatic");
    case U::Action: return shutdownActionNames()[shutdownActionEntry(value)];
    }
    return {};
}

QString settingValues(SettingUnit unit)
{
    switch (unit) {
    case U::HalfSeconds: return QStringLiteral("0 to 127.5 seconds in steps of 0.5");
    case U::Enable:
    case U::Drive: return QStringLiteral("on or off");
    case U::StateControl: return QStringLiteral("manual or automatic");
    case U::Action:
        return QLatin1Char('"') + shutdownActionNames().join(QStringLiteral("\", \""))
               + QLatin1Char('"');
    }
    return {};
}

std::optional<int32_t> parseSetting(const SettingField &field, const QString &text, QString *reason)
{
    std::optional<int32_t> value;
    switch (field.unit) {
    case U::HalfSeconds: value = halfSeconds(text); break;
    case U::Enable:
    case U::Drive: value = oneOf(text, {QStringLiteral("off"), QStringLiteral("on")}); break;
    case U::StateControl:
        value = oneOf(text, {QStringLiteral("automatic"), QStringLiteral("manual")});
        break;
    case U::Action: value = oneOf(text, shutdownActionNames()); break;
    }
    if (!value && reason)
        *reason = QStringLiteral("%1 takes %2, not \"%3\"")
                      .arg(QLatin1String(field.name), settingValues(field.unit), text);
    return value;
}

DeviceConfig writeSetting(const QString &address, const SettingField &field, int32_t value)
{
    DeviceConfig config = loadSettings(address).config;
    config.*field.value = value;
    writeConfigRegister(address, field.reg, config);
    return loadSettings(address).config;
}
