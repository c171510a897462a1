#include "ControlRequestCheck.h"

#include "ControlRequests.h"
#include "QtText.h"
#include "app/Options.h"
#include "selftest/SelfTest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <cmath>

namespace {

enum class FieldType { Text, WholeNumber, YesNo };

struct Field {
    const char *key;
    FieldType type;
    // Beyond the type: an error text for a value out of range, or empty.
    QString (*check)(const QJsonValue &value);
};

QString noCheck(const QJsonValue &) { return {}; }

QString ipv4Address(const QJsonValue &value)
{
    const QString text = value.toString();
    if (text.isEmpty() || isIPv4Address(stdText(text))) return {};
    return QStringLiteral("\"device\" wants a dotted IPv4 address, not \"%1\"").arg(text);
}

QString loopCount(const QJsonValue &value)
{
    const double loops = value.toDouble();
    if (loops >= 1 && loops <= SelfTest::MaxLoops) return {};
    return QStringLiteral("\"loops\" is 1 to %1, not %2").arg(SelfTest::MaxLoops).arg(loops);
}

QString testKind(const QJsonValue &value)
{
    const QString text = value.toString();
    if (text == QLatin1String("read") || text == QLatin1String("write")) return {};
    return QStringLiteral("\"test\" is read or write, not \"%1\"").arg(text);
}

// Every field a request may carry; a new request adds its own here.
const Field fields[] = {
    {"request", FieldType::Text, noCheck},      {"device", FieldType::Text, ipv4Address},
    {"name", FieldType::Text, noCheck},         {"value", FieldType::Text, noCheck},
    {"test", FieldType::Text, testKind},        {"loops", FieldType::WholeNumber, loopCount},
    {"details", FieldType::YesNo, noCheck},
};

bool hasType(const QJsonValue &value, FieldType type)
{
    switch (type) {
    case FieldType::Text:
        return value.isString();
    case FieldType::WholeNumber:
        return value.isDouble() && std::isfinite(value.toDouble())
               && std::trunc(value.toDouble()) == value.toDouble();
    case FieldType::YesNo:
        return value.isBool();
    }
    return false;
}

QString typeName(FieldType type)
{
    switch (type) {
    case FieldType::Text:
        return QStringLiteral("text in quotes");
    case FieldType::WholeNumber:
        return QStringLiteral("a whole number");
    case FieldType::YesNo:
        return QStringLiteral("true or false");
    }
    return {};
}

// The value as it was sent: "5" with its quotes, 123, [1], null.
QString asSent(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

}   // namespace

QJsonObject controlRequestError(const QJsonObject &request)
{
    for (const Field &field : fields) {
        const QJsonValue value = request.value(QLatin1String(field.key));
        if (value.isUndefined()) continue;
        QString error = hasType(value, field.type)
                            ? field.check(value)
                            : QStringLiteral("\"%1\" wants %2, not %3")
                                  .arg(QLatin1String(field.key), typeName(field.type), asSent(value));
        if (!error.isEmpty()) return errorReply(error, ReplyKind::Invalid);
    }
    return {};
}
