// pallixd's options and its configuration file. The option table makes the
// parser, --help and the manual page; the file takes the same names.
#pragma once

#include "NetworkOptions.h"
#include "ProgramDoc.h"
#include "app/Platform.h"

#include <map>
#include <QStringList>
#include <stdexcept>

inline constexpr char DefaultConfigFile[] = "/etc/pallix/pallixd.conf";

struct ServiceConfig {
    QStringList localAddresses;   // replace the PC's own when set
    QString device;               // watched without discovery when set
    bool dryRun = false;
    CommandLine notifyCommand;               // no program: nobody is told
    std::map<int, CommandLine> powerCommands;   // by action code, replacing the system's
    QString socketPath;                      // empty: the default for the user
    NetworkConfig network;                   // the NUT and metrics servers
    bool restoreAfterPowerLoss = false;      // write the kept configuration back
};

// A command line or file that cannot be used; the service ends with status 2.
class ConfigError : public std::runtime_error {
public:
    explicit ConfigError(const QString &text) : std::runtime_error(text.toStdString()) {}
};

// Runs with a configuration, or printed what was asked for (help, version,
// the manual page) and ends.
struct ServiceStart {
    bool run = true;
    ServiceConfig config;
};

const programdoc::ProgramDoc &serviceDoc();

// The file named by --config (or the default file when it exists), with
// the options over it. Throws ConfigError.
ServiceStart parseServiceArguments(const QStringList &arguments);

// Reads one configuration file's text into config. Throws ConfigError
// naming the file and line.
void readConfigText(const QString &text, const QString &fileName, ServiceConfig &config);
