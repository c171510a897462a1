#include "ServiceOptions.h"

#include "CommandCheck.h"
#include "CommandWords.h"
#include "ConfigFile.h"
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
        {"restore-after-power-loss", "",
         "When the Pallix reports that it lost power, and with it its configuration, write back "
         "the configuration last read from or written to it, and log each setting written and "
         "each one that did not take (default: no)."},
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
         "or as a list separated by commas; dry-run and restore-after-power-loss take "
         "yes/no, true/false, on/off or 1/0. "
         "A named file that is missing, is not a regular file or is larger than 64 KiB, an "
         "unknown name, a line that is not \"name = value\" or a command whose program does "
         "not exist or may not be run ends pallixd with status 2. Commands are split into "
         "words as a shell would (quotes and backslashes, no expansion), but no shell runs "
         "them."},
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
         "service's own polls, so only pallixd uses the device's port.\n\n"
         "Who may ask what is checked by the asker's credentials: members of group pallix "
         "may use status, watch, get and a read test; set, cancel, discover and a write test "
         "are for root and members of group pallix-admin (root alone where that group does "
         "not exist), and each is logged with the user and process id. Only root may name a "
         "device that discovery did not find. The user pallixd runs as may do everything. At "
         "most 128 clients are served at once; a client that does not read what pallixd "
         "sends is dropped."},
        {"Signals",
         "SIGTERM and SIGINT end pallixd; a countdown that runs is cancelled and told so. "
         "SIGHUP reads the configuration file again and applies what can change while "
         "pallixd runs (dry-run and the commands at once, local-address and device from the "
         "next search; the socket only after a restart) and logs what changed, or why "
         "nothing did. SIGUSR1, SIGUSR2 and SIGALRM are logged and ignored, SIGPIPE is "
         "ignored."},
        {"Exit status",
         "0 after SIGTERM or SIGINT; 1 when the device library cannot be loaded or the socket "
         "cannot be made (a running pallixd already owns it, or its folder cannot be "
         "created), or a NUT or metrics address cannot be listened on; 2 for a bad command "
         "line or configuration file."},
        {"Kept configurations",
         "pallixd keeps the configuration it last read completely from each Pallix, or wrote "
         "to it, in devices/MAC.conf in its state folder ($STATE_DIRECTORY, which systemd "
         "sets to /var/lib/pallix; /var/lib/pallix for root otherwise; the user's "
         "~/.local/state/pallix for others), as lines \"name = value\" that pallixctl import "
         "takes. After a power loss the Pallix holds its defaults, which are not kept: the "
         "configuration kept before stays until one is written to the Pallix again (restored, "
         "or imported with every setting)."},
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
    QString error;
    const std::optional<QStringList> words = commandWords(text, &error);
    if (!words) throw ConfigError(QStringLiteral("%1: %2").arg(name, error));
    if (words->isEmpty()) throw ConfigError(QStringLiteral("%1 needs a program").arg(name));
    return {stdText(words->first()), stdTexts(words->mid(1))};
}

// Every command given can be started; the system's own are not checked.
void checkCommands(const ServiceConfig &config)
{
    QStringList problems;
    if (!config.notifyCommand.program.empty())
        problems << commandProblem(option("notify-command"), config.notifyCommand);
    for (const PowerOption &power : powerOptions)
        if (const auto given = config.powerCommands.find(power.code);
            given != config.powerCommands.end())
            problems << commandProblem(option(power.name), given->second);
    problems.removeAll(QString());
    if (!problems.isEmpty()) throw ConfigError(problems.join(QStringLiteral("; ")));
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
    } else if (name == QLatin1String("restore-after-power-loss")) {
        config.restoreAfterPowerLoss = yesOrNo(name, value);
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
    if (const std::optional<QString> text = configFileText(path, named))
        readConfigText(*text, path, config);
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
    checkCommands(config);
    return start;
}
