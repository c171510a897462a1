#include "CommandLineOptions.h"

#include "AppPaths.h"
#include "ProgramDoc.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>

namespace {

struct Options {
    QCommandLineOption localAddress{
        QStringLiteral("local-address"),
        QStringLiteral("Use ADDR as one of the PC's IPv4 addresses instead of the real ones "
                       "(repeatable)."),
        QStringLiteral("ADDR")};
    QCommandLineOption dryRun{QStringLiteral("dry-run"),
                              QStringLiteral("Write power actions to standard output and the "
                                             "log instead of carrying them out.")};
    QCommandLineOption paths{QStringLiteral("paths"),
                             QStringLiteral("Show where the application finds its files and "
                                            "writes its log, then exit.")};
    QCommandLineOption manPage{QStringLiteral("man-page"),
                               QStringLiteral("Write the manual page to FILE and exit."),
                               QStringLiteral("FILE")};

    QList<const QCommandLineOption *> all() const
    {
        return {&localAddress, &dryRun, &paths, &manPage};
    }
};

const QString Description =
    QStringLiteral("Pallix Control Center: watches a Pallix on the local network.");

// The manual page from the same options the parser takes, so the two agree.
programdoc::ProgramDoc manualOf(const Options &options)
{
    programdoc::ProgramDoc doc;
    doc.name = "Pallix";
    doc.summary = "the Pallix Control Center, in the notification area";
    doc.synopsis = {"[--local-address ADDR]... [--dry-run]"};
    doc.description =
        "Watches the Pallix beside this PC from the notification area: finds it on the PC's "
        "networks, polls it every two seconds, counts down and carries out the power action it "
        "asks for, and shows and edits its configuration. The menu of its icon opens the "
        "configuration window, the self test, discovery, the About window and the user guide.";
    for (const QCommandLineOption *option : options.all())
        doc.options.push_back({option->names().constLast().toStdString(),
                               option->valueName().toStdString(),
                               option->description().toStdString()});
    doc.options.push_back({"help", "", "Show the options and exit."});
    doc.options.push_back({"version", "", "Show the version and exit."});
    doc.sections = {{"FILES",
                     "Run from an application folder (the build's bin/), the program keeps its "
                     "files and its log.txt beside itself. Installed, it finds them in the "
                     "system's folders and writes its log to $XDG_STATE_HOME/pallix/log.txt "
                     "(~/.local/state/pallix/). --paths tells which."},
                    {"SEE ALSO", "pallixd(8), pallixctl(1), nrfwupdate(1)"}};
    return doc;
}

void writeManualAndExit(const Options &options, const QString &path)
{
    std::string error;
    if (programdoc::writeManPage(manualOf(options), path.toStdString(), &error)) std::exit(0);
    std::fprintf(stderr, "Pallix: %s\n", error.c_str());
    std::exit(2);
}

void describe(QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(Description);
    parser.addHelpOption();
    parser.addVersionOption();
    for (const QCommandLineOption *option : options.all())
        parser.addOption(*option);
}

void store(const QCommandLineParser &parser, const Options &options, AppState &state)
{
    state.localAddressOverride = parser.values(options.localAddress);
    state.dryRun = parser.isSet(options.dryRun);
}

}   // namespace

void applyCommandLine(const QCoreApplication &app, AppState &state)
{
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    parser.process(app);
    for (const QString &address : parser.values(options.localAddress)) {
        if (!isIPv4Address(address)) {
            std::fprintf(stderr,
                         "Pallix: --local-address wants a dotted IPv4 address, not \"%s\"\n",
                         address.toLocal8Bit().constData());
            std::exit(2);
        }
    }
    store(parser, options, state);
    if (parser.isSet(options.manPage)) writeManualAndExit(options, parser.value(options.manPage));
    if (parser.isSet(options.paths)) {
        std::fputs(describePaths().toLocal8Bit().constData(), stdout);
        std::exit(0);
    }
}

bool isIPv4Address(const QString &text)
{
    in_addr parsed{};
    return inet_pton(AF_INET, text.toLatin1().constData(), &parsed) == 1;
}

void applyCommandLine(const QStringList &arguments, AppState &state)
{
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    parser.parse(arguments);
    store(parser, options, state);
}

QString appFolder(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
