#include "ControlRequests.h"

#include "QtText.h"
#include "app/AppState.h"
#include "app/NrErrors.h"
#include "config/SavedConfigs.h"
#include "device/DeviceSettings.h"
#include "device/SettingNames.h"
#include "device/SettingsUpdate.h"
#include "watch/NrDiscovery.h"

#include <QJsonArray>
#include <optional>

QJsonObject okReply() { return {{QStringLiteral("ok"), true}}; }

QJsonObject errorReply(const QString &text, const QString &kind)
{
    return {{QStringLiteral("ok"), false},
            {QStringLiteral("error"), text},
            {QStringLiteral("kind"), kind}};
}

QJsonObject errorReply(const NrError &error)
{
    return errorReply(qText(error.text()), ReplyKind::Device);
}

namespace {

// Each device as its own discovery reply announced it.
QJsonArray devicesFoundReply(const AppState &state)
{
    QJsonArray found;
    const std::vector<std::string> addresses = state.devicesFound();
    for (size_t i = 0; i < addresses.size(); ++i) {
        const std::string record = i < state.deviceRecords.size() ? state.deviceRecords[i] : "";
        found.append(
            QJsonObject{{QStringLiteral("address"), qText(addresses[i])},
                        {QStringLiteral("firmware"), qText(firmwareVersionFromReply(record))},
                        {QStringLiteral("mac"), qText(macAddressFromReply(record))}});
    }
    return found;
}

}   // namespace

QJsonObject devicesReply()
{
    const AppState &state = appState();
    QJsonObject reply = okReply();
    reply[QStringLiteral("devices")] = QJsonArray::fromStringList(qTexts(state.devicesFound()));
    reply[QStringLiteral("found")] = devicesFoundReply(state);
    reply[QStringLiteral("firmware")] = qText(state.firmwareVersion);
    reply[QStringLiteral("mac")] = qText(state.macAddress);
    return reply;
}

namespace {

QJsonObject settingsOf(const DeviceConfig &config, const std::vector<const SettingField *> &fields)
{
    QJsonObject settings;
    for (const SettingField *field : fields)
        settings[QLatin1String(field->name)] = qText(settingText(*field, config.*field->value));
    return settings;
}

QJsonObject settingsReply(const DeviceConfig &config, const std::vector<const SettingField *> &fields)
{
    QJsonObject reply = okReply();
    reply[QStringLiteral("settings")] = settingsOf(config, fields);
    return reply;
}

QJsonObject unknownSetting(const QString &name)
{
    return errorReply(
        QStringLiteral("There is no setting \"%1\" (\"pallixctl get all\" lists them)").arg(name),
        ReplyKind::Invalid);
}

QString onOff(int32_t state) { return state == 1 ? QStringLiteral("on") : QStringLiteral("off"); }

}   // namespace

QJsonObject settingRequestError(const QString &name, const QString *value)
{
    const bool all = name.isEmpty() || name == QLatin1String("all");
    if (all && !value) return {};
    const SettingField *field = findSetting(stdText(name));
    if (!field) return unknownSetting(name);
    std::string reason;
    if (value && !parseSetting(*field, stdText(value->trimmed()), &reason))
        return errorReply(qText(reason), ReplyKind::Invalid);
    return {};
}

loop::Task<QJsonObject> getReply(QString address, QString name)
{
    const QJsonObject refused = settingRequestError(name, nullptr);
    if (!refused.isEmpty()) co_return refused;
    std::vector<const SettingField *> fields;
    if (const SettingField *field = findSetting(stdText(name)))
        fields.push_back(field);
    else
        for (const SettingField &field : settingFields())
            fields.push_back(&field);
    std::optional<NrError> failure;
    try {
        const DeviceConfig config = (co_await loadSettings(stdText(address))).config;
        co_await keepDeviceConfig(stdText(address), config);
        co_return settingsReply(config, fields);
    } catch (const NrError &error) {
        failure = error;
    }
    co_return errorReply(*failure);
}

loop::Task<QJsonObject> setReply(QString address, QString name, QString value)
{
    const QJsonObject refused = settingRequestError(name, &value);
    if (!refused.isEmpty()) co_return refused;
    const SettingField *field = findSetting(stdText(name));
    const int32_t wanted = *parseSetting(*field, stdText(value.trimmed()), nullptr);
    std::optional<NrError> failure;
    try {
        const DeviceConfig stored = co_await writeSetting(stdText(address), *field, wanted);
        co_await keepDeviceConfig(stdText(address), stored);
        if (stored.*field->value != wanted)
            co_return errorReply(QStringLiteral("The Pallix kept %1 = %2")
                                     .arg(QLatin1String(field->name),
                                          qText(settingText(*field, stored.*field->value))),
                                 ReplyKind::Device);
        co_return settingsReply(stored, {field});
    } catch (const NrError &error) {
        failure = error;
    }
    co_return errorReply(*failure);
}

