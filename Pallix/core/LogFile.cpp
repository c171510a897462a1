#include "LogFile.h"

#include "AppPaths.h"
#include "AppState.h"
#include "Notice.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <cstdio>

namespace {

struct LogState {
    LogSink sink;
    QString lastEntry;   // the entry last written
    int repeats = 0;     // times it came again since, not yet written
    bool failureReported = false;
};

LogState &logState()
{
    static LogState state;
    return state;
}

void reportFailureOnce(const QString &path, const QString &reason)
{
    LogState &state = logState();
    if (state.failureReported) return;
    state.failureReported = true;
    const QString text = QStringLiteral("The log file %1 cannot be written: %2. The Pallix Control "
                                        "Center goes on without its log.")
                             .arg(path, reason);
    std::fprintf(stderr, "Pallix: %s\n", text.toLocal8Bit().constData());
    showNotice(text, appTitle(), MsgIcon::Critical);
}

void rollOverWhenFull(const QString &path)
{
    if (QFileInfo(path).size() < LogRollOverBytes) return;
    const QString old = logFolder() + QStringLiteral("log.old.txt");
    QFile::remove(old);
    QFile::rename(path, old);
}

void writeLine(const QString &text)
{
    if (logState().sink) {
        logState().sink(text);
        return;
    }
    const QString path = logFilePath();
    rollOverWhenFull(path);
    QFile file(path);
    const QByteArray bytes =
        (text + QStringLiteral(" --- ") + generalDateTime(QDateTime::currentDateTime())
         + QStringLiteral("\r\n"))
            .toLocal8Bit();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size()
        || !file.flush())
        reportFailureOnce(path, file.errorString());
}

}   // namespace

QString logFilePath() { return logFolder() + QStringLiteral("log.txt"); }

QString generalDateTime(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    // The long time format may carry a time-zone name; the log has no use for it.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + locale.toString(when.time(), timeFormat);
}

void setLogSink(LogSink sink) { logState().sink = std::move(sink); }

void logFile(const QString &entry)
{
    LogState &state = logState();
    if (entry == state.lastEntry) {
        ++state.repeats;
        return;
    }
    flushLogFile();
    state.lastEntry = entry;
    writeLine(entry);
}

void flushLogFile()
{
    LogState &state = logState();
    if (state.repeats == 0) return;
    const QString times = state.repeats == 1 ? QStringLiteral("time") : QStringLiteral("times");
    writeLine(state.lastEntry + QStringLiteral(" (repeated %1 %2)").arg(state.repeats).arg(times));
    state.repeats = 0;
}
