#include "CtlOptions.h"

#include "QtText.h"
#include "app/Options.h"
#include "device/SettingNames.h"
#include "selftest/SelfTest.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <cstdio>

namespace {

std::string settingsList()
{
    std::string text = "Settings, as the configuration window names them, and their values:\n\n";
    for (const SettingUnit unit :
         {SettingUnit::HalfSeconds, SettingUnit::Enable, SettingUnit::Drive,
          SettingUnit::StateControl, SettingUnit::Action}) {
        std::string names;
        for (const SettingField &field : settingFields())
            if (field.unit == unit) names += std::string(names.empty() ? "" : ", ") + field.name;
        text += "  " + names + ":\n      " + settingValues(unit) + "\n";
    }
    return text;
}

programdoc::ProgramDoc makeDoc()
{
    programdoc::ProgramDoc doc;
    doc.name = "pallixctl";
    doc.section = 1;
    doc.summary = "read, set and test the Pallix from the command line";
    doc.synopsis = {"[OPTION...] COMMAND [ARGUMENT...]", "COMMAND --help"};
    doc.description =
        "Talks to the Pallix through pallixd when it runs (over its control socket), and "
        "otherwise through the device library directly, after finding the device by a "
        "broadcast on each local network (or at the address given with --device). It does "
        "not talk to the device itself while pallixd or the Pallix Control Center runs.";
    doc.commands = {
        {"discover", "List the Pallix devices found (from pallixd: the ones it found)."},
        {"status", "Show what pallixd does, or the device's global status, outputs and inputs."},
        {"get [NAME|all]", "Show one setting or all of them."},
        {"set NAME VALUE",
         "Change one setting: the configuration is read, the one value changed and only the "
         "register that holds it written, so every other setting stays as it was. A name or "
         "value that is not known writes nothing and ends with status 2."},
        {"export [FILE]",
         "Write every setting as a line \"name = value\", with the names and values that get "
         "and set use, to standard output or to FILE (replaced as one step: a reader finds the "
         "old file or the new one, never half of it)."},
        {"import FILE",
         "Write the settings of FILE, lines as export writes them (any of the settings; blank "
         "lines and lines starting with # are passed over). Every line is checked first: one "
         "that cannot be used writes nothing and ends with status 2, naming its number, its "
         "text and why. Only the settings that differ from what the Pallix holds are written; "
         "all of them are read back, and one that did not take ends with status 1, naming the "
         "value wanted and the value read."},
        {"watch", "Show pallixd's events as they come, until interrupted."},
        {"cancel", "Stop the countdown of a PC power action that pallixd runs."},
        {"selftest read|write",
         "Read every register, or write test values to every writable one and read them back, "
         "--loops times. The write test saves the configuration first and writes it back "
         "afterwards, also when it fails or is interrupted (Ctrl-C); settings that were not "
         "read completely are not written back."},
    };
    doc.options = {
        {"device", "ADDR", "Address the Pallix at ADDR instead of the one found by discovery."},
        {"local-address", "ADDR",
         "Use ADDR as one of the PC's IPv4 addresses for discovery (repeatable)."},
        {"json", "", "Print the replies as JSON objects, one a line."},
        {"loops", "N", "Passes of the self test (1 to 1000, default 1)."},
        {"details", "", "Show every step of the self test."},
        {"socket", "PATH", "pallixd's control socket (default: the user's, then the system's)."},
        {"help", "", "Show the help of pallixctl or of a command and end."},
        {"version", "", "Show the version and end."},
    };
    doc.sections = {
        {"Settings", settingsList()},
        {"Exit status",
         "0 done; 1 the device, pallixd or the self test failed, or a setting did not take; "
         "2 a bad command line, setting name or value, or an import file that cannot be used "
         "(nothing was written); 130 interrupted."},
        {"Examples", "  pallixctl get powerOffDelay\n  pallixctl set powerOffDelay 30.5\n"
                     "  pallixctl set shutdownAction \"Stand By\"\n"
                     "  pallixctl export pallix.conf\n  pallixctl import pallix.conf\n"
                     "  pallixctl selftest write --loops 2"},
        {"Kept configurations",
         "Without pallixd, pallixctl keeps the configuration it last read completely from "
         "the Pallix found by discovery, or wrote to it, in the user's state folder "
         "(~/.local/state/pallix/devices/MAC.conf), as the Pallix Control Center does, which "
         "offers it back after the Pallix lost power; through pallixd, pallixd keeps it."},
        {"See also", "pallixd(8)"},
    };
    return doc;
}

QString option(const char *name) { return QString::fromLatin1(name); }

const programdoc::Command *findCommand(const QString &name)
{
    for (const programdoc::Command &command : ctlDoc().commands)
        if (QString::fromStdString(command.usage).section(QLatin1Char(' '), 0, 0) == name)
            return &command;
    return nullptr;
}

std::string commandHelp(const programdoc::Command &command)
{
    return "Usage: pallixctl [OPTION...] " + command.usage + "\n\n" + command.text
           + "\n\nSee pallixctl --help for the options.\n";
}

// How many words each command takes after its name: at least, at most.
void checkWords(const CtlRequest &request)
{
    struct Arity {
        const char *command;
        int least;
        int most;
    };
    static constexpr Arity arities[] = {{"discover", 0, 0}, {"status", 0, 0}, {"get", 0, 1},
                                        {"set", 2, 2},      {"watch", 0, 0},  {"cancel", 0, 0},
                                        {"selftest", 1, 1}, {"export", 0, 1}, {"import", 1, 1}};
    for (const Arity &a : arities) {
        if (request.command != QLatin1String(a.command)) continue;
        const int n = int(request.words.size());
        if (n < a.least || n > a.most)
            throw UsageError(QStringLiteral("usage: pallixctl %1")
                                 .arg(QString::fromStdString(findCommand(request.command)->usage)));
        return;
    }
}

void checkAddress(const QString &text)
{
    if (!isIPv4Address(stdText(text)))
        throw UsageError(QStringLiteral("a dotted IPv4 address, not \"%1\"").arg(text));
}

int loopsFrom(const QString &text)
{
    bool ok = false;
    const int loops = text.toInt(&ok);
    if (!ok || loops < 1 || loops > SelfTest::MaxLoops)
        throw UsageError(
            QStringLiteral("--loops takes 1 to %1, not \"%2\"").arg(SelfTest::MaxLoops).arg(text));
    return loops;
}

bool takesValue(const QString &argument)
{
    const QString name = argument.mid(2);
    if (name == QLatin1String("man-page")) return true;
    for (const programdoc::Option &o : ctlDoc().options)
        if (QString::fromStdString(o.name) == name) return !o.value.empty();
    return false;
}

// pallixctl has no short options, so "-1" is a value ("set powerOffDelay
// -1"), not an option. The words go after "--", in their order, where the
// parser takes nothing for an option.
QStringList valuesAfterOptions(const QStringList &arguments)
{
    static const QRegularExpression number(QStringLiteral("^-[0-9.]"));
    QStringList options{arguments.value(0)}, words;
    bool onlyWords = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (onlyWords || !argument.startsWith(QLatin1Char('-'))
            || number.match(argument).hasMatch()) {
            words << argument;
        } else if (argument == QLatin1String("--")) {
            onlyWords = true;
        } else {
            options << argument;
            if (takesValue(argument) && i + 1 < arguments.size()) options << arguments[++i];
        }
    }
    return options + QStringList{QStringLiteral("--")} + words;
}

