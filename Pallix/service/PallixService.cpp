#include "PallixService.h"

#include "ControlRequestCheck.h"
#include "ControlRequests.h"
#include "ControlSocket.h"
#include "QtEventLoop.h"
#include "QtText.h"
#include "ServiceLog.h"
#include "ServiceSignals.h"
#include "StopSignals.h"
#include "app/AppInstance.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/LogFile.h"
#include "app/Options.h"
#include "app/OtherMonitor.h"
#include "device/DeviceThread.h"
#include "device/NrAPI.h"
#include "watch/DeviceMonitor.h"
#include "watch/FirmwareCheck.h"
#include "watch/MonitorState.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {

QString text(const QJsonObject &request, const char *key)
{
    return request.value(QLatin1String(key)).toString();
}

constexpr const char *deviceKeys[] = {"device", "firmware", "mac"};

}   // namespace

PallixService::PallixService(const ServiceConfig &config)
    : config_(config),
      events_(watch, config.notifyCommand,
              [this](const QString &event, const QString &message) {
                  server_.sendToWatchers(
                      {{QStringLiteral("event"), event}, {QStringLiteral("message"), message}});
              }),
      network_(watch, config.network),
      savedConfigs_(watch, config.restoreAfterPowerLoss),
      server_([this](ControlClient &client, QJsonObject request) {
          return handle(client, std::move(request));
      })
{
    reconfigure(config);
    // Nobody is at the service to accept an update; the log says it once.
    watch.search.offerFirmwareUpdate = false;
    desktop_.setUnlogged(powerLostText());   // told as the power-lost event
    Desktop::install(&desktop_);
    watch.addObserver(this);
    controlCenterCheck_.setInterval(ControlCenterRecheck);
    controlCenterCheck_.onTimeout = [this] { startWatchingUnlessTaken(); };
    watch.countdown.beforeDeciding = [this] { return handleArrivedRequests(); };
}

PallixService::~PallixService()
{
    watch.removeObserver(this);
    Desktop::install(nullptr);
}

void PallixService::reconfigure(const ServiceConfig &fresh)
{
    const QString socketPath = config_.socketPath;
    config_ = fresh;
    config_.socketPath = socketPath;
    AppState &state = appState();
    state.dryRun = fresh.dryRun;
    state.localAddressOverride = stdTexts(fresh.localAddresses);
    state.fixedDevice = stdText(fresh.device);
    state.powerCommands = fresh.powerCommands;
    events_.setNotifyCommand(fresh.notifyCommand);
}

void PallixService::deviceFound(const std::string &address)
{
    const AppState &app = appState();
    lastSeen_ = {{QStringLiteral("device"), qText(address)},
                 {QStringLiteral("firmware"), qText(app.firmwareVersion)},
                 {QStringLiteral("mac"), qText(app.macAddress)}};
    const std::string &version = app.firmwareVersion;
    if (firmwareTold_ || version == CarriedFirmwareVersion) return;
    firmwareTold_ = true;
    logFile("The Pallix has firmware " + version + ", not " + CarriedFirmwareVersion
            + "; pallixd offers no update (the Pallix Control Center does)");
}

void PallixService::start()
{
    const QString path = config_.socketPath.isEmpty() ? defaultSocketPath() : config_.socketPath;
    if (path.isEmpty())
        throw StartError(QStringLiteral("XDG_RUNTIME_DIR is not set: name the socket with "
                                        "--socket"));
    server_.listen(path);
    network_.listen();
    std::string reason;
    if (!NrAPI::load(&reason))
        throw StartError(QStringLiteral("cannot load the device library: ") + qText(reason));
    logFile(stdText(QStringLiteral("pallixd listens on %1%2")
                        .arg(server_.path(), config_.dryRun ? QStringLiteral(" (dry run)")
                                                             : QString())));
    // The first search starts from the loop, so a SIGTERM that comes
    // meanwhile ends the loop rather than being spent before it began.
    loop::EventLoop::current().post([this] { startWatchingUnlessTaken(); });
}

