#include "LogFile.h"

#include "AppState.h"
#include "NrErrors.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

QString GeneralDateTime(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    // The long time format may carry a time-zone name; the log has no use for it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + locale.toString(when.time(), timeFormat);
}

void LogFile(const QString &entry)
{
    const QString path = appState().AppPath + QStringLiteral("log.txt");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw NrError(LogFileAccessError,
                      QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    const QString line =
        entry + QStringLiteral(" --- ") + GeneralDateTime(QDateTime::currentDateTime())
        + QStringLiteral("\r\n");
    const QByteArray bytes = line.toLocal8Bit();
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw NrError(LogFileAccessError,
                      QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
}
