#include "app/StartUp.h"

#include "app/AppInstance.h"
#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "app/OtherMonitor.h"
#include "device/NrAPI.h"

namespace {

bool refuse(const std::string &text, MsgIcon icon)
{
    Desktop::current().messageBox(text, appTitle(), icon, MsgButtons::OK);
    return false;
}

}   // namespace

bool mayStart(const std::function<bool()> &waitForTray, std::string *standingBy)
{
    if (anotherInstanceRunning())
        return refuse("Pallix Control Center is already running.", MsgIcon::None);
    const std::string otherMonitor = otherMonitorRunning(MonitorProgram::ControlCenter);
    if (!otherMonitor.empty() && appState().startedAtLogin) {
        logFile(otherMonitor);
        *standingBy = otherMonitor;
        return waitForTray();
    }
    if (!otherMonitor.empty()) return refuse(otherMonitor, MsgIcon::Information);
    if (!waitForTray())
        return refuse("This desktop has no notification area, so the Pallix Control Center "
                      "cannot show its icon.",
                      MsgIcon::Critical);
    std::string reason;
    if (!NrAPI::load(&reason)) {
        showError(NrError(48, "Cannot load the device library: " + reason));
        return false;
    }
    return true;
}
