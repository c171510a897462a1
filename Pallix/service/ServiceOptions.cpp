#include "ServiceOptions.h"

#include "QtText.h"
#include "app/Options.h"
#include "watch/WinShutdown.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

namespace {

struct PowerOption {
    int code;
    const char *name;
    const char *what;
};

// The action codes that carry out something, by the option that replaces
// their command.
constexpr PowerOption powerOptions[] = {
    {1, "shutdown-command", "Shutdown"},   {2, "restart-command", "Restart"},
    {3, "hibernate-command", "Hibernate"}, {4, "standby-command", "Stand By"},
    {5, "logout-command", "Log Out"},      {7, "sleep-command", "register value 6"},
};

// "(default: ...)", or what happens without one.
std::string defaultCommandText(int code)
{
    const auto line = linuxPowerCommand(code, "self");
    if (!line) return ", which reads No Action everywhere (without one nothing runs)";
    return " (default: " + line->text() + ")";
}

programdoc::ProgramDoc makeDoc()
{
    programdoc::ProgramDoc doc;
    doc.name = "pallixd";
    doc.section = 8;
    doc.summary = "the Pallix monitor service";
    doc.synopsis = {"[--config FILE] [OPTION...]"};
    doc.description =
        "Watches the Pallix on the PC's local network without a desktop, as the Pallix Control "
        "Center does: it finds the device by a broadcast on each local network (or watches the "
        "one named by --device), reads its global status every 2 seconds, and when the device "
        "asks for the PC's power action it counts down the device's power-off delay and then "
        "carries out the device's power-off action. An enabled power input that becomes active "
        "abandons the countdown. After more than ten failed reads it searches every 10 seconds. "
        "It logs to standard error, one line for each change of state; when that is systemd's "
        "journal, each line carries its priority instead of the program's name: errors (a "
        "failed device call, a start that fails) and warnings (the device lost, a power loss, "
        "a power request and its action, an abandoned countdown, a forced shutdown of NUT "
        "secondaries) stand out in journalctl -p warning.";
    doc.options = {
        {"config", "FILE",
         "Read the settings from FILE (default /etc/pallix/pallixd.conf, which may be missing). "
         "Options given on the command line override the file."},
        {"local-address", "ADDR",
         "Use ADDR as one of the PC's IPv4 addresses for discovery instead of the real ones "
         "(repeatable)."},
        {"device", "ADDR", "Watch the Pallix at ADDR without broadcasting for it."},
        {"dry-run", "", "Write power actions to the log instead of carrying them out."},
        {"notify-command", "PROGRAM",
         "Start PROGRAM for each event, with the event name and a message as its two last "
         "arguments; never through a shell, and never waited for."},
        {"socket", "PATH",
         "Listen on PATH (default /run/pallix/pallixd.sock for root, "
         "$XDG_RUNTIME_DIR/pallixd.sock for others)."},
    };
    for (const PowerOption &power : powerOptions)
        doc.options.push_back({power.name, "COMMAND",
                               std::string("The command for ") + power.what
                                   + defaultCommandText(power.code) + "."});
    for (const programdoc::Option &network : networkOptions())
        doc.options.push_back(network);
    doc.options.push_back({"help", "", "Show this help and end."});
    doc.options.push_back({"version", "", "Show the version and end."});
    doc.sections = {
        {"Configuration file",
         "The file holds lines \"name = value\" with the names of the long options, for "
         "example:\n\n"
         "  [pallixd]\n  local-address = 192.168.1.20\n  dry-run = no\n"
         "  notify-command = /usr/local/bin/pallix-event\n  shutdown-command = systemctl "
         "poweroff\n\n"
         "Lines starting with # or ; are comments; local-address may be given more than once "
         "or as a list separated by commas; dry-run takes yes/no, true/false, on/off or 1/0. "
         "A named file that is missing, an unknown name or a line that is not \"name = value\" "
         "ends pallixd with status 2. Commands are split into words as a shell would, but no "
         "shell runs them."},
        {"Events",
         "device-found, device-lost (once, when the device stops answering; found again once "
         "it answers), power-request, countdown-abandoned, countdown-cancelled, power-action "
         "and power-lost. Each is one log line \"event: message\" and, with --notify-command, "
         "one start of the program."},
        networkSection(),
        {"Control socket",
         "pallixctl(1) talks to pallixd on its socket, which only its owner and group may "
         "open (mode 0660). Each request is one JSON object on one line, and so is each "
         "reply:\n\n"
         "  {\"request\":\"status\"}\n  {\"request\":\"cancel\"}\n"
         "  {\"request\":\"watch\"}\n  {\"request\":\"discover\"}\n"
         "  {\"request\":\"get\",\"name\":\"all\"}\n"
         "  {\"request\":\"set\",\"name\":\"powerOffDelay\",\"value\":\"30\"}\n"
         "  {\"request\":\"selftest\",\"test\":\"write\",\"loops\":1}\n\n"
         "get, set and selftest take \"device\" (default: the watched one). A reply has "
         "\"ok\"; a failed one has \"error\" and a \"kind\": invalid (bad input, nothing was "
         "done), device, busy or refused. watch answers once, then sends one object "
         "{\"event\":NAME,\"message\":TEXT} per event until the client closes; selftest sends "
         "{\"line\":TEXT} per log line before its reply, and a client that closes stops the "
         "test (a write test restores the settings first). Device requests run between the "
         "service's own polls, so only pallixd uses the device's port."},
        {"Exit status",
         "0 after SIGTERM or SIGINT; 1 when the device library cannot be loaded or the socket "
         "cannot be made (a running pallixd already owns it, or its folder cannot be "
         "created), or a NUT or metrics address cannot be listened on; 2 for a bad command "
         "line or configuration file."},
        {"Control Center",
         "While the Pallix Control Center runs, pallixd waits and says so; it starts watching "
         "once the Control Center has ended. The Control Center does not start while pallixd "
         "runs."},
        {"See also", "pallixctl(1)"},
    };
    return doc;
}

QString option(const char *name) { return QString::fromLatin1(name); }

CommandLine commandFrom(const QString &name, const QString &text)
{
    const QStringList words = QProcess::splitCommand(text);
    if (words.isEmpty()) throw ConfigError(QStringLiteral("%1 needs a program").arg(name));
    return {stdText(words.first()), stdTexts(words.mid(1))};
}

QString checkedAddress(const QString &name, const QString &text)
{
    if (!isIPv4Address(stdText(text)))
        throw ConfigError(
            QStringLiteral("%1 wants a dotted IPv4 address, not \"%2\"").arg(name, text));
    return text;
}

bool yesOrNo(const QString &name, const QString &text)
{
    static const QStringList yes{"yes", "true", "on", "1"}, no{"no", "false", "off", "0"};
    if (yes.contains(text.toLower())) return true;
    if (no.contains(text.toLower())) return false;
    throw ConfigError(QStringLiteral("%1 takes yes or no, not \"%2\"").arg(name, text));
}

// One setting, from the file or the command line.
void apply(const QString &name, const QString &value, ServiceConfig &config)
{
    if (name == QLatin1String("local-address")) {
        for (const QString &address :
             value.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts))
            config.localAddresses << checkedAddress(name, address);
    } else if (name == QLatin1String("device")) {
        config.device = checkedAddress(name, value);
    } else if (name == QLatin1String("dry-run")) {
        config.dryRun = yesOrNo(name, value);
    } else if (name == QLatin1String("notify-command")) {
        config.notifyCommand = commandFrom(name, value);
    } else if (name == QLatin1String("socket")) {
        if (value.isEmpty()) throw ConfigError(QStringLiteral("socket needs a path"));
        config.socketPath = value;
    } else {
        if (applyNetworkSetting(name, value, config.network)) return;
        for (const PowerOption &power : powerOptions)
            if (name == QLatin1String(power.name)) {
                config.powerCommands[power.code] = commandFrom(name, value);
                return;
            }
        throw ConfigError(QStringLiteral("unknown setting \"%1\"").arg(name));
    }
}

