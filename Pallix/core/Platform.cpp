#include "Platform.h"

QString CommandLine::text() const
{
    return arguments.isEmpty() ? program
                               : program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
}

namespace {

// Before a program installs its platform: nothing runs, no network is known.
class NoPlatform : public Platform {
public:
    void runCommand(const CommandLine &) override {}
    bool startUpdater(const CommandLine &) override { return false; }
    QList<LocalNetwork> localNetworks() override { return {}; }
    int runningCopies(const QString &) override { return 0; }
    int runningOnThisPC(const QString &) override { return 0; }
    OSVersion osVersion() override { return {}; }
};

NoPlatform none;
Platform *installed = nullptr;

}   // namespace

Platform &Platform::current() { return installed ? *installed : none; }

void Platform::install(Platform *platform) { installed = platform; }