QJsonObject importRequestError(const QJsonObject &settings)
{
    if (settings.isEmpty())
        return errorReply(QStringLiteral("There are no settings to import"), ReplyKind::Invalid);
    for (auto it = settings.begin(); it != settings.end(); ++it) {
        const QString value = it.value().toString();
        const QJsonObject refused = settingRequestError(it.key(), &value);
        if (!refused.isEmpty()) return refused;
    }
    return {};
}

namespace {

QJsonObject writtenOf(const std::vector<SettingValue> &written)
{
    QJsonObject settings;
    for (const SettingValue &setting : written)
        settings[QLatin1String(setting.field->name)] =
            qText(settingText(*setting.field, setting.value));
    return settings;
}

QJsonObject allSettings(const DeviceConfig &config)
{
    std::vector<const SettingField *> fields;
    for (const SettingField &field : settingFields())
        fields.push_back(&field);
    return settingsOf(config, fields);
}

// Every setting written and taken: the configuration the user wants kept.
// Fewer leave what the device holds, kept as any read is.
loop::Task<> keepImported(std::string address, bool wholeAndTaken, DeviceConfig readBack)
{
    if (wholeAndTaken)
        keepWritten(address, readBack);
    else
        co_await keepDeviceConfig(address, readBack);
}

QJsonObject importedReply(const SettingsUpdate &update)
{
    QStringList notTaken;
    for (const SettingMismatch &mismatch : update.notTaken)
        notTaken << qText(mismatchText(mismatch));
    QJsonObject reply = notTaken.isEmpty()
                            ? okReply()
                            : errorReply(notTaken.join(QStringLiteral("; ")), ReplyKind::Device);
    reply[QStringLiteral("written")] = writtenOf(update.written);
    reply[QStringLiteral("settings")] = allSettings(update.readBack);
    if (!notTaken.isEmpty()) reply[QStringLiteral("notTaken")] = QJsonArray::fromStringList(notTaken);
    return reply;
}

}   // namespace

loop::Task<QJsonObject> importReply(QString address, QJsonObject settings)
{
    const QJsonObject refused = importRequestError(settings);
    if (!refused.isEmpty()) co_return refused;
    std::vector<SettingValue> wanted;
    for (auto it = settings.begin(); it != settings.end(); ++it) {
        const SettingField *field = findSetting(stdText(it.key()));
        wanted.push_back({field, *parseSetting(*field, stdText(it.value().toString().trimmed()),
                                               nullptr)});
    }
    std::optional<NrError> failure;
    try {
        const SettingsUpdate update = co_await updateSettings(stdText(address), wanted);
        co_await keepImported(stdText(address),
                              wanted.size() == settingFields().size() && update.notTaken.empty(),
                              update.readBack);
        co_return importedReply(update);
    } catch (const NrError &error) {
        failure = error;
    }
    co_return errorReply(*failure);
}

loop::Task<QJsonObject> deviceStatusReply(QString address)
{
    std::optional<NrError> failure;
    try {
        const LoadedSettings loaded = co_await loadSettings(stdText(address));
        const DeviceStatus &s = loaded.status;
        QJsonObject reply = okReply();
        reply[QStringLiteral("device")] = address;
        reply[QStringLiteral("globalStatus")] = loaded.globalStatus;
        reply[QStringLiteral("outputs")] = QJsonArray{onOff(s.out1State), onOff(s.out2State)};
        reply[QStringLiteral("inputs")] = QJsonArray{onOff(s.in1State), onOff(s.in2State)};
        co_return reply;
    } catch (const NrError &error) {
        failure = error;
    }
    co_return errorReply(*failure);
}

HeadlessSelfTest::HeadlessSelfTest(int loops, bool details, LineOut out,
                                   SelfTest::DeviceEventHandler onDeviceEvent)
    : loops_(loops), details_(details), out_(std::move(out)), test_(*this, std::move(onDeviceEvent))
{}

// Step texts and the pass ends are progress; every other line is a problem.
void HeadlessSelfTest::appendLogLine(const std::string &text)
{
    if (!text.starts_with("Testing:") && !text.ends_with(" Complete")) ++problems_;
    out_(qText(text));
}

void HeadlessSelfTest::showProgress(const std::string &text)
{
    const size_t colon = text.rfind(':');
    if (colon != std::string::npos) passes_ = QString::fromStdString(text.substr(colon + 1)).trimmed().toInt();
}

loop::Task<QJsonObject> HeadlessSelfTest::run(SelfTestKind kind)
{
    if (kind == SelfTestKind::Read)
        co_await test_.read();
    else
        co_await test_.write(SelfTest::WriteWarning::AlreadyAgreed);
    QJsonObject reply = passes_ == loops_ && problems_ == 0
                            ? okReply()
                            : errorReply(QStringLiteral("%1 of %2 passes ran, %3 problem(s)")
                                             .arg(passes_)
                                             .arg(loops_)
                                             .arg(problems_),
                                         ReplyKind::Device);
    reply[QStringLiteral("passes")] = passes_;
    reply[QStringLiteral("problems")] = problems_;
    co_return reply;
}
