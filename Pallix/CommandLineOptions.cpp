#include "CommandLineOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>

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
};

void describe(QCommandLineParser &parser, const Options &options)
{
    parser.setApplicationDescription(
        QStringLiteral("Pallix Control Center: watches a Pallix on the local network."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(options.localAddress);
    parser.addOption(options.dryRun);
}

void store(const QCommandLineParser &parser, const Options &options, AppState &state)
{
    state.LocalAddressOverride = parser.values(options.localAddress);
    state.DryRun = parser.isSet(options.dryRun);
}

}  // namespace

void ApplyCommandLine(const QCoreApplication &app, AppState &state)
{
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    parser.process(app);
    store(parser, options, state);
}

void ApplyCommandLine(const QStringList &arguments, AppState &state)
{
    QCommandLineParser parser;
    const Options options;
    describe(parser, options);
    parser.parse(arguments);
    store(parser, options, state);
}

QString AppFolder(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}
