#include "app/Platform.h"

#include "app/Text.h"

std::string CommandLine::text() const
{
    return arguments.empty() ? program : program + ' ' + join(arguments, " ");
}

namespace {

// Before a program installs its platform: nothing runs, no network is known.
class NoPlatform : public Platform {
public:
    void runCommand(const CommandLine &) override {}
    bool startUpdater(const CommandLine &) override { return false; }
    std::vector<LocalNetwork> localNetworks() override { return {}; }
    int runningCopies(const std::string &) override { return 0; }
    std::unique_ptr<MonitorLock> takeMonitorLock(const std::string &, MonitorHolder *) override
    {
        return std::make_unique<MonitorLock>();
    }
    OSVersion osVersion() override { return {}; }
};

NoPlatform none;
Platform *installed = nullptr;

}   // namespace

Platform &Platform::current() { return installed ? *installed : none; }

void Platform::install(Platform *platform) { installed = platform; }