void PallixService::startWatchingUnlessTaken()
{
    if (appState().ending) return;
    std::string other;
    monitorLock_ = claimMonitor(MonitorProgram::Service, &other);
    if (!monitorLock_) {
        if (other != waitingFor_) logFile(other);
        waitingFor_ = other;
        waiting_ = true;
        controlCenterCheck_.start();
        return;
    }
    controlCenterCheck_.stop();
    if (waiting_) logFile("The monitor pallixd waited for has ended: pallixd starts watching");
    waiting_ = false;
    watch.start();
}

void PallixService::stop()
{
    if (appState().ending) return;
    watch.countdown.cancel("pallixd was stopped");
    logFile("pallixd ends");
    tasks_.spawn(endAfterSelfTests());
}

// At zero: a cancel already on its way is handled before the action is decided.
loop::Task<> PallixService::handleArrivedRequests()
{
    server_.handleArrived();
    co_return;
}

QString PallixService::state() const
{
    if (waiting_) return QStringLiteral("waiting");
    if (watch.countdown.counting()) return QStringLiteral("counting-down");
    return monitorState().watching() ? QStringLiteral("watching") : QStringLiteral("searching");
}

// Every field of the right type and the client allowed, or nothing is done.
loop::Task<QJsonObject> PallixService::handle(ControlClient &client, QJsonObject request)
{
    const QString name = text(request, "request");
    QJsonObject reply = controlRequestError(request);
    if (reply.isEmpty())
        reply = access_.refusal(client.peer(), request, appState().devicesFound());
    if (reply.isEmpty()) {
        reply = co_await answer(client, name, request);
    }
    reply[QStringLiteral("request")] = name;
    if (accessNeeded(request) == ControlAccess::Change)
        logFile(changeLogLine(client.peer(), request, reply));
    co_return reply;
}

loop::Task<QJsonObject> PallixService::answer(ControlClient &client, const QString &name,
                                              const QJsonObject &request)
{
    if (name == QLatin1String("status")) co_return status();
    if (name == QLatin1String("cancel")) co_return cancel(client);
    if (name == QLatin1String("watch")) co_return watchEvents(client);
    if (name == QLatin1String("discover")) co_return devicesReply();
    if (name == QLatin1String("get") || name == QLatin1String("set")
        || name == QLatin1String("import") || name == QLatin1String("selftest"))
        co_return co_await deviceRequest(client, request);
    co_return errorReply(QStringLiteral("Unknown request \"%1\": status, cancel, watch, "
                                        "discover, get, set, import or selftest")
                             .arg(name),
                         ReplyKind::Invalid);
}

QJsonObject PallixService::status() const
{
    const AppState &app = appState();
    QJsonObject reply = devicesReply();
    reply[QStringLiteral("state")] = state();
    reply[QStringLiteral("device")] = qText(app.firstDevice());
    reply[QStringLiteral("globalStatus")] = app.lastGlobalStatus;
    reply[QStringLiteral("dryRun")] = app.dryRun;
    // While searching no device is current; the one found before is only last seen.
    if (!watch.countdown.counting() && !monitorState().watching()) {
        for (const char *key : deviceKeys)
            reply.remove(QLatin1String(key));
        reply[QStringLiteral("devices")] = QJsonArray();
        if (!lastSeen_.isEmpty()) reply[QStringLiteral("lastSeen")] = lastSeen_;
    }
    if (watch.countdown.counting())
        reply[QStringLiteral("countdown")] =
            QJsonObject{{QStringLiteral("action"), countdownActionName(watch.countdown.mode())},
                        {QStringLiteral("secondsLeft"), watch.countdown.secondsLeft()}};
    return reply;
}

