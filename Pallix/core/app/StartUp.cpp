#include "app/StartUp.h"

#include "app/AppInstance.h"
#include "app/AppState.h"
#include "app/Desktop.h"
#include "app/NrErrors.h"
#include "app/OtherMonitor.h"
#include "device/NrAPI.h"

namespace {

std::nullptr_t refuse(const std::string &text, MsgIcon icon)
{
    Desktop::current().messageBox(text, appTitle(), icon, MsgButtons::OK);
    return nullptr;
}

}   // namespace

std::unique_ptr<MonitorLock> mayStart(const std::function<bool()> &waitForTray)
{
    if (anotherInstanceRunning())
        return refuse("Pallix Control Center is already running.", MsgIcon::None);
    std::string otherMonitor;
    std::unique_ptr<MonitorLock> monitor = claimMonitor(MonitorProgram::ControlCenter, &otherMonitor);
    if (!monitor) return refuse(otherMonitor, MsgIcon::Information);
    if (!waitForTray())
        return refuse("This desktop has no notification area, so the Pallix Control Center "
                      "cannot show its icon.",
                      MsgIcon::Critical);
    std::string reason;
    if (!NrAPI::load(&reason)) {
        showError(NrError(48, "Cannot load the device library: " + reason));
        return nullptr;
    }
    return monitor;
}
