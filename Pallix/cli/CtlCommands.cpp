#include "CtlCommands.h"

#include "ControlRequests.h"
#include "CtlLinks.h"
#include "HeadlessDesktop.h"
#include "QtEventLoop.h"
#include "QtText.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/LogFile.h"
#include "device/DeviceThread.h"
#include "device/NrAPI.h"
#include "device/SettingNames.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

namespace {

constexpr int Failed = 1;
constexpr int BadInput = 2;
constexpr int Interrupted = 130;

void out(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

void complain(const QString &line)
{
    std::fprintf(stderr, "pallixctl: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

QString str(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString();
}

QJsonObject requestOf(const CtlRequest &r)
{
    QJsonObject request{{QStringLiteral("request"), r.command}};
    if (!r.device.isEmpty()) request[QStringLiteral("device")] = r.device;
    if (r.command == QLatin1String("get"))
        request[QStringLiteral("name")] = r.words.value(0, QStringLiteral("all"));
    if (r.command == QLatin1String("set")) {
        request[QStringLiteral("name")] = r.words[0];
        request[QStringLiteral("value")] = r.words[1];
    }
    if (r.command == QLatin1String("selftest")) {
        request[QStringLiteral("test")] = r.words[0];
        request[QStringLiteral("loops")] = r.loops;
        request[QStringLiteral("details")] = r.details;
    }
    return request;
}

QString deviceLine(const QString &address, const QJsonObject &reply)
{
    const QString firmware = str(reply, "firmware"), mac = str(reply, "mac");
    if (firmware.isEmpty() && mac.isEmpty())
        return QStringLiteral("Pallix %1 (firmware and MAC address unknown)").arg(address);
    return QStringLiteral("Pallix %1 (firmware %2, MAC address %3)").arg(address, firmware, mac);
}

void printStatus(const QJsonObject &reply, bool throughService)
{
    if (throughService) {
        out(QStringLiteral("pallixd: %1%2")
                .arg(str(reply, "state"), reply.value(QStringLiteral("dryRun")).toBool()
                                              ? QStringLiteral(" (dry run)")
                                              : QString()));
        if (!str(reply, "device").isEmpty()) out(deviceLine(str(reply, "device"), reply));
        const QJsonObject countdown = reply.value(QStringLiteral("countdown")).toObject();
        if (!countdown.isEmpty())
            out(QStringLiteral("countdown: %1 in %2 second(s)")
                    .arg(str(countdown, "action"))
                    .arg(countdown.value(QStringLiteral("secondsLeft")).toInt()));
        out(QStringLiteral("global status: %1")
                .arg(reply.value(QStringLiteral("globalStatus")).toInt()));
        return;
    }
    out(deviceLine(str(reply, "device"), reply));
    out(QStringLiteral("global status: %1")
            .arg(reply.value(QStringLiteral("globalStatus")).toInt()));
    const auto pair = [&](const char *key) {
        const QJsonArray values = reply.value(QLatin1String(key)).toArray();
        return values[0].toString() + QLatin1Char(' ') + values[1].toString();
    };
    out(QStringLiteral("outputs 1 2: ") + pair("outputs"));
    out(QStringLiteral("inputs 1 2: ") + pair("inputs"));
}

void printSettings(const QJsonObject &reply, bool oneValue)
{
    const QJsonObject settings = reply.value(QStringLiteral("settings")).toObject();
    if (oneValue && settings.size() == 1) {
        out(settings.begin().value().toString());
        return;
    }
    for (const SettingField &field : settingFields()) {
        const QString name = QLatin1String(field.name);
        if (settings.contains(name)) out(name + QStringLiteral(" = ") + str(settings, field.name));
    }
}

// A reply as a person reads it.
void printReply(const CtlRequest &r, const QJsonObject &reply, bool throughService)
{
    const QString &command = r.command;
    if (command == QLatin1String("discover")) {
        for (const QJsonValue &device : reply.value(QStringLiteral("found")).toArray())
            out(deviceLine(str(device.toObject(), "address"), device.toObject()));
    } else if (command == QLatin1String("status")) {
        printStatus(reply, throughService);
    } else if (command == QLatin1String("get")) {
        printSettings(reply, !r.words.isEmpty() && r.words[0] != QLatin1String("all"));
    } else if (command == QLatin1String("set")) {
        printSettings(reply, false);
    } else if (command == QLatin1String("cancel")) {
        out(QStringLiteral("The countdown was cancelled."));
    } else if (command == QLatin1String("selftest")) {
        out(QStringLiteral("Self test: %1 pass(es), no problems")
                .arg(reply.value(QStringLiteral("passes")).toInt()));
    }
}

void printStreamed(const QJsonObject &object)
{
    if (object.contains(QStringLiteral("event")))
        out(str(object, "event") + QStringLiteral(": ") + str(object, "message"));
    else
        out(str(object, "line"));
}

void printJson(const QJsonObject &object)
{
    out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

int exitStatus(const QJsonObject &reply)
{
    if (interrupted()) return Interrupted;
    if (reply.value(QStringLiteral("ok")).toBool()) return 0;
    return str(reply, "kind") == ReplyKind::Invalid ? BadInput : Failed;
}

// Standard output carries the replies alone: the library's diagnostics and
// the core's log entries go to standard error.
void prepareDirectAccess()
{
    NrAPI::setDiagnostics(NrAPI::Diagnostics::StandardError);
    AppState &state = appState();
    state.appPath = appFolder(stdText(QCoreApplication::applicationDirPath()));
    setLogSink([](const std::string &entry) { complain(qText(entry)); });
}

}   // namespace

int runCtl(const CtlRequest &r)
{
    catchInterrupt();
    QtEventLoop loop;
    loop::EventLoop::install(&loop);
    DeviceThread device(loop);
    DeviceThread::install(&device);
    QString problem;
    std::unique_ptr<CtlLink> link = ServiceLink::open(r.socketPath, &problem);
    HeadlessDesktop desktop;
    Desktop::install(&desktop);
    if (!link) {
        const QString refusal = r.socketPath.isEmpty() ? directAccessRefusal(problem) : problem;
        if (!refusal.isEmpty()) {
            complain(refusal);
            Desktop::install(nullptr);
            return Failed;
        }
        prepareDirectAccess();
        link = std::make_unique<DirectLink>(r);
    }
    const Streamed streamed = [&r](const QJsonObject &object) {
        r.json ? printJson(object) : printStreamed(object);
    };
    QJsonObject reply = link->exchange(requestOf(r), streamed);
    if (reply.value(QStringLiteral("ok")).toBool() && r.command == QLatin1String("watch")) {
        r.json
            ? printJson(reply)
            : out(QStringLiteral("Watching pallixd (%1); Ctrl-C ends.").arg(str(reply, "state")));
        reply = link->follow(streamed);
    }
    if (r.json)
        printJson(reply);
    else if (reply.value(QStringLiteral("ok")).toBool())
        printReply(r, reply, link->throughService());
    else
        complain(str(reply, "error"));
    flushLogFile();
    setLogSink({});
    Desktop::install(nullptr);
    return exitStatus(reply);
}
