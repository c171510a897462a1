#include "ServiceSavedConfigs.h"

#include "app/AppPaths.h"
#include "app/AppState.h"
#include "app/Files.h"
#include "app/LogFile.h"
#include "config/ConfigRestore.h"
#include "config/SavedConfigs.h"
#include "watch/DeviceWatch.h"

#include <unistd.h>

std::string serviceStateFolder()
{
    // systemd separates several folders with ":"; pallixd has one.
    const std::string given = environment("STATE_DIRECTORY").value_or("");
    if (!given.empty()) return appFolder(given.substr(0, given.find(':')));
    if (::geteuid() == 0) return "/var/lib/pallix/";
    return stateFolder();
}

ServiceSavedConfigs::ServiceSavedConfigs(DeviceWatch &watch, bool restoreAfterPowerLoss)
    : watch_(watch), restoreAfterPowerLoss_(restoreAfterPowerLoss)
{
    savedConfigs().setFolder(serviceStateFolder());
    watch_.addObserver(this);
}

ServiceSavedConfigs::~ServiceSavedConfigs()
{
    watch_.removeObserver(this);
    savedConfigs().setFolder(std::string());
}

// The monitor has marked the loss, so the defaults read meanwhile are not kept.
void ServiceSavedConfigs::powerLost()
{
    if (!restoreAfterPowerLoss_) return;
    tasks_.spawn(restore(appState().firstDevice()));
}

loop::Task<> ServiceSavedConfigs::restore(std::string address)
{
    const RestoreReport report = co_await restoreSavedConfig(address);
    for (const std::string &line : report.lines)
        logFile(line);
}
