#include "ServiceEvents.h"

#include "HeadlessDesktop.h"
#include "PlatformLinux.h"
#include "QtText.h"
#include "app/AppState.h"
#include "app/LogFile.h"
#include "watch/DeviceMonitor.h"
#include "watch/DeviceWatch.h"
#include "watch/WinShutdown.h"

QString countdownActionName(int mode)
{
    const std::string name = actionName(mode);
    if (!name.empty()) return qText(name);
    const int value = mode - 1;
    if (powerCommand(mode)) return QStringLiteral("the command for register value %1").arg(value);
    return QStringLiteral("No Action (register value %1)").arg(value);
}

ServiceEvents::ServiceEvents(DeviceWatch &watch, CommandLine notifyCommand, Told told)
    : watch_(watch), notifyCommand_(std::move(notifyCommand)), told_(std::move(told))
{
    watch_.addObserver(this);
}

ServiceEvents::~ServiceEvents() { watch_.removeObserver(this); }

void ServiceEvents::deviceFound(const std::string &address)
{
    const AppState &state = appState();
    tell(QStringLiteral("device-found"),
         QStringLiteral("The Pallix at %1 answers (firmware %2, MAC address %3).")
             .arg(qText(address), qText(state.firmwareVersion), qText(state.macAddress)));
}

void ServiceEvents::deviceLost()
{
    tell(QStringLiteral("device-lost"),
         QStringLiteral("The Pallix at %1 does not answer; searching for it.")
             .arg(qText(appState().firstDevice())));
}

void ServiceEvents::powerRequest(int mode, int seconds)
{
    tell(QStringLiteral("power-request"),
         QStringLiteral("The Pallix asks for the PC's power action: %1 in %2 second(s).")
             .arg(countdownActionName(mode))
             .arg(seconds));
}

void ServiceEvents::countdownAbandoned()
{
    tell(QStringLiteral("countdown-abandoned"),
         QStringLiteral("An enabled power input is active: the countdown ended, nothing runs."));
}

void ServiceEvents::countdownCancelled(const std::string &reason)
{
    tell(QStringLiteral("countdown-cancelled"),
         reason.empty() ? QStringLiteral("The countdown was cancelled, nothing runs.")
                        : QStringLiteral("The countdown was cancelled (%1), nothing runs.")
                              .arg(qText(reason)));
}

void ServiceEvents::powerAction(int mode)
{
    const auto command = powerCommand(mode);
    tell(QStringLiteral("power-action"),
         QStringLiteral("%1%2: %3")
             .arg(countdownActionName(mode),
                  appState().dryRun ? QStringLiteral(" (dry run)") : QString(),
                  command ? qText(command->text()) : QStringLiteral("nothing runs")));
}

void ServiceEvents::powerLost()
{
    tell(QStringLiteral("power-lost"), qText(oneLine(powerLostText())));
}

void ServiceEvents::tell(const QString &event, const QString &message)
{
    // Finding and losing the device may flap; what the PC was asked to do
    // and did is written every time.
    const std::string line = stdText(event + QStringLiteral(": ") + message);
    if (event.startsWith(QLatin1String("device-")))
        logFile(line);
    else
        logEvent(line);
    notify(event, message);
    if (told_) told_(event, message);
}

// Started and left to run: the monitor never waits for it.
void ServiceEvents::notify(const QString &event, const QString &message)
{
    if (notifyCommand_.program.empty()) return;
    CommandLine line = notifyCommand_;
    line.arguments.push_back(stdText(event));
    line.arguments.push_back(stdText(message));
    if (startDetached(line)) return;
    if (notifyFailureLogged_) return;
    notifyFailureLogged_ = true;
    logFile("The notify command " + notifyCommand_.program + " cannot be started");
}
