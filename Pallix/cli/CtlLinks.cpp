#include "CtlLinks.h"

#include "ControlRequests.h"
#include "ControlSocket.h"
#include "HeadlessDesktop.h"
#include "QtText.h"
#include "RunToEnd.h"
#include "StopSignals.h"
#include "app/AppState.h"
#include "app/LocalNetworks.h"
#include "app/OtherMonitor.h"
#include "app/Platform.h"
#include "device/NrAPI.h"
#include "watch/NrDiscovery.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <csignal>

namespace {

constexpr int ConnectMs = 2000;
constexpr int PollMs = 100;

volatile std::sig_atomic_t interruptSeen = 0;

void onInterrupt(int) { interruptSeen = 1; }

QString text(const QJsonObject &request, const char *key)
{
    return request.value(QLatin1String(key)).toString();
}

}   // namespace

bool interrupted() { return interruptSeen != 0; }

void catchInterrupt()
{
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

std::unique_ptr<ServiceLink> ServiceLink::open(const QString &namedPath, QString *problem)
{
    const QStringList paths = namedPath.isEmpty() ? socketCandidates() : QStringList{namedPath};
    for (const QString &path : paths) {
        if (!QFileInfo::exists(path)) continue;
        auto link = std::make_unique<ServiceLink>();
        link->socket_.connectToServer(path);
        if (link->socket_.waitForConnected(ConnectMs)) return link;
        if (link->socket_.error() == QLocalSocket::SocketAccessError)
            *problem =
                QStringLiteral("pallixd's socket %1 is for its owner and group only").arg(path);
    }
    if (!namedPath.isEmpty() && problem->isEmpty())
        *problem = QStringLiteral("no pallixd answers on %1").arg(namedPath);
    return nullptr;
}

std::optional<QJsonObject> ServiceLink::next()
{
    for (;;) {
        const qsizetype end = buffer_.indexOf('\n');
        if (end >= 0) {
            const QByteArray line = buffer_.left(end);
            buffer_.remove(0, end + 1);
            const QJsonDocument document = QJsonDocument::fromJson(line);
            if (document.isObject()) return document.object();
            continue;
        }
        if (interrupted() || socket_.state() != QLocalSocket::ConnectedState) return std::nullopt;
        if (socket_.waitForReadyRead(PollMs)) buffer_ += socket_.readAll();
    }
}

QJsonObject ServiceLink::exchange(const QJsonObject &request, const Streamed &streamed)
{
    socket_.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    socket_.flush();
    while (const std::optional<QJsonObject> object = next()) {
        if (object->contains(QStringLiteral("ok"))) return *object;
        streamed(*object);
    }
    if (interrupted()) {
        socket_.disconnectFromServer();   // the service stops what it runs for us
        return errorReply(QStringLiteral("Interrupted; pallixd stops the request (a write "
                                         "test writes the settings back first)"),
                          ReplyKind::Refused);
    }
    return errorReply(QStringLiteral("pallixd closed the connection"), ReplyKind::Refused);
}

QJsonObject ServiceLink::follow(const Streamed &streamed)
{
    while (const std::optional<QJsonObject> object = next())
        streamed(*object);
    if (interrupted()) return okReply();
    return errorReply(QStringLiteral("pallixd closed the connection"), ReplyKind::Refused);
}

std::unique_ptr<MonitorLock> claimDirectAccess(const QString &socketProblem, QString *refusal)
{
    std::string other;
    MonitorHolder holder;
    std::unique_ptr<MonitorLock> lock = claimMonitor(MonitorProgram::CommandLine, &other, &holder);
    if (lock && socketProblem.isEmpty()) return lock;
    if (lock)
        *refusal = socketProblem;
    else if (holder.program == ServiceProgram)
        *refusal = (socketProblem.isEmpty()
                        ? QStringLiteral("pallixd runs, but its socket cannot be opened")
                        : socketProblem)
                   + QStringLiteral(": run pallixctl as its user or in its group (or name the "
                                    "socket with --socket)");
    else
        *refusal = qText(other);
    return nullptr;
}

DirectLink::DirectLink(const CtlRequest &request)
{
    AppState &state = appState();
    state.localAddressOverride = stdTexts(request.localAddresses);
    state.fixedDevice = stdText(request.device);
}

QJsonObject DirectLink::findDevice(bool probeNamedDevice)
{
    std::string reason;
    if (!NrAPI::load(&reason))
        return errorReply(QStringLiteral("Cannot load the device library: ") + qText(reason),
                          ReplyKind::Device);
    AppState &state = appState();
    if (!state.fixedDevice.empty() && !probeNamedDevice) {
        // Named: its registers answer for it, no probe needed.
        state.deviceList = {state.fixedDevice, std::string()};
        state.deviceCount = 1;
        state.discoveryFailed = false;
        return {};
    }
    runToEnd(runDiscovery());
    if (!state.discoveryFailed) return {};
    const QString where = state.fixedDevice.empty()
                              ? QStringLiteral("on the networks of %1")
                                    .arg(qTexts(localAddresses()).join(QStringLiteral(", ")))
                              : QStringLiteral("at %1").arg(qText(state.fixedDevice));
    return errorReply(QStringLiteral("No Pallix answers %1").arg(where), ReplyKind::Device);
}

QJsonObject DirectLink::exchange(const QJsonObject &request, const Streamed &streamed)
{
    const QString name = text(request, "request");
    if (name == QLatin1String("watch") || name == QLatin1String("cancel"))
        return errorReply(QStringLiteral("pallixd does not run, so there is %1")
                              .arg(name == QLatin1String("watch")
                                       ? QStringLiteral("nothing to watch")
                                       : QStringLiteral("no countdown to cancel")),
                          ReplyKind::Refused);
    if (name == QLatin1String("get") || name == QLatin1String("set")) {
        // Bad input is refused before anything reaches the device.
        const QString value = text(request, "value");
        const QJsonObject refused = settingRequestError(
            text(request, "name"), name == QLatin1String("set") ? &value : nullptr);
        if (!refused.isEmpty()) return refused;
    }
    const QJsonObject settings = request.value(QStringLiteral("settings")).toObject();
    if (name == QLatin1String("import")) {
        const QJsonObject refused = importRequestError(settings);
        if (!refused.isEmpty()) return refused;
    }
    // A status names the firmware and MAC address, which only the probe tells.
    const QJsonObject notFound =
        findDevice(name == QLatin1String("discover") || name == QLatin1String("status"));
    if (!notFound.isEmpty()) return notFound;
    const QString device = qText(appState().firstDevice());
    if (name == QLatin1String("discover")) return devicesReply();
    if (name == QLatin1String("status")) {
        QJsonObject reply = runToEnd(deviceStatusReply(device));
        const QJsonObject devices = devicesReply();
        for (auto it = devices.begin(); it != devices.end(); ++it)
            if (!reply.contains(it.key())) reply.insert(it.key(), it.value());
        return reply;
    }
    if (name == QLatin1String("get")) return runToEnd(getReply(device, text(request, "name")));
    if (name == QLatin1String("set"))
        return runToEnd(setReply(device, text(request, "name"), text(request, "value")));
    if (name == QLatin1String("import")) return runToEnd(importReply(device, settings));
    return selfTest(request, streamed);
}

QJsonObject DirectLink::follow(const Streamed &) { return okReply(); }

// Ctrl-C stops the test at its next step; a write test then writes the
// saved settings back before it returns.
QJsonObject DirectLink::selfTest(const QJsonObject &request, const Streamed &streamed)
{
    HeadlessSelfTest test(request.value(QStringLiteral("loops")).toInt(1),
                          request.value(QStringLiteral("details")).toBool(),
                          [&streamed](const QString &line) {
                              streamed({{QStringLiteral("line"), line}});
                          });
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, [&test] {
        interruptSeen = 1;
        test.stop();
    });
    return runToEnd(test.run(text(request, "test") == QLatin1String("read")
                                 ? SelfTestKind::Read
                                 : SelfTestKind::Write));
}
