#include "ControlRequests.h"

#include "AppState.h"
#include "DeviceSettings.h"
#include "HeadlessDesktop.h"
#include "NrErrors.h"
#include "SettingNames.h"

#include <QJsonArray>

QJsonObject okReply() { return {{QStringLiteral("ok"), true}}; }

QJsonObject errorReply(const QString &text, const QString &kind)
{
    return {{QStringLiteral("ok"), false},
            {QStringLiteral("error"), text},
            {QStringLiteral("kind"), kind}};
}

QJsonObject errorReply(const NrError &error)
{
    appState().deviceError = false;
    return errorReply(error.description() + QStringLiteral(" (") + QString::number(error.number())
                          + QLatin1Char(')'),
                      ReplyKind::Device);
}

QJsonObject devicesReply()
{
    const AppState &state = appState();
    QJsonObject reply = okReply();
    reply[QStringLiteral("devices")] =
        QJsonArray::fromStringList(state.deviceList.mid(0, state.deviceCount));
    reply[QStringLiteral("firmware")] = state.firmwareVersion;
    reply[QStringLiteral("mac")] = state.macAddress;
    return reply;
}

namespace {

QJsonObject settingsOf(const DeviceConfig &config, const QList<const SettingField *> &fields)
{
    QJsonObject settings;
    for (const SettingField *field : fields)
        settings[QLatin1String(field->name)] = settingText(*field, config.*field->value);
    return settings;
}

QJsonObject settingsReply(const DeviceConfig &config, const QList<const SettingField *> &fields)
{
    QJsonObject reply = okReply();
    reply[QStringLiteral("settings")] = settingsOf(config, fields);
    return reply;
}

QJsonObject unknownSetting(const QString &name)
{
    return errorReply(QStringLiteral("There is no setting \"%1\" (\"pallixctl get all\" lists "
                                     "them)")
                          .arg(name),
                      ReplyKind::Invalid);
}

QString onOff(int32_t state) { return state == 1 ? QStringLiteral("on") : QStringLiteral("off"); }

}   // namespace

QJsonObject settingRequestError(const QString &name, const QString *value)
{
    const bool all = name.isEmpty() || name == QLatin1String("all");
    if (all && !value) return {};
    const SettingField *field = findSetting(name);
    if (!field) return unknownSetting(name);
    QString reason;
    if (value && !parseSetting(*field, value->trimmed(), &reason))
        return errorReply(reason, ReplyKind::Invalid);
    return {};
}

QJsonObject getReply(const QString &address, const QString &name)
{
    const QJsonObject refused = settingRequestError(name, nullptr);
    if (!refused.isEmpty()) return refused;
    QList<const SettingField *> fields;
    if (const SettingField *field = findSetting(name))
        fields << field;
    else
        for (const SettingField &field : settingFields())
            fields << &field;
    try {
        return settingsReply(loadSettings(address).config, fields);
    } catch (const NrError &error) {
        return errorReply(error);
    }
}

QJsonObject setReply(const QString &address, const QString &name, const QString &value)
{
    const QJsonObject refused = settingRequestError(name, &value);
    if (!refused.isEmpty()) return refused;
    const SettingField *field = findSetting(name);
    const int32_t wanted = *parseSetting(*field, value.trimmed(), nullptr);
    try {
        const DeviceConfig stored = writeSetting(address, *field, wanted);
        if (stored.*field->value != wanted)
            return errorReply(
                QStringLiteral("The Pallix kept %1 = %2")
                    .arg(QLatin1String(field->name), settingText(*field, stored.*field->value)),
                ReplyKind::Device);
        return settingsReply(stored, {field});
    } catch (const NrError &error) {
        return errorReply(error);
    }
}

QJsonObject deviceStatusReply(const QString &address)
{
    try {
        const LoadedSettings loaded = loadSettings(address);
        const DeviceStatus &s = loaded.status;
        QJsonObject reply = okReply();
        reply[QStringLiteral("device")] = address;
        reply[QStringLiteral("globalStatus")] = loaded.globalStatus;
        reply[QStringLiteral("outputs")] = QJsonArray{onOff(s.out1State), onOff(s.out2State)};
        reply[QStringLiteral("inputs")] = QJsonArray{onOff(s.in1State), onOff(s.in2State)};
        return reply;
    } catch (const NrError &error) {
        return errorReply(error);
    }
}

HeadlessSelfTest::HeadlessSelfTest(HeadlessDesktop &desktop, int loops, bool details, LineOut out)
    : desktop_(desktop), loops_(loops), details_(details), out_(std::move(out))
{}

// Step texts and the pass ends are progress; every other line is a problem.
void HeadlessSelfTest::appendLogLine(const QString &text)
{
    if (!text.startsWith(QStringLiteral("Testing:")) && !text.endsWith(QStringLiteral(" Complete")))
        ++problems_;
    out_(text);
}

void HeadlessSelfTest::showProgress(const QString &text)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) passes_ = text.mid(colon + 1).trimmed().toInt();
}

QJsonObject HeadlessSelfTest::run(SelfTestKind kind)
{
    if (kind == SelfTestKind::Read) {
        test_.readTest();
    } else {
        const HeadlessDesktop::AgreedScope agreed(desktop_);
        test_.writeTest();
    }
    QJsonObject reply = passes_ == loops_ && problems_ == 0
                            ? okReply()
                            : errorReply(QStringLiteral("%1 of %2 passes ran, %3 problem(s)")
                                             .arg(passes_)
                                             .arg(loops_)
                                             .arg(problems_),
                                         ReplyKind::Device);
    reply[QStringLiteral("passes")] = passes_;
    reply[QStringLiteral("problems")] = problems_;
    return reply;
}