void writeManPage(const QString &path)
{
    std::string error;
    if (!programdoc::writeManPage(ctlDoc(), path.toStdString(), &error))
        throw UsageError(QString::fromStdString(error));
}

}   // namespace

const programdoc::ProgramDoc &ctlDoc()
{
    static const programdoc::ProgramDoc doc = makeDoc();
    return doc;
}

CtlStart parseCtlArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    for (const programdoc::Option &o : ctlDoc().options)
        parser.addOption(QCommandLineOption(QString::fromStdString(o.name), QString(),
                                            QString::fromStdString(o.value)));
    parser.addOption(QCommandLineOption(option("man-page"), QString(), option("FILE")));
    if (!parser.parse(valuesAfterOptions(arguments))) throw UsageError(parser.errorText());
    const QStringList positional = parser.positionalArguments();

    CtlStart start;
    start.run = false;
    if (parser.isSet(option("man-page"))) {
        writeManPage(parser.value(option("man-page")));
        return start;
    }
    if (parser.isSet(option("version"))) {
        programdoc::printText("pallixctl " + programdoc::version() + "\n");
        return start;
    }
    const programdoc::Command *command =
        positional.isEmpty() ? nullptr : findCommand(positional.first());
    if (parser.isSet(option("help"))) {
        programdoc::printText(command ? commandHelp(*command) : programdoc::helpText(ctlDoc()));
        return start;
    }
    if (positional.isEmpty())
        throw UsageError(QStringLiteral("no command given (pallixctl --help lists them)"));
    if (!command)
        throw UsageError(QStringLiteral("unknown command \"%1\" (pallixctl --help lists them)")
                             .arg(positional.first()));

    start.run = true;
    CtlRequest &request = start.request;
    request.command = positional.first();
    request.words = positional.mid(1);
    checkWords(request);
    if (request.command == QLatin1String("selftest") && request.words[0] != QLatin1String("read")
        && request.words[0] != QLatin1String("write"))
        throw UsageError(QStringLiteral("selftest read or selftest write"));
    request.device = parser.value(option("device"));
    if (!request.device.isEmpty()) checkAddress(request.device);
    request.localAddresses = parser.values(option("local-address"));
    for (const QString &address : request.localAddresses)
        checkAddress(address);
    request.socketPath = parser.value(option("socket"));
    request.json = parser.isSet(option("json"));
    request.details = parser.isSet(option("details"));
    if (parser.isSet(option("loops"))) request.loops = loopsFrom(parser.value(option("loops")));
    return start;
}