QJsonObject PallixService::cancel(const ControlClient &client)
{
    if (!watch.countdown.counting())
        return errorReply(QStringLiteral("No countdown runs"), ReplyKind::Refused);
    watch.countdown.cancel("by " + stdText(client.peer().describe()));
    return okReply();
}

QJsonObject PallixService::watchEvents(ControlClient &client)
{
    client.setWatching(true);
    return status();
}

// get, set and selftest wait their turn on the device thread; none is
// refused for another's sake.
loop::Task<QJsonObject> PallixService::deviceRequest(ControlClient &client, QJsonObject request)
{
    if (waiting_)
        co_return errorReply(qText(waitingFor_), ReplyKind::Refused);
    QString address = text(request, "device");
    if (address.isEmpty()) {
        if (!monitorState().watching())
            co_return errorReply(
                QStringLiteral("pallixd has not found the Pallix (it is %1)").arg(state()),
                ReplyKind::Refused);
        address = qText(appState().firstDevice());
    }
    const QString name = text(request, "request");
    if (name == QLatin1String("selftest")) co_return co_await selfTest(client, address, request);
    if (name == QLatin1String("get")) co_return co_await getReply(address, text(request, "name"));
    QJsonObject reply;
    if (name == QLatin1String("import"))
        reply = co_await importReply(address, request.value(QStringLiteral("settings")).toObject());
    else
        reply = co_await setReply(address, text(request, "name"), text(request, "value"));
    if (reply.value(QStringLiteral("ok")).toBool()) co_await network_.settingsWritten();
    co_return reply;
}

// The test runs on the watched device, as the window's does, with the
// monitor polling beside it; a client that goes stops it.
loop::Task<QJsonObject> PallixService::selfTest(ControlClient &client, QString address,
                                                QJsonObject request)
{
    const QString kind = text(request, "test");
    const int loops = request.value(QStringLiteral("loops")).toInt(1);
    if (kind != QLatin1String("read") && kind != QLatin1String("write"))
        co_return errorReply(QStringLiteral("\"test\" is read or write"), ReplyKind::Invalid);
    if (stdText(address) != appState().firstDevice())
        co_return errorReply(QStringLiteral("The self test runs on the watched Pallix only"),
                             ReplyKind::Invalid);
    HeadlessSelfTest test(
        loops, request.value(QStringLiteral("details")).toBool(),
        [&client](const QString &line) { client.send({{QStringLiteral("line"), line}}); },
        [this](int status) { watch.monitor.handlePolledStatus(status); });
    const QMetaObject::Connection gone =
        QObject::connect(&client, &ControlClient::closed, [&test] { test.stop(); });
    const QJsonObject reply =
        co_await test.run(kind == QLatin1String("read") ? SelfTestKind::Read : SelfTestKind::Write);
    QObject::disconnect(gone);
    co_return reply;
}

int runService(const ServiceConfig &config)
{
    AppState &state = appState();
    state.appPath = appFolder(stdText(QCoreApplication::applicationDirPath()));
    logToStandardError();
    // Its log says what failed; the library's lines would only repeat it.
    NrAPI::setDiagnostics(NrAPI::Diagnostics::Dropped);
    QtEventLoop loop;
    loop::EventLoop::install(&loop);
    DeviceThread device(loop);
    DeviceThread::install(&device);
    int status = 1;
    {
        PallixService service(config);
        ignoreBrokenPipes();
        StopSignals stopSignals({SIGHUP, SIGUSR1, SIGUSR2, SIGALRM});
        QObject::connect(&stopSignals, &StopSignals::stopRequested, [&service] { service.stop(); });
        QObject::connect(&stopSignals, &StopSignals::caught,
                         [&service](int number) { handleSignal(service, number); });
        try {
            service.start();
            status = QCoreApplication::exec();
        } catch (const StartError &error) {
            writeServiceLog(error.what(), LogPriority::Error);
        }
    }
    flushLogFile();
    return status;
}
