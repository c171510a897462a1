#include "app/StartUp.h"

#include "app/AppInstance.h"
#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/LogFile.h"
#include "app/NrErrors.h"
#include "app/OtherMonitor.h"
#include "device/NrAPI.h"

namespace {

StartDecision refuse(const std::string &text, MsgIcon icon)
{
    Desktop::current().messageBox(text, appTitle(), icon, MsgButtons::OK);
    return {};
}

}   // namespace

StartDecision mayStart(const std::function<bool()> &waitForTray)
{
    if (anotherInstanceRunning())
        return refuse("Pallix Control Center is already running.", MsgIcon::None);
    StartDecision decision;
    std::string otherMonitor;
    decision.monitorLock = claimMonitor(MonitorProgram::ControlCenter, &otherMonitor);
    if (!decision.monitorLock && appState().startedAtLogin) {
        logFile(otherMonitor);
        decision.standingBy = otherMonitor;
        return waitForTray() ? std::move(decision) : StartDecision{};
    }
    if (!decision.monitorLock) return refuse(otherMonitor, MsgIcon::Information);
    if (!waitForTray())
        return refuse("This desktop has no notification area, so the Pallix Control Center "
                      "cannot show its icon.",
                      MsgIcon::Critical);
    std::string reason;
    if (!NrAPI::load(&reason)) {
        showError(NrError(48, "Cannot load the device library: " + reason));
        return {};
    }
    return decision;
}
