#include "CommandLineOptions.h"

#include "AppPaths.h"

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
};

void describe(QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(
        QStringLiteral("Pallix Control Center: watches a Pallix on the local network."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.localAddress);
    parser.addOption(options.dryRun);
    parser.addOption(options.paths);
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
