#include "ServiceEvents.h"

#include "AppState.h"
#include "DeviceMonitor.h"
#include "DeviceWatch.h"
#include "HeadlessDesktop.h"
#include "LogFile.h"
#include "WinShutdown.h"

#include <QProcess>

QString countdownActionName(int mode)
{
    const QString name = actionName(mode);
    return name.isEmpty() ? QStringLiteral("no action (code %1)").arg(mode) : name;
}

ServiceEvents::ServiceEvents(DeviceWatch &watch, CommandLine notifyCommand)
    : notifyCommand_(std::move(notifyCommand))
{
    connect(&watch, &DeviceWatch::deviceFound, this, [this](const QString &address) {
        const AppState &state = appState();
        tell(QStringLiteral("device-found"),
             QStringLiteral("The Pallix at %1 answers (firmware %2, MAC address %3).")
                 .arg(address, state.firmwareVersion, state.macAddress));
    });
    connect(&watch, &DeviceWatch::deviceLost, this, [this] {
        tell(QStringLiteral("device-lost"),
             QStringLiteral("The Pallix at %1 does not answer; searching for it.")
                 .arg(appState().deviceList.value(0)));
    });
    connect(&watch, &DeviceWatch::powerRequest, this, [this](int mode, int seconds) {
        tell(QStringLiteral("power-request"),
             QStringLiteral("The Pallix asks for the PC's power action: %1 in %2 second(s).")
                 .arg(countdownActionName(mode))
                 .arg(seconds));
    });
    connect(&watch, &DeviceWatch::countdownAbandoned, this, [this] {
        tell(QStringLiteral("countdown-abandoned"),
             QStringLiteral("An enabled power input is active: the countdown ended, nothing "
                            "runs."));
    });
    connect(&watch, &DeviceWatch::countdownCancelled, this, [this] {
        tell(QStringLiteral("countdown-cancelled"),
             QStringLiteral("The countdown was cancelled, nothing runs."));
    });
    connect(&watch, &DeviceWatch::powerAction, this, [this](int mode) {
        const auto command = powerCommand(mode);
        tell(QStringLiteral("power-action"),
             QStringLiteral("%1%2: %3")
                 .arg(countdownActionName(mode),
                      appState().dryRun ? QStringLiteral(" (dry run)") : QString(),
                      command ? command->text() : QStringLiteral("nothing runs")));
    });
    connect(&watch, &DeviceWatch::powerLost, this,
            [this] { tell(QStringLiteral("power-lost"), oneLine(powerLostText())); });
}

void ServiceEvents::tell(const QString &event, const QString &message)
{
    logFile(event + QStringLiteral(": ") + message);
    notify(event, message);
    emit told(event, message);
}

// Started and left to run: the monitor never waits for it.
void ServiceEvents::notify(const QString &event, const QString &message)
{
    if (notifyCommand_.program.isEmpty()) return;
    if (QProcess::startDetached(notifyCommand_.program,
                                notifyCommand_.arguments + QStringList{event, message}))
        return;
    if (notifyFailureLogged_) return;
    notifyFailureLogged_ = true;
    logFile(QStringLiteral("The notify command %1 cannot be started").arg(notifyCommand_.program));
}
