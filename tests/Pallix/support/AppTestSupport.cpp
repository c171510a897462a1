#include "AppTestSupport.h"

#include "AppState.h"
#include "LogFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

TestAppFolder::TestAppFolder()
{
    const QDir built(QStringLiteral(PALLIX_BUILD_APP_DIR));
    for (const char *name : {"libNerrinAPI.so", "NerrinRed.ico", "NerrinGray.ico", "nrfwupdate",
                             "Pallix_User_Guide.pdf", "download"}) {
        const QString source = built.filePath(QString::fromLatin1(name));
        if (QFile::exists(source))
            QFile::link(source, QDir(dir_.path()).filePath(QString::fromLatin1(name)));
    }
    appState().appPath = path();
    // A log that leaves the application folder stays inside the test's own.
    qputenv("XDG_STATE_HOME", (path() + QStringLiteral("state")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (path() + QStringLiteral("config")).toLocal8Bit());
}

QString TestAppFolder::path() const { return dir_.path() + QLatin1Char('/'); }

QString TestAppFolder::logText() const
{
    QFile log(logFilePath());
    if (!log.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(log.readAll());
}

QStringList TestAppFolder::logLines() const
{
    QStringList entries;
    for (const QString &line : logText().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        entries << line.section(QStringLiteral(" --- "), 0, 0);
    return entries;
}

bool waitUntil(const std::function<bool()> &pred, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}
