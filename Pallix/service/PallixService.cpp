#include "PallixService.h"

#include "AppInstance.h"
#include "AppState.h"
#include "CommandLineOptions.h"
#include "ControlRequests.h"
#include "ControlSocket.h"
#include "DeviceMonitor.h"
#include "FirmwareCheck.h"
#include "LogFile.h"
#include "MonitorState.h"
#include "NrAPI.h"
#include "OtherMonitor.h"
#include "StopSignals.h"
#include "WinShutdown.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <cstdio>

namespace {

QString text(const QJsonObject &request, const char *key)
{
    return request.value(QLatin1String(key)).toString();
}

}   // namespace

PallixService::PallixService(const ServiceConfig &config)
    : config_(config), events_(watch, config.notifyCommand),
      server_(
          [this](ControlClient &client, const QJsonObject &request) { handle(client, request); })
{
    AppState &state = appState();
    state.dryRun = config.dryRun;
    state.localAddressOverride = config.localAddresses;
    state.fixedDevice = config.device;
    state.powerCommands = config.powerCommands;
    // Nobody is at the service to accept an update; the log says it once.
    watch.search.offerFirmwareUpdate = false;
    desktop_.setUnlogged(powerLostText());   // told as the power-lost event
    Desktop::install(&desktop_);
    connect(&events_, &ServiceEvents::told, this, [this](const QString &event, const QString &m) {
        server_.sendToWatchers({{QStringLiteral("event"), event}, {QStringLiteral("message"), m}});
    });
    connect(&watch, &DeviceWatch::deviceFound, this, [this] {
        const QString version = appState().firmwareVersion;
        if (firmwareTold_ || version == QLatin1String(CarriedFirmwareVersion)) return;
        firmwareTold_ = true;
        logFile(QStringLiteral("The Pallix has firmware %1, not %2; pallixd offers no update "
                               "(the Pallix Control Center does)")
                    .arg(version, QLatin1String(CarriedFirmwareVersion)));
    });
    controlCenterCheck_.setInterval(ControlCenterRecheckMs);
    connect(&controlCenterCheck_, &QTimer::timeout, this, &PallixService::startWatchingUnlessTaken);
}

PallixService::~PallixService() { Desktop::install(nullptr); }

void PallixService::start()
{
    const QString path = config_.socketPath.isEmpty() ? defaultSocketPath() : config_.socketPath;
    if (path.isEmpty())
        throw StartError(QStringLiteral("XDG_RUNTIME_DIR is not set: name the socket with "
                                        "--socket"));
    server_.listen(path);
    QString reason;
    if (!NrAPI::load(&reason))
        throw StartError(QStringLiteral("cannot load the device library: ") + reason);
    logFile(QStringLiteral("pallixd listens on %1%2")
                .arg(server_.path(), config_.dryRun ? QStringLiteral(" (dry run)") : QString()));
    // The first search talks to the device; run it inside the event loop,
    // so a SIGTERM that comes meanwhile ends the loop rather than being
    // spent before the loop has begun.
    QTimer::singleShot(0, this, &PallixService::startWatchingUnlessTaken);
}

void PallixService::startWatchingUnlessTaken()
{
    const QString other = otherMonitorRunning(MonitorProgram::Service);
    if (!other.isEmpty()) {
        if (!waiting_) logFile(other);
        waiting_ = true;
        controlCenterCheck_.start();
        return;
    }
    controlCenterCheck_.stop();
    if (waiting_) logFile(QStringLiteral("The Control Center has ended: pallixd starts watching"));
    waiting_ = false;
    watch.start();
}

void PallixService::stop()
{
    if (appState().ending) return;
    logFile(QStringLiteral("pallixd ends"));
    stopSelfTestsAndRestore();
    endApplication(0);
}

QString PallixService::state() const
{
    if (waiting_) return QStringLiteral("waiting");
    if (watch.countdown.counting()) return QStringLiteral("counting-down");
    return monitorState().watching() ? QStringLiteral("watching") : QStringLiteral("searching");
}

void PallixService::handle(ControlClient &client, const QJsonObject &request)
{
    const QString name = text(request, "request");
    QJsonObject reply;
    if (name == QLatin1String("status"))
        reply = status();
    else if (name == QLatin1String("cancel"))
        reply = cancel();
    else if (name == QLatin1String("watch"))
        reply = watchEvents(client);
    else if (name == QLatin1String("discover"))
        reply = devicesReply();
    else if (name == QLatin1String("get") || name == QLatin1String("set")
             || name == QLatin1String("selftest"))
        reply = deviceRequest(client, request);
    else
        reply = errorReply(QStringLiteral("Unknown request \"%1\": status, cancel, watch, "
                                          "discover, get, set or selftest")
                               .arg(name),
                           ReplyKind::Invalid);
    reply[QStringLiteral("request")] = name;
    client.send(reply);
}

