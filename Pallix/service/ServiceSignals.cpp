#include "ServiceSignals.h"

#include "PallixService.h"
#include "QtText.h"
#include "app/LogFile.h"

#include <QCoreApplication>
#include <cstring>

namespace {

QString commandText(const CommandLine &command)
{
    return command.program.empty() ? QStringLiteral("none") : qText(command.text());
}

QString listText(const QStringList &list)
{
    return list.isEmpty() ? QStringLiteral("none") : list.join(QStringLiteral(", "));
}

QString powerCommandText(const ServiceConfig &config, int code)
{
    const auto given = config.powerCommands.find(code);
    return given == config.powerCommands.end() ? QStringLiteral("the system's")
                                               : commandText(given->second);
}

QString deviceText(const ServiceConfig &config)
{
    return config.device.isEmpty() ? QStringLiteral("found by discovery") : config.device;
}

QString socketText(const ServiceConfig &config)
{
    return config.socketPath.isEmpty() ? QStringLiteral("the default") : config.socketPath;
}

QString yesNo(bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); }

void compare(QStringList &changes, const QString &name, const QString &before,
             const QString &after, const char *when = "")
{
    if (before != after)
        changes << QStringLiteral("%1 %2 -> %3%4").arg(name, before, after, QLatin1String(when));
}

void reload(PallixService &service)
{
    ServiceConfig fresh;
    try {
        fresh = parseServiceArguments(QCoreApplication::arguments()).config;
    } catch (const ConfigError &error) {
        logFile(std::string("SIGHUP: the configuration was not applied, pallixd goes on as it "
                            "was: ")
                + error.what());
        return;
    }
    const QStringList changes = configChanges(service.config(), fresh);
    service.reconfigure(fresh);
    logFile(stdText(changes.isEmpty()
                        ? QStringLiteral("SIGHUP: the configuration was read again; nothing changed")
                        : QStringLiteral("SIGHUP: the configuration was read again: ")
                              + changes.join(QStringLiteral("; "))));
}

}   // namespace

void ignoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

void handleSignal(PallixService &service, int signalNumber)
{
    if (signalNumber == SIGHUP) return reload(service);
    logFile(std::string("pallixd ignores signal ") + sigabbrev_np(signalNumber) + " ("
            + strsignal(signalNumber) + "); SIGTERM ends it, SIGHUP reads the configuration again");
}

QStringList configChanges(const ServiceConfig &before, const ServiceConfig &after)
{
    QStringList changes;
    compare(changes, QStringLiteral("dry-run"), yesNo(before.dryRun), yesNo(after.dryRun));
    compare(changes, QStringLiteral("notify-command"), commandText(before.notifyCommand),
            commandText(after.notifyCommand));
    for (int code = 1; code <= 7; ++code)
        compare(changes, QStringLiteral("the command of action %1").arg(code),
                powerCommandText(before, code), powerCommandText(after, code));
    compare(changes, QStringLiteral("local-address"), listText(before.localAddresses),
            listText(after.localAddresses), " (from the next search)");
    compare(changes, QStringLiteral("device"), deviceText(before), deviceText(after), " (from the next search)");
    compare(changes, QStringLiteral("socket"), socketText(before), socketText(after),
            ", not applied: the socket stays until pallixd is restarted");
    return changes;
}
