#include "CtlCommands.h"

#include "ControlRequests.h"
#include "CtlLinks.h"
#include "HeadlessDesktop.h"
#include "QtEventLoop.h"
#include "QtText.h"
#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Files.h"
#include "app/LogFile.h"
#include "device/DeviceThread.h"
#include "config/SavedConfigs.h"
#include "device/NrAPI.h"
#include "device/SettingNames.h"
#include "device/SettingsText.h"

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
    // An export is a get of every setting, written out otherwise.
    if (r.command == QLatin1String("export")) {
        request[QStringLiteral("request")] = QStringLiteral("get");
        request[QStringLiteral("name")] = QStringLiteral("all");
    }
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
        const QJsonObject last = reply.value(QStringLiteral("lastSeen")).toObject();
        if (!last.isEmpty())
            out(QStringLiteral("last seen: ") + deviceLine(str(last, "device"), last));
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

// "name = value" for each setting given, in the order of the fields.
QStringList settingLines(const QJsonObject &settings)
{
    QStringList lines;
    for (const SettingField &field : settingFields()) {
        const QString name = QLatin1String(field.name);
        if (settings.contains(name)) lines << name + QStringLiteral(" = ") + str(settings, field.name);
    }
    return lines;
}

void printSettings(const QJsonObject &reply, bool oneValue)
{
    const QJsonObject settings = reply.value(QStringLiteral("settings")).toObject();
    if (oneValue && settings.size() == 1) {
        out(settings.begin().value().toString());
        return;
    }
    for (const QString &line : settingLines(settings))
        out(line);
}

// To standard output, or to the file as one step; false when it cannot be written.
bool exportSettings(const QJsonObject &reply, const QString &path)
{
    const QStringList lines = settingLines(reply.value(QStringLiteral("settings")).toObject());
    if (path.isEmpty()) {
        for (const QString &line : lines)
            out(line);
        return true;
    }
    std::string error;
    if (!replaceFile(stdText(path), stdText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n')),
                     &error)) {
        complain(QStringLiteral("cannot write %1: %2").arg(path, qText(error)));
        return false;
    }
    out(QStringLiteral("%1 settings written to %2").arg(lines.size()).arg(path));
    return true;
}

// The settings of an import file, {name: value}; every line that cannot be
// used goes to problems.
QJsonObject importSettings(const QString &path, QStringList *problems)
{
    const std::optional<std::string> text = readFile(stdText(path));
    if (!text) {
        *problems << QStringLiteral("cannot read %1").arg(path);
        return {};
    }
    const ParsedSettings parsed = parseSettingsText(*text);
    for (const SettingsLineError &error : parsed.errors)
        *problems << path + QStringLiteral(": ") + qText(describeLineError(error));
    if (parsed.errors.empty() && parsed.settings.empty())
        *problems << QStringLiteral("%1 holds no settings").arg(path);
    QJsonObject settings;
    for (const SettingValue &setting : parsed.settings)
        settings[QLatin1String(setting.field->name)] =
            qText(settingText(*setting.field, setting.value));
    return settings;
}

void printImported(const QJsonObject &reply)
{
    const QJsonObject written = reply.value(QStringLiteral("written")).toObject();
    for (const QString &line : settingLines(written))
        out(line);
    out(QStringLiteral("%1 setting(s) written; every setting of the file reads back as given")
            .arg(written.size()));
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
    } else if (command == QLatin1String("import")) {
        printImported(reply);
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
    savedConfigs().setFolder(stateFolder());
}

// Why a reply failed: a setting that did not take is one line each.
void complainOf(const QJsonObject &reply)
{
    const QJsonArray notTaken = reply.value(QStringLiteral("notTaken")).toArray();
    if (notTaken.isEmpty()) complain(str(reply, "error"));
    for (const QJsonValue &line : notTaken)
        complain(line.toString());
}

}   // namespace

int runCtl(const CtlRequest &r)
{
    QJsonObject request = requestOf(r);
    if (r.command == QLatin1String("import")) {
        QStringList problems;
        request[QStringLiteral("settings")] = importSettings(r.words[0], &problems);
        for (const QString &problem : problems)
            complain(problem);
        if (!problems.isEmpty()) {
            complain(QStringLiteral("nothing was written"));
            return BadInput;
        }
    }
    catchInterrupt();
    QtEventLoop loop;
    loop::EventLoop::install(&loop);
    DeviceThread device(loop);
    DeviceThread::install(&device);
    QString problem;
    std::unique_ptr<CtlLink> link = ServiceLink::open(r.socketPath, &problem);
    HeadlessDesktop desktop;
    Desktop::install(&desktop);
    std::unique_ptr<MonitorLock> monitorLock;
    if (!link) {
        QString refusal = problem;
        if (r.socketPath.isEmpty()) monitorLock = claimDirectAccess(problem, &refusal);
        if (!monitorLock) {
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
    QJsonObject reply = link->exchange(request, streamed);
    if (reply.value(QStringLiteral("ok")).toBool() && r.command == QLatin1String("watch")) {
        r.json
            ? printJson(reply)
            : out(QStringLiteral("Watching pallixd (%1); Ctrl-C ends.").arg(str(reply, "state")));
        reply = link->follow(streamed);
    }
    const bool ok = reply.value(QStringLiteral("ok")).toBool();
    int status = exitStatus(reply);
    if (ok && r.command == QLatin1String("export")) {
        if (!exportSettings(reply, r.words.value(0))) status = Failed;
    } else if (r.json) {
        printJson(reply);
    } else if (ok) {
        printReply(r, reply, link->throughService());
    } else {
        complainOf(reply);
    }
    flushLogFile();
    setLogSink({});
    Desktop::install(nullptr);
    return status;
}