void readConfigFile(const QString &path, bool named, ServiceConfig &config)
{
    QFile file(path);
    if (!file.exists() && !named) return;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ConfigError(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    readConfigText(QString::fromUtf8(file.readAll()), path, config);
}

void writeManPage(const QString &path)
{
    std::string error;
    if (!programdoc::writeManPage(serviceDoc(), path.toStdString(), &error))
        throw ConfigError(QString::fromStdString(error));
}

}   // namespace

const programdoc::ProgramDoc &serviceDoc()
{
    static const programdoc::ProgramDoc doc = makeDoc();
    return doc;
}

void readConfigText(const QString &text, const QString &fileName, ServiceConfig &config)
{
    static const QRegularExpression setting(QStringLiteral(R"(^([A-Za-z-]+)\s*=\s*(.*?)\s*$)"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        const QString line = lines[number - 1].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';'))
            || line == QLatin1String("[pallixd]"))
            continue;
        const QRegularExpressionMatch match = setting.match(line);
        try {
            if (!match.hasMatch() || match.captured(1) == QLatin1String("config"))
                throw ConfigError(QStringLiteral("\"%1\" is not \"name = value\"").arg(line));
            apply(match.captured(1), match.captured(2), config);
        } catch (const ConfigError &error) {
            throw ConfigError(QStringLiteral("%1:%2: %3")
                                  .arg(fileName)
                                  .arg(number)
                                  .arg(QString::fromStdString(error.what())));
        }
    }
}

ServiceStart parseServiceArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    for (const programdoc::Option &o : serviceDoc().options)
        parser.addOption(QCommandLineOption(QString::fromStdString(o.name), QString(),
                                            QString::fromStdString(o.value)));
    parser.addOption(QCommandLineOption(option("man-page"), QString(), option("FILE")));
    if (!parser.parse(arguments)) throw ConfigError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        throw ConfigError(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    ServiceStart start;
    if (parser.isSet(option("help"))) {
        programdoc::printText(programdoc::helpText(serviceDoc()));
        start.run = false;
    } else if (parser.isSet(option("version"))) {
        programdoc::printText("pallixd " + programdoc::version() + "\n");
        start.run = false;
    } else if (parser.isSet(option("man-page"))) {
        writeManPage(parser.value(option("man-page")));
        start.run = false;
    }
    if (!start.run) return start;

    ServiceConfig &config = start.config;
    const bool named = parser.isSet(option("config"));
    readConfigFile(named ? parser.value(option("config")) : option(DefaultConfigFile), named,
                   config);
    // Options over the file: a list given again replaces the file's.
    if (parser.isSet(option("local-address"))) config.localAddresses.clear();
    for (const programdoc::Option &o : serviceDoc().options) {
        const QString name = QString::fromStdString(o.name);
        if (name == QLatin1String("config") || !parser.isSet(name)) continue;
        if (fromFileOnly(name))
            throw ConfigError(QStringLiteral("%1 is read from the configuration file only: a "
                                             "command line shows in every process list")
                                  .arg(name));
        if (o.value.empty())
            apply(name, QStringLiteral("yes"), config);
        else
            for (const QString &value : parser.values(name))
                apply(name, value, config);
    }
    checkNetworkConfig(config.network);
    return start;
}
