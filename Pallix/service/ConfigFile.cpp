#include "ConfigFile.h"

#include "ServiceOptions.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

std::optional<QString> configFileText(const QString &path, bool named)
{
    const QFileInfo info(path);
    if (!info.exists() && !named) return std::nullopt;
    if (!info.exists())
        throw ConfigError(QStringLiteral("cannot read %1: there is no such file").arg(path));
    if (!info.isFile())
        throw ConfigError(QStringLiteral("cannot read %1: it is not a regular file").arg(path));
    if (info.size() > MaxConfigFileBytes)
        throw ConfigError(QStringLiteral("cannot read %1: it has %2 bytes, a configuration file "
                                         "at most %3")
                              .arg(path)
                              .arg(info.size())
                              .arg(MaxConfigFileBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ConfigError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    // Read no more than allowed, whatever the file became meanwhile.
    const QByteArray bytes = file.read(MaxConfigFileBytes + 1);
    if (bytes.size() > MaxConfigFileBytes)
        throw ConfigError(QStringLiteral("cannot read %1: it grew past %2 bytes")
                              .arg(path)
                              .arg(MaxConfigFileBytes));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        throw ConfigError(QStringLiteral("cannot read %1: it is not UTF-8 text").arg(path));
    return text;
}