QJsonObject PallixService::status() const
{
    const AppState &app = appState();
    QJsonObject reply = devicesReply();
    reply[QStringLiteral("state")] = state();
    reply[QStringLiteral("device")] = app.deviceList.value(0);
    reply[QStringLiteral("globalStatus")] = app.lastGlobalStatus;
    reply[QStringLiteral("dryRun")] = app.dryRun;
    if (watch.countdown.counting())
        reply[QStringLiteral("countdown")] =
            QJsonObject{{QStringLiteral("action"), countdownActionName(watch.countdown.mode())},
                        {QStringLiteral("secondsLeft"), watch.countdown.secondsLeft()}};
    return reply;
}

QJsonObject PallixService::cancel()
{
    if (!watch.countdown.counting())
        return errorReply(QStringLiteral("No countdown runs"), ReplyKind::Refused);
    watch.countdown.cancel();
    return okReply();
}

QJsonObject PallixService::watchEvents(ControlClient &client)
{
    client.setWatching(true);
    QJsonObject reply = status();
    return reply;
}

QJsonObject PallixService::deviceRequest(ControlClient &client, const QJsonObject &request)
{
    if (waiting_)
        return errorReply(otherMonitorRunning(MonitorProgram::Service), ReplyKind::Refused);
    QString address = text(request, "device");
    if (!address.isEmpty() && !isIPv4Address(address))
        return errorReply(
            QStringLiteral("\"device\" wants a dotted IPv4 address, not \"%1\"").arg(address),
            ReplyKind::Invalid);
    if (address.isEmpty()) {
        if (!monitorState().watching())
            return errorReply(
                QStringLiteral("pallixd has not found the Pallix (it is %1)").arg(state()),
                ReplyKind::Refused);
        address = appState().deviceList.value(0);
    }
    if (deviceRequestRunning_ || NrAPI::busy())
        return errorReply(QStringLiteral("pallixd is busy with another request"), ReplyKind::Busy);
    deviceRequestRunning_ = true;
    QJsonObject reply;
    const QString name = text(request, "request");
    if (name == QLatin1String("selftest")) {
        reply = selfTest(client, address, request);
    } else {
        // The poll waits, as it does for the configuration window.
        const MonitorHoldScope hold(MonitorHold::DeviceOperation);
        reply = name == QLatin1String("get")
                    ? getReply(address, text(request, "name"))
                    : setReply(address, text(request, "name"), text(request, "value"));
    }
    deviceRequestRunning_ = false;
    return reply;
}

// The test runs on the watched device, as the window's does, with the
// monitor polling beside it; a client that goes stops it.
QJsonObject PallixService::selfTest(ControlClient &client, const QString &address,
                                    const QJsonObject &request)
{
    const QString kind = text(request, "test");
    const int loops = request.value(QStringLiteral("loops")).toInt(1);
    if (kind != QLatin1String("read") && kind != QLatin1String("write"))
        return errorReply(QStringLiteral("\"test\" is read or write"), ReplyKind::Invalid);
    if (loops < 1 || loops > SelfTest::MaxLoops)
        return errorReply(QStringLiteral("\"loops\" is 1 to %1").arg(SelfTest::MaxLoops),
                          ReplyKind::Invalid);
    if (address != appState().deviceList.value(0))
        return errorReply(QStringLiteral("The self test runs on the watched Pallix only"),
                          ReplyKind::Invalid);
    HeadlessSelfTest test(desktop_, loops, request.value(QStringLiteral("details")).toBool(),
                          [&client](const QString &line) {
                              client.send({{QStringLiteral("line"), line}});
                          });
    const QMetaObject::Connection gone =
        connect(&client, &ControlClient::closed, this, [&test] { test.stop(); });
    const QJsonObject reply =
        test.run(kind == QLatin1String("read") ? SelfTestKind::Read : SelfTestKind::Write);
    disconnect(gone);
    return reply;
}

int runService(const ServiceConfig &config)
{
    AppState &state = appState();
    state.appPath = appFolder(QCoreApplication::applicationDirPath());
    setLogSink([](const QString &entry) {
        std::fprintf(stderr, "pallixd: %s\n", entry.toLocal8Bit().constData());
        std::fflush(stderr);
    });
    PallixService service(config);
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &service, &PallixService::stop);
    try {
        service.start();
    } catch (const StartError &error) {
        logFile(QString::fromStdString(error.what()));
        flushLogFile();
        return 1;
    }
    const int status = QCoreApplication::exec();
    flushLogFile();
    return status;
}
